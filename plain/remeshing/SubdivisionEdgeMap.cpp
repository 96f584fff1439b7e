#include "remeshing/SubdivisionEdgeMap.h"

#include <algorithm>

#include "core/Mesh.h"

namespace {

struct Slot {
    int hi;
    int edge;
};

}  // namespace

void SubdivisionEdgeMap::clear()
{
    edges.clear();
    face_edges.clear();
}

void SubdivisionEdgeMap::build(const Mesh& mesh)
{
    clear();
    const std::size_t corners = std::size_t(mesh.nf) * 3;
    // Each vertex gets one slot per face corner that names an edge with it as
    // the lower end: enough for every distinct edge filed there.
    std::vector<int> start(std::size_t(mesh.nv) + 1, 0);
    for (int i = 0; i < mesh.nf; ++i) {
        const int* vi = mesh.faces[i].vi;
        for (int j = 0; j < 3; ++j) ++start[std::min(vi[j], vi[(j + 1) % 3]) + 1];
    }
    for (std::size_t v = 1; v < start.size(); ++v) start[v] += start[v - 1];
    std::vector<int> used(std::size_t(mesh.nv), 0);
    std::vector<Slot> slots(corners);
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

int SubdivisionEdgeMap::side_of(const Mesh& mesh, int face, int x, int y) const
{
    const int* vi = mesh.faces[face].vi;
    for (int j = 0; j < 3; ++j) {
        const int p = vi[j], q = vi[(j + 1) % 3];
        if ((p == x && q == y) || (p == y && q == x)) return face_edges[std::size_t(face) * 3 + j];
    }
    return -1;
}
