#include <random>

#include <gtest/gtest.h>

#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"

namespace {

// The edge list built the straightforward way: per-vertex buckets searched
// linearly, links appended as edges and second faces are met. Three mends of
// the first version: a pair of one vertex twice is no edge, a face meeting
// an edge twice is one face of it, and faces past the second are kept.
struct LiteralEdgeList {
    struct Record {
        int key, lo, hi;
        std::vector<int> faces;  // in the order met
    };
    std::vector<std::vector<Record>> buckets;
    std::vector<std::vector<int>> vertex_links, face_links;
    std::vector<std::array<int, 2>> edges, edge_faces, more_faces;
    std::vector<std::vector<int>> vertex_neighbour_edges, face_neighbour_edges;

    Record* find(int lo, int hi)
    {
        for (Record& r : buckets[lo])
            if (r.key == hi) return &r;
        return nullptr;
    }

    void add_edge(int a, int b, int face)
    {
        if (a == -1 || b == -1 || a == b) return;
        const int lo = std::min(a, b), hi = std::max(a, b);
        if (Record* r = find(lo, hi)) {
            if (r->faces.back() == face) return;
            r->faces.push_back(face);
            if (r->faces.size() == 2) {
                face_links[r->faces[0]].push_back(face);
                face_links[face].push_back(r->faces[0]);
            }
            return;
        }
        buckets[lo].push_back({hi, lo, hi, {face}});
        vertex_links[lo].push_back(hi);
        vertex_links[hi].push_back(lo);
    }

    explicit LiteralEdgeList(const Mesh& m)
        : buckets(m.nv), vertex_links(m.nv), face_links(m.nf), vertex_neighbour_edges(m.nv), face_neighbour_edges(m.nf)
    {
        for (int i = 0; i < m.nf; ++i) {
            const int* vi = m.faces[i].vi;
            add_edge(vi[0], vi[1], i);
            add_edge(vi[0], vi[2], i);
            add_edge(vi[1], vi[2], i);
        }
        for (const auto& bucket : buckets)
            for (const Record& r : bucket) {
                const int e = int(edges.size());
                const int face1 = r.faces.size() > 1 ? r.faces[1] : -1;
                edges.push_back({r.lo, r.hi});
                edge_faces.push_back({r.faces[0], face1});
                for (std::size_t k = 2; k < r.faces.size(); ++k) more_faces.push_back({e, r.faces[k]});
                vertex_neighbour_edges[r.lo].push_back(e);
                vertex_neighbour_edges[r.hi].push_back(e);
                if (face1 != -1) {
                    face_neighbour_edges[r.faces[0]].push_back(e);
                    face_neighbour_edges[face1].push_back(e);
                }
            }
    }
};

void expect_same_as_literal(Mesh& m)
{
    Captured quiet;
    m.build({MESH_EDGE_LIST}, quiet);
    const LiteralEdgeList ref(m);
    ASSERT_EQ(m.edge_count, int(ref.edges.size()));
    EXPECT_EQ(m.edge_table.count, m.edge_count);
    EXPECT_EQ(m.edges, ref.edges);
    EXPECT_EQ(m.edge_faces, ref.edge_faces);
    EXPECT_EQ(m.edge_more_faces, ref.more_faces);
    for (int v = 0; v < m.nv; ++v) {
        const auto links = m.edge_table.vertex_links[v];
        EXPECT_EQ(std::vector<int>(links.begin(), links.end()), ref.vertex_links[v]) << "vertex " << v;
        std::vector<int> via;
        for (const int* p : m.vertex_neighbours[v]) {
            via.push_back(m.edge_of(p));
            EXPECT_EQ(*p, ref.edges[m.edge_of(p)][ref.edges[m.edge_of(p)][0] == v ? 1 : 0]);
        }
        EXPECT_EQ(via, ref.vertex_neighbour_edges[v]);
    }
    for (int f = 0; f < m.nf; ++f) {
        const auto links = m.edge_table.face_links[f];
        EXPECT_EQ(std::vector<int>(links.begin(), links.end()), ref.face_links[f]) << "face " << f;
        std::vector<int> via;
        for (const int* p : m.face_neighbours[f]) {
            const int e = m.edge_of(p);
            via.push_back(e);
            EXPECT_EQ(*p, ref.edge_faces[e][ref.edge_faces[e][0] == f ? 1 : 0]);
        }
        EXPECT_EQ(via, ref.face_neighbour_edges[f]);
    }
}

}  // namespace

TEST(EdgeList, SameAsTheLiteralBuildOnNamedMeshesRandomSoupsAndBusyVertices)
{
    std::unique_ptr<Mesh> named_meshes[] = {
        named::single_triangle(), named::two_triangles(), named::tetrahedron(),       named::octahedron(),
        named::open_grid(5),      named::folded_grid(4),  named::disconnected_pair(), named::non_manifold_edge()};
    for (auto& m : named_meshes) expect_same_as_literal(*m);

    std::mt19937 rng(7);
    for (int round = 0; round < 30; ++round) {
        const int nv = 3 + int(rng() % 40);
        const int nf = 1 + int(rng() % 120);
        std::vector<std::vector<int>> tris;
        for (int i = 0; i < nf; ++i) {
            // Vertex 0 is in most faces, so its bucket takes the sorted path.
            const int a = (rng() % 3) ? 0 : int(rng() % nv);
            tris.push_back({a, int(rng() % nv), int(rng() % nv)});
        }
        expect_same_as_literal(*named::make(std::vector<Vector>(nv), tris));
    }
}
