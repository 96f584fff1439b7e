#include "processing/SubdivisionEdgeMap.h"

#include <algorithm>

#include "core/Mesh.h"

void SubdivisionEdgeMap::clear()
{
    edges.clear();
    face_edges.clear();
    start.clear();
    used.clear();
    slots.clear();
}

void SubdivisionEdgeMap::build(const Mesh& mesh)
{
    clear();
    const std::size_t corners = std::size_t(mesh.nf) * 3;
    // Each vertex gets one slot per face corner that names an edge with it as
    // the lower end: enough for every distinct edge filed there.
    start.assign(std::size_t(mesh.nv) + 1, 0);
    for (int i = 0; i < mesh.nf; ++i) {
        const int* vi = mesh.faces[i].vi;
        for (int j = 0; j < 3; ++j) ++start[std::min(vi[j], vi[(j + 1) % 3]) + 1];
    }
    for (std::size_t v = 1; v < start.size(); ++v) start[v] += start[v - 1];
    used.assign(std::size_t(mesh.nv), 0);
    slots.resize(corners);
    face_edges.resize(corners);
    edges.reserve(corners / 2 + 16);

    for (int i = 0; i < mesh.nf; ++i) {
        const int* vi = mesh.faces[i].vi;
        for (int j = 0; j < 3; ++j) {
            const int a = vi[j], b = vi[(j + 1) % 3];
            const int lo = std::min(a, b), hi = std::max(a, b);
            Slot* first = slots.data() + start[lo];
            Slot* last = first + used[lo];
            Slot* s = first;
            while (s != last && s->hi != hi) ++s;
            int e;
            if (s != last) {
                e = s->edge;
                edges[e].second_face = i;
            } else {
                e = int(edges.size());
                edges.push_back({a, b, i, -1});
                *last = {hi, e};
                ++used[lo];
            }
            face_edges[std::size_t(i) * 3 + j] = e;
        }
    }
}

int SubdivisionEdgeMap::find(int a, int b) const
{
    const int lo = std::min(a, b), hi = std::max(a, b);
    if (lo < 0 || std::size_t(lo) >= used.size()) return -1;
    const Slot* s = slots.data() + start[lo];
    const Slot* last = s + used[lo];
    for (; s != last; ++s)
        if (s->hi == hi) return s->edge;
    return -1;
}
