#include <gtest/gtest.h>

#include <cmath>

#include "core/Mesh.h"
#include "processing/ButterflySubdivider.h"
#include "tests/support/MeshVariants.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/ReferenceRemesh.h"

namespace {

std::unique_ptr<Mesh> run(const Mesh& mesh, int levels, float weight)
{
    ButterflySubdivider s;
    s.source = mesh.clone();
    s.levels = levels;
    s.weight = weight;
    testing::internal::CaptureStdout();
    s.run();
    testing::internal::GetCapturedStdout();
    return std::move(s.result);
}

// Subdivides `mesh` as the view does, keeping the console quiet.
bool subdivide(Mesh& mesh, int levels, float weight, std::string* console = nullptr)
{
    ButterflySubdivider s;
    testing::internal::CaptureStdout();
    const bool done = s.subdivide(mesh, levels, weight);
    const std::string out = testing::internal::GetCapturedStdout();
    if (console) *console = out;
    return done;
}

void expect_same_as_reference(const Mesh& mesh, int levels, float weight, const std::string& name)
{
    SCOPED_TRACE(name + " level " + std::to_string(levels) + " weight " + std::to_string(weight));
    testing::internal::CaptureStdout();
    const std::unique_ptr<Mesh> expected = reference_subdivide(mesh, levels, weight);
    testing::internal::GetCapturedStdout();
    const std::unique_ptr<Mesh> got = run(mesh, levels, weight);
    ASSERT_TRUE(got);
    std::string why;
    EXPECT_TRUE(same_mesh(*got, *expected, why)) << why;
    for (int i = 0; i < got->nv; ++i) {
        if (!same_bits(got->vertex_normals[i], expected->vertex_normals[i]) ||
            !same_bits(got->texcoords[i], expected->texcoords[i])) {
            ADD_FAILURE() << "vertex normal or texture coordinate " << i;
            break;
        }
    }
}

}  // namespace

TEST(Subdivision, SingleTriangleGetsExactMidpoints)
{
    const auto tri = named::single_triangle();
    const auto out = run(*tri, 1, 0.1f);
    ASSERT_TRUE(out);
    ASSERT_EQ(out->nv, 6);
    ASSERT_EQ(out->nf, 4);
    // Edges in the order met: 0-1, 1-2, 2-0; all borders, so plain midpoints.
    EXPECT_EQ(out->vertices[3], Vector(0.5f, 0.0f, 0.0f));
    EXPECT_EQ(out->vertices[4], Vector(0.5f, 0.5f, 0.0f));
    EXPECT_EQ(out->vertices[5], Vector(0.0f, 0.5f, 0.0f));
    const int expected[4][3] = {{0, 3, 5}, {3, 1, 4}, {5, 4, 2}, {3, 4, 5}};
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(out->faces[i].vi[k], expected[i][k]) << "face " << i;
}

TEST(Subdivision, ClosedOctahedronUsesTheFullStencil)
{
    const auto oct = named::octahedron();
    const auto out = run(*oct, 1, 0.0f);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->nv, 18);
    EXPECT_EQ(out->nf, 32);
    // Midpoint 1/2 each, the two opposite corners cancel, the four wing
    // corners add 1/16 each way: every new vertex sits at 0.625 on two axes.
    for (int i = 6; i < 18; ++i) {
        const Vector& p = out->vertices[i];
        const float m[3] = {std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)};
        int at = 0, zero = 0;
        for (float c : m) {
            at += c == 0.625f;
            zero += c == 0.0f;
        }
        EXPECT_TRUE(at == 2 && zero == 1) << "vertex " << i << " " << p.x << " " << p.y << " " << p.z;
    }
    EXPECT_EQ(out->vertices[6], Vector(0.625f, 0.625f, 0.0f));
}

TEST(Subdivision, TwoSingleLevelsEqualOneDoubleLevel)
{
    auto once = make_variant(*named::torus(6, 8), {3, 0.05f});
    auto twice = once->clone();
    ASSERT_TRUE(subdivide(*once, 2, 0.03f));
    ASSERT_TRUE(subdivide(*twice, 1, 0.03f));
    ASSERT_TRUE(subdivide(*twice, 1, 0.03f));
    std::string why;
    EXPECT_TRUE(same_mesh(*once, *twice, why)) << why;
}

TEST(Subdivision, MatchesTheStraightforwardListAlgorithm)
{
    const auto torus = named::torus(12, 16);
    const auto grid = named::folded_grid(12);
    struct Case {
        std::string name;
        std::unique_ptr<Mesh> mesh;
    };
    std::vector<Case> cases;
    cases.push_back({"closed", make_variant(*torus, {1, 0.05f})});
    cases.push_back({"closed shuffled", make_variant(*torus, {2, 0.05f, true})});
    cases.push_back({"open", make_variant(*grid, {3, 0.02f})});
    cases.push_back({"open shuffled with isolated vertices", make_variant(*grid, {4, 0.0f, true, 5})});
    cases.push_back({"non-manifold", make_variant(*torus, {5, 0.05f, true, 0, 12})});
    cases.push_back({"degenerate and repeated faces", make_variant(*grid, {6, 0.03f, true, 2, 3, 6, 6})});
    cases.push_back({"named non-manifold", named::non_manifold_edge()});
    cases.push_back({"disconnected", named::disconnected_pair()});
    for (const Case& c : cases)
        for (float weight : {-0.125f, 0.0f, 0.0625f, 0.125f}) expect_same_as_reference(*c.mesh, 1, weight, c.name);
    for (const Case& c : cases) expect_same_as_reference(*c.mesh, 2, 0.01f, c.name);
    expect_same_as_reference(*make_variant(*named::torus(40, 50), {7, 0.02f, true, 3, 10, 2}), 1, 0.02f, "large");
    expect_same_as_reference(*named::tetrahedron(), 3, -0.05f, "tetrahedron");
}

