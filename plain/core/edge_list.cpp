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
    int face;
    int slot;  // position in face-walk order
};

enum Role : std::uint8_t { ROLE_NONE = 0, ROLE_NEW = 1, ROLE_SECOND = 2 };

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
            if (pair_of(s, lo, hi)) occ[cursor[lo]++] = {hi, int(s / 3), int(s)};
        }
    }

    // Within each lower vertex, group occurrences by higher vertex; records
    // are numbered in order of first appearance.
    std::vector<std::uint8_t> role(slots, ROLE_NONE);
    std::vector<int> slot_edge(slots, -1);  // edge of each NEW or SECOND slot
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
                    edge_faces.push_back({o.face, -1});
                    role[o.slot] = ROLE_NEW;
                    slot_edge[o.slot] = int(found);
                } else if (edge_faces[found][1] == -1) {
                    edge_faces[found][1] = o.face;
                    role[o.slot] = ROLE_SECOND;
                    slot_edge[o.slot] = int(found);
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
            role[first.slot] = ROLE_NEW;
            slot_edge[first.slot] = id;
            int second = -1;
            if (h + 1 < order.size() && occ[order[h + 1]].hi == first.hi) {
                second = occ[order[h + 1]].face;
                role[occ[order[h + 1]].slot] = ROLE_SECOND;
                slot_edge[occ[order[h + 1]].slot] = id;
            }
            edge_faces.push_back({first.face, second});
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
        if (role[s] == ROLE_NEW) {
            vl.count(edges[slot_edge[s]][0]);
            vl.count(edges[slot_edge[s]][1]);
        } else if (role[s] == ROLE_SECOND) {
            fl.count(s / 3);
        }
    }
    // A second face's partner is the edge's first face: count it too.
    for (int e = 0; e < edge_count; ++e)
        if (edge_faces[e][1] != -1) fl.count(edge_faces[e][0]);
    vl.start();
    fl.start();
    for (std::size_t s = 0; s < slots; ++s) {
        if (role[s] == ROLE_NEW) {
            const int e = slot_edge[s];
            vl.push(edges[e][0], edges[e][1]);
            vl.push(edges[e][1], edges[e][0]);
        } else if (role[s] == ROLE_SECOND) {
            const int f0 = edge_faces[slot_edge[s]][0];
            const int f1 = int(s / 3);
            fl.push(f0, f1);
            fl.push(f1, f0);
        }
    }
    vl.finish();
    fl.finish();

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
