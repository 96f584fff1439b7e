#include <algorithm>
#include <array>
#include <cmath>

#include <gtest/gtest.h>

#include "core/Mesh.h"
#include "remeshing/ButterflySubdivider.h"
#include "tests/support/MeshVariants.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/ReferenceRemesh.h"

namespace {

std::unique_ptr<Mesh> run(const Mesh& mesh, int levels, float weight)
{
    Captured console;
    ButterflySubdivider s(console);
    s.source = mesh.clone();
    s.levels = levels;
    s.weight = weight;
    s.run();
    return std::move(s.result);
}

// Subdivides `mesh` as the view does, keeping the console quiet.
bool subdivide(Mesh& mesh, int levels, float weight, std::string* console = nullptr)
{
    bool done = false;
    Captured channel;
    const std::string out =
        printed(channel, [&] { done = ButterflySubdivider(channel).subdivide(mesh, levels, weight); });
    if (console) *console = out;
    return done;
}

void expect_same_as_reference(const Mesh& mesh, int levels, float weight, const std::string& name)
{
    SCOPED_TRACE(name + " level " + std::to_string(levels) + " weight " + std::to_string(weight));
    const std::unique_ptr<Mesh> expected = reference_subdivide(mesh, levels, weight);
    const std::unique_ptr<Mesh> got = run(mesh, levels, weight);
    ASSERT_TRUE(got);
    std::string why;
    EXPECT_TRUE(same_mesh(*got, *expected, why)) << why;
    for (int i = 0; i < got->nv; ++i)
        if (!same_bits(got->vertex_normals[i], expected->vertex_normals[i]) ||
            !same_bits(got->texcoords[i], expected->texcoords[i])) {
            ADD_FAILURE() << "vertex normal or texture coordinate " << i;
            break;
        }
}

}  // namespace

TEST(Subdivision, KnownAnswersOnAnOpenAndAClosedMesh)
{
    // Edges in the order met: 0-1, 1-2, 2-0; all borders, so plain midpoints.
    const auto tri = run(*named::single_triangle(), 1, 0.1f);
    ASSERT_TRUE(tri);
    ASSERT_EQ(tri->nv, 6);
    EXPECT_EQ(tri->vertices[3], Vector(0.5f, 0.0f, 0.0f));
    EXPECT_EQ(tri->vertices[4], Vector(0.5f, 0.5f, 0.0f));
    EXPECT_EQ(tri->vertices[5], Vector(0.0f, 0.5f, 0.0f));
    EXPECT_EQ(corners(*tri), (Corners{{0, 3, 5}, {3, 1, 4}, {5, 4, 2}, {3, 4, 5}}));

    // Midpoint 1/2 each, the two opposite corners cancel, the four wing
    // corners add 1/16 each way: every new vertex sits at 0.625 on two axes.
    const auto oct = run(*named::octahedron(), 1, 0.0f);
    ASSERT_TRUE(oct);
    EXPECT_EQ(oct->nv, 18);
    EXPECT_EQ(oct->nf, 32);
    for (int i = 6; i < 18; ++i) {
        const Vector& p = oct->vertices[i];
        std::array<float, 3> m = {std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)};
        std::sort(m.begin(), m.end());
        EXPECT_EQ(m, (std::array<float, 3>{0.0f, 0.625f, 0.625f})) << "vertex " << i;
    }
    EXPECT_EQ(oct->vertices[6], Vector(0.625f, 0.625f, 0.0f));
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
    std::pair<const char*, std::unique_ptr<Mesh>> cases[] = {
        {"closed", make_variant(*torus, {1, 0.05f})},
        {"closed shuffled", make_variant(*torus, {2, 0.05f, true})},
        {"open", make_variant(*grid, {3, 0.02f})},
        {"open shuffled with isolated vertices", make_variant(*grid, {4, 0.0f, true, 5})},
        {"non-manifold", make_variant(*torus, {5, 0.05f, true, 0, 12})},
        {"degenerate and repeated faces", make_variant(*grid, {6, 0.03f, true, 2, 3, 6, 6})},
        {"named non-manifold", named::non_manifold_edge()},
        {"disconnected", named::disconnected_pair()},
    };
    for (const auto& [name, mesh] : cases) {
        for (float weight : {-0.125f, 0.0f, 0.0625f, 0.125f}) expect_same_as_reference(*mesh, 1, weight, name);
        expect_same_as_reference(*mesh, 2, 0.01f, name);
    }
    expect_same_as_reference(*make_variant(*named::torus(40, 50), {7, 0.02f, true, 3, 10, 2}), 1, 0.02f, "large");
    expect_same_as_reference(*named::tetrahedron(), 3, -0.05f, "tetrahedron");
}

