#include "core/face_adjacency.h"

#include "core/Mesh.h"

IndexLists<int> face_adjacency(const Mesh& mesh)
{
    const IndexLists<int>& links = mesh.edge_table.face_links;
    const std::size_t n = links.size();
    IndexLists<int> out;
    out.reset(n);
    auto later = [&](auto&& each) {
        mesh.for_each_later_link([&](int, int g, int f) {
            if (g >= 0 && f >= 0 && std::size_t(g) < n && std::size_t(f) < n) each(g, f);
        });
    };
    for (std::size_t f = 0; f < n; ++f)
        for (std::size_t k = 0; k < links[f].size(); ++k) out.count(f);
    later([&](int g, int f) {
        out.count(std::size_t(g));
        out.count(std::size_t(f));
    });
    out.start();
    for (std::size_t f = 0; f < n; ++f)
        for (const int g : links[f]) out.push(f, g);
    later([&](int g, int f) {
        out.push(std::size_t(g), f);
        out.push(std::size_t(f), g);
    });
    out.finish();
    return out;
}
