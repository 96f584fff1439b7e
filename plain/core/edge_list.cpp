// MESH_EDGE_LIST: the distinct edges of the mesh, ordered by lower vertex
// index and then by first appearance while walking the faces (corner pairs
// 0-1, 0-2, 1-2 of each face), with their first two faces and the vertex and
// face neighbour lists. Edges are gathered by a stable counting sort on the
// lower vertex instead of per-vertex growing lists: the same result in a
// handful of flat allocations.
//
// A corner pair of one vertex twice is no edge, and a face that meets the
// same edge twice (a repeated corner) is one face of it. Faces beyond the
// first two of an edge go to edge_more_faces, in edge order and then in the
// order they were met.
//
// Everything is built aside and swapped in at the end: when memory runs out
// the mesh keeps the edge list it had.
#include <algorithm>
#include <cstdint>

#include "core/Mesh.h"

namespace {

struct Occurrence {
    int hi;
    int slot;  // position in face-walk order; the face is slot / 3
};

// What a corner pair is to its edge, packed with the edge: -1 nothing (a
// third or later face), 2 e the pair that made edge e, 2 e + 1 its second face.
int made(int e)
{
    return 2 * e;
}
int second_of(int e)
{
    return 2 * e + 1;
}

// Whether occurrence o repeats the one before it: the same edge from the
// same face, which meets it twice through a repeated corner. A face's
// corner pairs are next to each other in the walk, so its two meetings of
// one edge follow each other among that edge's occurrences.
bool repeats(const Occurrence& before, const Occurrence& o)
{
    return before.hi == o.hi && before.slot / 3 == o.slot / 3;
}

}  // namespace