TEST(Subdivision, MorphogenValuesFollowTheirVertices)
{
    auto mesh = named::two_triangles();
    mesh->morphogen_names = {"heat", "salt"};
    mesh->morphogen_values = {{0, 10}, {1, 20}, {2, 30}, {4, 40}};
    ASSERT_TRUE(subdivide(*mesh, 1, 0.0f));
    ASSERT_EQ(mesh->nv, 9);
    ASSERT_EQ(mesh->morphogen_values.size(), 9u);
    EXPECT_EQ(mesh->morphogen_names, (std::vector<std::string>{"heat", "salt"}));
    // Edges met: 0-1, 1-2, 2-0, 1-3, 3-2.
    const std::vector<std::vector<float>> expected = {{0, 10},   {1, 20},   {2, 30}, {4, 40}, {0.5f, 15},
                                                      {1.5f, 25}, {1, 20}, {2.5f, 30}, {3, 35}};
    EXPECT_EQ(mesh->morphogen_values, expected);
}

TEST(Subdivision, ViewMeshGetsDefaultsAndFreshDerivedData)
{
    auto mesh = named::octahedron();
    mesh->build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB});
    for (Face& f : mesh->faces) {
        f.colour = Vector(1, 0, 0, 1);
        f.marked = 1;
        f.group = 4;
    }
    for (Vector& c : mesh->vertex_colours) c = Vector(0.2f, 0.3f, 0.4f, 1);
    for (Vector& p : mesh->vertices) p = p * 2.0f + Vector(10, 0, 0, 0);
    mesh->touch();
    std::string console;
    ASSERT_TRUE(subdivide(*mesh, 1, 0.0f, &console));
    EXPECT_EQ(console, "BUILDING: MESH_VERTEX_NORMALS MESH_TEXCOORDS \n\n"
                       "BUILDING: MESH_EDGE_LIST MESH_VERTEX_NORMALS MESH_CENTRE MESH_CENTROIDS MESH_BB \n\n");
    for (const Face& f : mesh->faces) {
        EXPECT_EQ(f.colour, Face().colour);
        EXPECT_EQ(f.marked, 0);
        EXPECT_EQ(f.group, 0);
    }
    for (const Vector& c : mesh->vertex_colours) EXPECT_EQ(c, Vector());
    for (int flag : {MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_CENTRE, MESH_CENTROIDS, MESH_BB})
        EXPECT_TRUE(mesh->is_current(flag)) << flag;
    EXPECT_EQ(mesh->edge_count, 48);
    EXPECT_EQ(mesh->centre, Vector(10, 0, 0));
    EXPECT_FLOAT_EQ(mesh->extent, 4.0f);
    const Face& last = mesh->faces[31];
    EXPECT_EQ(mesh->centroids[31].x, ((*last.v[0]).x + (*last.v[1]).x + (*last.v[2]).x) / 3.0f);
}

TEST(Subdivision, RefusesWhatWouldNotFitInMemory)
{
    auto mesh = named::open_grid(71);  // 10,082 faces
    const auto before = mesh->clone();
    std::string console;
    EXPECT_FALSE(subdivide(*mesh, 10, 0.0f, &console));
    EXPECT_EQ(std::count(console.begin(), console.end(), '\n'), 1) << console;
    EXPECT_NE(console.find("Subdivision level 10 would make 10571743232 faces"), std::string::npos) << console;
    std::string why;
    EXPECT_TRUE(same_mesh(*mesh, *before, why)) << why;

    ButterflySubdivider small;
    small.memory_limit = 1e6;
    small.source = mesh->clone();
    small.levels = 2;
    testing::internal::CaptureStdout();
    small.run();
    console = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(small.result);
    EXPECT_NE(console.find("the limit is 1 MB"), std::string::npos) << console;
    small.levels = 0;
    small.memory_limit = 1e12;
    small.run();
    EXPECT_FALSE(small.result);
}

TEST(Subdivision, EdgeMapKeepsFirstOrientationAndLastSecondFace)
{
    const auto mesh = named::non_manifold_edge();  // faces 0 1 2, 1 0 3, 0 1 4
    SubdivisionEdgeMap map;
    map.build(*mesh);
    ASSERT_EQ(map.edges.size(), 7u);
    EXPECT_EQ(map.edges[0].a, 0);
    EXPECT_EQ(map.edges[0].b, 1);
    EXPECT_EQ(map.edges[0].first_face, 0);
    EXPECT_EQ(map.edges[0].second_face, 2);
    EXPECT_EQ(map.side_of(*mesh, 1, 0, 1), 0);
    EXPECT_EQ(map.side_of(*mesh, 1, 1, 3), 4);
    EXPECT_EQ(map.side_of(*mesh, 1, 2, 3), -1);
    EXPECT_EQ(map.face_edges, (std::vector<int>{0, 1, 2, 0, 3, 4, 0, 5, 6}));
}
