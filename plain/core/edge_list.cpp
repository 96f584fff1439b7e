// MESH_EDGE_LIST: the distinct edges of the mesh, ordered by lower vertex
// index and then by first appearance while walking the faces (corner pairs
// 0-1, 0-2, 1-2 of each face), with their first two faces and the vertex and
// face neighbour lists. Edges are gathered by a stable counting sort on the
// lower vertex instead of per-vertex growing lists: the same result in a
// handful of flat allocations.
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

}  // namespace

void Mesh::build_edge_list()
{
    if (nv == 0) return;

    // Face-walk order of the corner pairs; a -1 corner contributes nothing.
    const std::size_t slots = std::size_t(nf) * 3;
    std::vector<std::uint32_t> start(std::size_t(nv) + 1, 0);
    auto pair_of = [this](std::size_t s, int& lo, int& hi) {
        static const int pairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
        const Face& f = faces[s / 3];
        const int a = f.vi[pairs[s % 3][0]], b = f.vi[pairs[s % 3][1]];
        if (a == -1 || b == -1) return false;
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
    edges.clear();
    edge_faces.clear();
    edges.reserve(occ.size() / 2 + 1);
    edge_faces.reserve(occ.size() / 2 + 1);
    std::vector<std::uint32_t> order;
    for (int lo = 0; lo < nv; ++lo) {
        const std::uint32_t b = start[lo], e = start[lo + 1];
        const std::size_t first_edge = edges.size();
        if (e - b <= 24) {
            for (std::uint32_t k = b; k < e; ++k) {
                const Occurrence& o = occ[k];
                std::size_t found = edges.size();
                for (std::size_t r = first_edge; r < edges.size(); ++r)
                    if (edges[r][1] == o.hi) {
                        found = r;
                        break;
                    }
                if (found == edges.size()) {
                    edges.push_back({lo, o.hi});
                    edge_faces.push_back({o.slot / 3, -1});
                    slot_edge[o.slot] = made(int(found));
                } else if (edge_faces[found][1] == -1) {
                    edge_faces[found][1] = o.slot / 3;
                    slot_edge[o.slot] = second_of(int(found));
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
        std::vector<std::uint32_t> heads;
        for (std::size_t k = 0; k < order.size(); ++k)
            if (k == 0 || occ[order[k]].hi != occ[order[k - 1]].hi) heads.push_back(std::uint32_t(k));
        std::vector<std::uint32_t> by_appearance(heads);
        std::sort(by_appearance.begin(), by_appearance.end(),
                  [&order](std::uint32_t p, std::uint32_t q) { return order[p] < order[q]; });
        for (std::uint32_t h : by_appearance) {
            const Occurrence& first = occ[order[h]];
            const int id = int(edges.size());
            edges.push_back({lo, first.hi});
            slot_edge[first.slot] = made(id);
            int second = -1;
            if (h + 1 < order.size() && occ[order[h + 1]].hi == first.hi) {
                second = occ[order[h + 1]].slot / 3;
                slot_edge[occ[order[h + 1]].slot] = second_of(id);
            }
            edge_faces.push_back({first.slot / 3, second});
        }
    }
    edge_count = int(edges.size());
    std::vector<Occurrence>().swap(occ);

    // The table's links, in face-walk order.
    edge_table.count = edge_count;
    IndexLists<int>& vl = edge_table.vertex_links;
    IndexLists<int>& fl = edge_table.face_links;
    vl.reset(nv);
    fl.reset(nf);
    for (std::size_t s = 0; s < slots; ++s) {
        const int role = slot_edge[s];
        if (role < 0) continue;
        if (role % 2 == 0) {
            vl.count(edges[role / 2][0]);
            vl.count(edges[role / 2][1]);
        } else {
            fl.count(s / 3);
        }
    }
    // A second face's partner is the edge's first face: count it too.
    for (int e = 0; e < edge_count; ++e)
        if (edge_faces[e][1] != -1) fl.count(edge_faces[e][0]);
    vl.start();
    fl.start();
    for (std::size_t s = 0; s < slots; ++s) {
        const int role = slot_edge[s];
        if (role < 0) continue;
        const int e = role / 2;
        if (role % 2 == 0) {
            vl.push(edges[e][0], edges[e][1]);
            vl.push(edges[e][1], edges[e][0]);
        } else {
            const int f0 = edge_faces[e][0];
            const int f1 = int(s / 3);
            fl.push(f0, f1);
            fl.push(f1, f0);
        }
    }
    vl.finish();
    fl.finish();
    std::vector<int>().swap(slot_edge);

    // Neighbour lists, in edge order.
    vertex_neighbours.reset(nv);
    face_neighbours.reset(nf);
    for (int e = 0; e < edge_count; ++e) {
        vertex_neighbours.count(edges[e][0]);
        vertex_neighbours.count(edges[e][1]);
        if (edge_faces[e][1] != -1) {
            face_neighbours.count(edge_faces[e][0]);
            face_neighbours.count(edge_faces[e][1]);
        }
    }
    vertex_neighbours.start();
    face_neighbours.start();
    for (int e = 0; e < edge_count; ++e) {
        vertex_neighbours.push(edges[e][0], &edges[e][1]);
        vertex_neighbours.push(edges[e][1], &edges[e][0]);
        if (edge_faces[e][1] != -1) {
            face_neighbours.push(edge_faces[e][0], &edge_faces[e][1]);
            face_neighbours.push(edge_faces[e][1], &edge_faces[e][0]);
        }
    }
    vertex_neighbours.finish();
    face_neighbours.finish();
}