void Mesh::build_edge_list()
{
    if (nv == 0) return;

    // Face-walk order of the corner pairs; a -1 corner, or a pair of one
    // vertex twice, contributes nothing.
    const std::size_t slots = std::size_t(nf) * 3;
    std::vector<std::uint32_t> start(std::size_t(nv) + 1, 0);
    auto pair_of = [this](std::size_t s, int& lo, int& hi) {
        static const int pairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
        const Face& f = faces[s / 3];
        const int a = f.vi[pairs[s % 3][0]], b = f.vi[pairs[s % 3][1]];
        if (a == -1 || b == -1 || a == b) return false;
        lo = std::min(a, b);
        hi = std::max(a, b);
        return true;
    };
    for (std::size_t s = 0; s < slots; ++s) {
        int lo, hi;
        if (pair_of(s, lo, hi)) ++start[lo + 1];
    }
    for (int v = 0; v < nv; ++v) start[v + 1] += start[v];
    std::vector<Occurrence> occ(start[nv]);
    {
        std::vector<std::uint32_t> cursor(start.begin(), start.end() - 1);
        for (std::size_t s = 0; s < slots; ++s) {
            int lo, hi;
            if (pair_of(s, lo, hi)) occ[cursor[lo]++] = {hi, int(s)};
        }
    }

    // Within each lower vertex, group occurrences by higher vertex; records
    // are numbered in order of first appearance.
    std::vector<int> slot_edge(slots, -1);  // made() or second_of() an edge, -1 for neither
    std::vector<std::array<int, 2>> new_edges, new_edge_faces, more;
    new_edges.reserve(occ.size() / 2 + 1);
    new_edge_faces.reserve(occ.size() / 2 + 1);
    // A later occurrence of edge id, from a face not yet on it.
    auto join = [&](int id, const Occurrence& o) {
        if (new_edge_faces[id][1] != -1) {
            more.push_back({id, o.slot / 3});
            return;
        }
        new_edge_faces[id][1] = o.slot / 3;
        slot_edge[o.slot] = second_of(id);
    };
    std::vector<std::uint32_t> order, heads, by_appearance;
    for (int lo = 0; lo < nv; ++lo) {
        const std::uint32_t b = start[lo], e = start[lo + 1];
        const std::size_t first_edge = new_edges.size();
        if (e - b <= 24) {
            for (std::uint32_t k = b; k < e; ++k) {
                const Occurrence& o = occ[k];
                if (k > b && repeats(occ[k - 1], o)) continue;
                std::size_t found = new_edges.size();
                for (std::size_t r = first_edge; r < new_edges.size(); ++r)
                    if (new_edges[r][1] == o.hi) {
                        found = r;
                        break;
                    }
                if (found == new_edges.size()) {
                    new_edges.push_back({lo, o.hi});
                    new_edge_faces.push_back({o.slot / 3, -1});
                    slot_edge[o.slot] = made(int(found));
                } else {
                    join(int(found), o);
                }
            }
            continue;
        }
        // A busy vertex: sort its occurrences by (hi, appearance) so each
        // group is found without a quadratic search.
        order.resize(e - b);
        for (std::uint32_t k = b; k < e; ++k) order[k - b] = k;
        std::sort(order.begin(), order.end(), [&occ](std::uint32_t p, std::uint32_t q) {
            return occ[p].hi != occ[q].hi ? occ[p].hi < occ[q].hi : p < q;
        });
        // First occurrence of each group, in appearance order.
        heads.clear();
        for (std::size_t k = 0; k < order.size(); ++k)
            if (k == 0 || occ[order[k]].hi != occ[order[k - 1]].hi) heads.push_back(std::uint32_t(k));
        by_appearance = heads;
        std::sort(by_appearance.begin(), by_appearance.end(),
                  [&order](std::uint32_t p, std::uint32_t q) { return order[p] < order[q]; });
        for (std::uint32_t h : by_appearance) {
            const Occurrence& first = occ[order[h]];
            const int id = int(new_edges.size());
            new_edges.push_back({lo, first.hi});
            new_edge_faces.push_back({first.slot / 3, -1});
            slot_edge[first.slot] = made(id);
            for (std::size_t k = h + 1; k < order.size() && occ[order[k]].hi == first.hi; ++k)
                if (!repeats(occ[order[k - 1]], occ[order[k]])) join(id, occ[order[k]]);
        }
    }
    const int count = int(new_edges.size());
    std::vector<Occurrence>().swap(occ);
    // Later faces by edge, each edge's in the order they were met.
    std::stable_sort(more.begin(), more.end(),
                     [](const std::array<int, 2>& p, const std::array<int, 2>& q) { return p[0] < q[0]; });

    // The table's links, in face-walk order.
    EdgeTable table;
    table.count = count;
    IndexLists<int>& vl = table.vertex_links;
    IndexLists<int>& fl = table.face_links;
    vl.reset(nv);
    fl.reset(nf);
    for (std::size_t s = 0; s < slots; ++s) {
        const int role = slot_edge[s];
        if (role < 0) continue;
        if (role % 2 == 0) {
            vl.count(new_edges[role / 2][0]);
            vl.count(new_edges[role / 2][1]);
        } else {
            fl.count(s / 3);
        }
    }
    // A second face's partner is the edge's first face: count it too.
    for (int e = 0; e < count; ++e)
        if (new_edge_faces[e][1] != -1) fl.count(new_edge_faces[e][0]);
    vl.start();
    fl.start();
    for (std::size_t s = 0; s < slots; ++s) {
        const int role = slot_edge[s];
        if (role < 0) continue;
        const int e = role / 2;
        if (role % 2 == 0) {
            vl.push(new_edges[e][0], new_edges[e][1]);
            vl.push(new_edges[e][1], new_edges[e][0]);
        } else {
            const int f0 = new_edge_faces[e][0];
            const int f1 = int(s / 3);
            fl.push(f0, f1);
            fl.push(f1, f0);
        }
    }
    vl.finish();
    fl.finish();
    std::vector<int>().swap(slot_edge);

    // Neighbour lists, in edge order, pointing into the new arrays (whose
    // buffers the swap below hands over unchanged).
    NeighbourLists vn, fn;
    vn.reset(nv, new_edges.empty() ? nullptr : new_edges[0].data());
    fn.reset(nf, new_edge_faces.empty() ? nullptr : new_edge_faces[0].data());
    for (int e = 0; e < count; ++e) {
        vn.count(new_edges[e][0]);
        vn.count(new_edges[e][1]);
        if (new_edge_faces[e][1] != -1) {
            fn.count(new_edge_faces[e][0]);
            fn.count(new_edge_faces[e][1]);
        }
    }
    vn.start();
    fn.start();
    for (int e = 0; e < count; ++e) {
        vn.push(new_edges[e][0], &new_edges[e][1]);
        vn.push(new_edges[e][1], &new_edges[e][0]);
        if (new_edge_faces[e][1] != -1) {
            fn.push(new_edge_faces[e][0], &new_edge_faces[e][1]);
            fn.push(new_edge_faces[e][1], &new_edge_faces[e][0]);
        }
    }
    vn.finish();
    fn.finish();

    edges.swap(new_edges);
    edge_faces.swap(new_edge_faces);
    edge_more_faces.swap(more);
    std::swap(edge_table, table);
    std::swap(vertex_neighbours, vn);
    std::swap(face_neighbours, fn);
    edge_count = count;
}