TEST(Subdivision, MorphogenValuesAndColoursFollowTheirVertices)
{
    auto mesh = named::two_triangles();
    mesh->morphogen_names = {"heat", "salt"};
    mesh->morphogen_values = {{0, 10}, {1, 20}, {2, 30}, {4, 40}};
    for (int i = 0; i < 4; ++i) mesh->vertex_colours[i] = Vector(0.25f * float(i), 1, 0, 1);
    mesh->has_colours = true;
    ASSERT_TRUE(subdivide(*mesh, 1, 0.0f));
    EXPECT_TRUE(mesh->has_colours);
    const float reds[] = {0, 0.25f, 0.5f, 0.75f, 0.125f, 0.375f, 0.25f, 0.5f, 0.625f};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(mesh->vertex_colours[i], Vector(reds[i], 1, 0, 1)) << i;
    ASSERT_EQ(mesh->nv, 9);
    ASSERT_EQ(mesh->morphogen_values.size(), 9u);
    EXPECT_EQ(mesh->morphogen_names, (std::vector<std::string>{"heat", "salt"}));
    // Edges met: 0-1, 1-2, 2-0, 1-3, 3-2.
    const std::vector<std::vector<float>> expected = {{0, 10},    {1, 20}, {2, 30},    {4, 40}, {0.5f, 15},
                                                      {1.5f, 25}, {1, 20}, {2.5f, 30}, {3, 35}};
    EXPECT_EQ(mesh->morphogen_values, expected);
}

TEST(Subdivision, ViewMeshGetsDefaultsAndFreshDerivedData)
{
    auto mesh = named::octahedron();
    Captured quiet;
    mesh->build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}, quiet);
    for (Face& f : mesh->faces) {
        f.colour = Vector(1, 0, 0, 1);
        f.marked = 1;
        f.group = 4;
    }
    // Read without colours: none are made up.
    for (Vector& c : mesh->vertex_colours) c = Vector(0.2f, 0.3f, 0.4f, 1);
    for (Vector& p : mesh->vertices) p = p * 2.0f + Vector(10, 0, 0, 0);
    mesh->touch();
    std::string console;
    ASSERT_TRUE(subdivide(*mesh, 1, 0.0f, &console));
    EXPECT_EQ(console,
              "BUILDING: MESH_VERTEX_NORMALS MESH_TEXCOORDS \n\n"
              "BUILDING: MESH_EDGE_LIST MESH_VERTEX_NORMALS MESH_CENTRE MESH_CENTROIDS MESH_BB \n\n");
    for (const Face& f : mesh->faces) {
        EXPECT_EQ(f.colour, Face().colour);
        EXPECT_EQ(f.marked, 0);
        EXPECT_EQ(f.group, 0);
    }
    for (const Vector& c : mesh->vertex_colours) EXPECT_EQ(c, Vector());
    EXPECT_FALSE(mesh->has_colours);
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

    Captured channel;
    ButterflySubdivider small(channel);
    small.memory_limit = 1e6;
    small.source = mesh->clone();
    small.levels = 2;
    console = printed(channel, [&] { small.run(); });
    EXPECT_FALSE(small.result);
    EXPECT_NE(console.find("the limit is 1 MB"), std::string::npos) << console;
    small.levels = 0;
    small.memory_limit = 1e12;
    small.run();
    EXPECT_FALSE(small.result);
}
