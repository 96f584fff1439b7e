#include "core/survey_mesh.h"

#include <numeric>
#include <vector>

#include "core/face_adjacency.h"
#include "core/Mesh.h"

MeshSurvey survey_mesh(const Mesh& mesh)
{
    MeshSurvey s;
    for (const auto& ef : mesh.edge_faces)
        if (ef[1] == -1) ++s.border_edges;
    for (std::size_t i = 0; i < mesh.edge_more_faces.size(); ++i)
        if (i == 0 || mesh.edge_more_faces[i][0] != mesh.edge_more_faces[i - 1][0]) ++s.non_manifold_edges;
    for (const Face& f : mesh.faces) {
        Face copy = f;
        copy.compute_normal();
        if (copy.is_degenerate()) ++s.degenerate_faces;
    }

    // Union-find over the face links, halving paths as it goes.
    std::vector<int> parent(static_cast<std::size_t>(mesh.nf));
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&parent](int f) {
        while (parent[f] != f) f = parent[f] = parent[parent[f]];
        return f;
    };
    s.connected_parts = mesh.nf;
    const IndexLists<int> links = face_adjacency(mesh);
    for (std::size_t f = 0; f < links.size() && f < parent.size(); ++f)
        for (const int g : links[f]) {
            if (g < 0 || g >= mesh.nf) continue;
            const int a = root(int(f)), b = root(g);
            if (a == b) continue;
            parent[a] = b;
            --s.connected_parts;
        }
    return s;
}
