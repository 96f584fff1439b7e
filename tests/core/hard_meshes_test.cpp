// Meshes that once made wrong results: faces without area, edges of three
// or more faces, parts that do not touch.
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "core/face_adjacency.h"
#include "core/load_mesh_file.h"
#include "core/survey_mesh.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"

namespace {

std::vector<int> list(const IndexLists<int>& lists, int f)
{
    const auto l = lists[std::size_t(f)];
    return std::vector<int>(l.begin(), l.end());
}

bool finite(const Vector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w);
}

}  // namespace

TEST(DegenerateFaces, HaveTheZeroNormalAndLeaveTheVertexNormalsAlone)
{
    Captured quiet;
    auto alone = named::single_triangle();
    auto pair = named::degenerate_pair();
    // A collinear face on fresh vertices, and one on a vertex of nothing else.
    auto line = named::make({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}, {5, 5, 5}}, {{0, 1, 2}, {0, 1, 3}, {4, 4, 4}});
    for (Mesh* m : {alone.get(), pair.get(), line.get()})
        m->build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}, quiet);
    for (Mesh* m : {pair.get(), line.get()}) {
        for (int f = 1; f < m->nf; ++f) {
            EXPECT_TRUE(m->faces[f].is_degenerate()) << f;
            EXPECT_TRUE(finite(m->faces[f].normal)) << f;
        }
        // The vertex normals are those of the proper face alone, bit for bit.
        for (int v = 0; v < 3; ++v)
            EXPECT_EQ(std::memcmp(&m->vertex_normals[v], &alone->vertex_normals[v], 4 * sizeof(float)), 0) << v;
    }
    EXPECT_EQ(xyzw(line->vertex_normals[4]), (std::array<float, 4>{0, 0, 0, 0}));
    EXPECT_EQ(xyzw(line->vertex_normals[3]), (std::array<float, 4>{0, 0, 0, 0}));

    // Faces whose float cross product over- or underflows are not degenerate.
    for (float scale : {1e25f, 1e-25f}) {
        auto far = named::make({{0, 0, 0}, {scale, 0, 0}, {0, scale, 0}}, {{0, 1, 2}});
        far->build({MESH_VERTEX_NORMALS}, quiet);
        EXPECT_FALSE(far->faces[0].is_degenerate()) << scale;
        EXPECT_EQ(far->faces[0].normal, Vector(0, 0, 1)) << scale;
        EXPECT_EQ(far->vertex_normals[1], Vector(0, 0, 1)) << scale;
    }
}

TEST(NonManifoldEdges, EveryFaceOnTheEdgeLinksToTheFacesAcrossIt)
{
    Captured quiet;
    auto fin = named::non_manifold_edge();
    fin->build({MESH_EDGE_LIST}, quiet);
    // The edge list keeps its first two faces and links them; the third is
    // listed beside them, and the adjacency links it to both.
    EXPECT_EQ(fin->edge_faces[0], (std::array<int, 2>{0, 1}));
    EXPECT_EQ(fin->edge_more_faces, (std::vector<std::array<int, 2>>{{0, 2}}));
    EXPECT_TRUE(fin->edge_table.face_links[2].empty());
    const IndexLists<int> around = face_adjacency(*fin);
    EXPECT_EQ(list(around, 0), (std::vector<int>{1, 2}));
    EXPECT_EQ(list(around, 1), (std::vector<int>{0, 2}));
    EXPECT_EQ(list(around, 2), (std::vector<int>{0, 1}));

    // Ten faces on one edge: past eight, each later face links to the first
    // two only, and all of them are still one part.
    std::vector<Vector> points{{0, 0, 0}, {1, 0, 0}};
    std::vector<std::vector<int>> fan;
    for (int k = 0; k < 10; ++k) {
        points.emplace_back(0.5f, std::cos(0.6f * k), std::sin(0.6f * k));
        fan.push_back({0, 1, 2 + k});
    }
    auto busy = named::make(points, fan);
    busy->build({MESH_EDGE_LIST}, quiet);
    EXPECT_EQ(busy->edge_more_faces.size(), 8u);
    const IndexLists<int> fan_around = face_adjacency(*busy);
    EXPECT_EQ(list(fan_around, 9), (std::vector<int>{0, 1}));
    EXPECT_EQ(list(fan_around, 0).size(), 9u);
    // Four faces on an edge: every two of them.
    auto four = named::make({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}},
                            {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}, {0, 1, 5}});
    four->build({MESH_EDGE_LIST}, quiet);
    const IndexLists<int> four_around = face_adjacency(*four);
    for (int f = 0; f < 4; ++f) EXPECT_EQ(list(four_around, f).size(), 3u) << f;
    const MeshSurvey s = survey_mesh(*busy);
    EXPECT_EQ(s.non_manifold_edges, 1);
    EXPECT_EQ(s.connected_parts, 1);
    EXPECT_EQ(s.border_edges, 20);
}

TEST(MeshSurvey, CountsBordersNonManifoldEdgesDegenerateFacesAndParts)
{
    Captured quiet;
    struct Expected {
        std::unique_ptr<Mesh> mesh;
        MeshSurvey survey;
    } cases[] = {
        {named::tetrahedron(), {0, 0, 0, 1}},
        {named::two_triangles(), {4, 0, 0, 1}},
        {named::disconnected_pair(), {6, 0, 0, 2}},
        {named::non_manifold_edge(), {6, 1, 0, 1}},
        // The face 0 0 1 lies on the triangle's edge 0-1, its second face;
        // there is no edge from vertex 0 to itself.
        {named::degenerate_pair(), {2, 0, 1, 1}},
        {named::empty(), {0, 0, 0, 0}},
    };
    for (auto& c : cases) {
        c.mesh->build({MESH_EDGE_LIST}, quiet);
        const MeshSurvey s = survey_mesh(*c.mesh);
        EXPECT_EQ(s.border_edges, c.survey.border_edges) << c.mesh->nf;
        EXPECT_EQ(s.non_manifold_edges, c.survey.non_manifold_edges) << c.mesh->nf;
        EXPECT_EQ(s.degenerate_faces, c.survey.degenerate_faces) << c.mesh->nf;
        EXPECT_EQ(s.connected_parts, c.survey.connected_parts) << c.mesh->nf;
    }
}
