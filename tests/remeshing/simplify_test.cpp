#include "remeshing/simplify.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <gtest/gtest.h>

#include "core/Mesh.h"
#include "remeshing/CollapseQueue.h"
#include "remeshing/SimplifyGraph.h"
#include "tests/support/MeshVariants.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/ReferenceRemesh.h"

namespace {

// Simplifies `mesh` to lod percent; returns the console text it reported.
std::string quiet_simplify(Mesh& mesh, float lod)
{
    Captured console;
    return printed(console, [&] { simplify_mesh(mesh, lod, console); });
}

bool faces_valid(const Mesh& mesh)
{
    for (int i = 0; i < mesh.nf; ++i) {
        const int* vi = mesh.faces[i].vi;
        for (int k = 0; k < 3; ++k)
            if (vi[k] < 0 || vi[k] >= mesh.nv || vi[k] == vi[(k + 1) % 3]) return false;
    }
    return true;
}

void expect_same_as_reference(const Mesh& mesh, float x, const std::string& name)
{
    SCOPED_TRACE(name + " at " + std::to_string(x));
    auto expected = mesh.clone();
    auto got = mesh.clone();
    reference_simplify(*expected, x);
    simplify(*got, x);
    std::string why;
    EXPECT_TRUE(same_mesh(*got, *expected, why)) << why;
    EXPECT_TRUE(faces_valid(*got));
}

void costed(SimplifyGraph& graph, const Mesh& mesh)
{
    graph.build(mesh);
    for (int v = 0; v < mesh.nv; ++v) graph.compute_cost(v);
}

}  // namespace

TEST(Simplification, MatchesTheStraightforwardScanAlgorithm)
{
    const auto torus = named::torus(30, 40);
    const auto grid = named::folded_grid(30);
    std::pair<const char*, std::unique_ptr<Mesh>> cases[] = {
        {"closed", make_variant(*torus, {1, 0.01f})},
        {"closed, exact ties", named::torus(30, 40)},
        {"closed shuffled", make_variant(*torus, {2, 0.01f, true})},
        {"open with flat ties", make_variant(*grid, {3})},
        {"open shuffled with isolated vertices", make_variant(*grid, {4, 0.02f, true, 7})},
        {"non-manifold", make_variant(*torus, {5, 0.01f, true, 0, 40})},
        {"degenerate and repeated faces", make_variant(*grid, {6, 0.01f, true, 3, 5, 9, 9})},
        {"named non-manifold", named::non_manifold_edge()},
        {"two vertices in 40 triangles each", make_variant(*named::bipyramid(40), {8, 0.01f})},
        {"very long edges", make_variant(*named::torus(10, 12), {5, 0.05f})},
        {"overflowing normals", make_variant(*named::torus(12, 16), {7, 0.05f, true})},
    };
    for (Vector& p : cases[8].second->vertices) p.z *= 0.1f;  // flat enough that the apexes go early
    // Every collapse costs more than a million: each vertex still takes its
    // cheapest neighbour, and no face is left pointing at a removed vertex.
    for (Vector& p : cases[9].second->vertices) p = Vector(p.x * 1e8f, p.y * 1e8f, p.z * 1e8f);
    // Corners far enough out that normals overflow to not-a-number: the turns
    // against those triangles then depend on the order they are taken in.
    Mesh& overflowing = *cases[10].second;
    for (int i = 0; i < overflowing.nv; i += 5) overflowing.vertices[i] = overflowing.vertices[i] * 1e20f;
    for (const auto& [name, mesh] : cases)
        for (float x : {0.0f, 0.1f, 0.33f, 0.5f, 0.75f, 0.99f, 1.0f}) expect_same_as_reference(*mesh, x, name);
}

// Hubs, vertices in hundreds of triangles, take their own path to a cost;
// the collapses must still be those of the scan, ties and all.
TEST(Simplification, HighValenceMatchesTheStraightforwardScanAlgorithm)
{
    auto tilted = named::fan_polygon(240);
    for (Vector& p : tilted->vertices) p.z = 0.3f * p.x + 0.2f * p.y;  // normals differ in their last bits
    auto pinched = named::fan_polygon(200);
    for (int i : {5, 6, 40, 41, 42, 120}) pinched->vertices[i] = pinched->vertices[i - 1];  // zero-area faces
    pinched->vertices[90] = (pinched->vertices[89] + pinched->vertices[91]) * 0.5f;         // and a collinear one
    auto overflowing = named::capped_cylinder(100);
    for (int i = 0; i < overflowing->nv; i += 9) overflowing->vertices[i] = overflowing->vertices[i] * 1e20f;
    std::pair<const char*, std::unique_ptr<Mesh>> cases[] = {
        {"flat fan from a corner", named::fan_polygon(240)},
        {"tilted fan", std::move(tilted)},
        {"fan with noise", make_variant(*named::fan_polygon(200), {10, 1e-6f})},
        {"fan with zero-area faces", std::move(pinched)},
        {"capped cylinder", named::capped_cylinder(120)},
        {"capped cylinder shuffled", make_variant(*named::capped_cylinder(90), {11, 0.0f, true})},
        {"cones", named::bipyramid(200)},
        {"cones with noise, shuffled", make_variant(*named::bipyramid(150), {12, 0.01f, true})},
        {"non-manifold hub", make_variant(*named::capped_cylinder(100), {13, 0.0f, false, 0, 30})},
        {"overflowing normals at a hub", std::move(overflowing)},
    };
    for (const auto& [name, mesh] : cases)
        for (float x : {0.05f, 0.3f, 0.8f}) expect_same_as_reference(*mesh, x, name);
}

TEST(Simplification, StopsAtTheIntegerPartOfTheLevelOfDetail)
{
    auto mesh = named::torus(25, 40);  // 1,000 vertices
    quiet_simplify(*mesh, 75.0f);
    EXPECT_EQ(mesh->nv, 750);
    EXPECT_TRUE(faces_valid(*mesh));

    auto tri = named::single_triangle();
    quiet_simplify(*tri, 50.0f);  // 1.5 vertices: the loop runs while more than 1
    EXPECT_EQ(tri->nv, 1);
    EXPECT_EQ(tri->nf, 0);

    auto whole = named::octahedron();
    for (Face& f : whole->faces) f.marked = 1;
    quiet_simplify(*whole, 100.0f);
    EXPECT_EQ(whole->nv, 6);
    EXPECT_EQ(whole->nf, 8);
    EXPECT_EQ(whole->faces[3].marked, 0);  // written back all the same
}

TEST(Simplification, FlatRegionCollapsesBeforeCurvedOne)
{
    // Unit grid, flat for x <= 5 and rippled beyond: equal edge lengths, so
    // only the turn between triangles tells the regions apart.
    auto mesh = named::open_grid(10);
    auto inside_curve = [](const Vector& p) { return p.x > 5.0f && p.x < 10.0f && p.y > 0.0f && p.y < 10.0f; };
    int curved = 0;
    for (Vector& p : mesh->vertices)
        if (p.x > 5.0f) {
            p.z = 0.4f * std::sin(2.0f * p.x) * std::cos(1.3f * p.y);
            curved += inside_curve(p);
        }
    SimplifyGraph graph;
    costed(graph, *mesh);
    EXPECT_EQ(graph.cost[3 * 11 + 2], 0.0f);
    EXPECT_GT(graph.cost[3 * 11 + 7], 0.0f);

    simplify(*mesh, 0.7f);
    ASSERT_EQ(mesh->nv, 84);
    // The rippled region's own corners are cheap (a corner triangle alone
    // does not turn), but nothing inside it goes.
    EXPECT_EQ(std::count_if(mesh->vertices.begin(), mesh->vertices.end(), inside_curve), curved);
}

TEST(Simplification, EachCollapseOnClosedManifoldRemovesTwoTriangles)
{
    auto mesh = make_variant(*named::torus(20, 24), {9, 0.02f});
    SimplifyGraph graph;
    costed(graph, *mesh);
    CollapseQueue queue;
    queue.reset(graph.cost);
    std::vector<int> touched;
    for (int step = 0; step < 60; ++step) {
        const int before = graph.triangle_count;
        const int u = queue.top();
        queue.pop();
        graph.collapse(u, graph.target[u], touched);
        for (int n : touched) {
            graph.compute_cost(n);
            queue.update(n, graph.cost[n]);
        }
        ASSERT_EQ(graph.triangle_count, before - 2) << "collapse " << step;
    }
}

TEST(Simplification, MorphogenValuesAndColoursFollowTheirVertices)
{
    auto mesh = make_variant(*named::torus(10, 12), {2, 0.05f, true, 2});
    mesh->morphogen_names = {"index"};
    std::map<std::tuple<float, float, float>, float> at;
    mesh->allocate_morphogens(mesh->nv, 1);
    for (int i = 0; i < mesh->nv; ++i) {
        mesh->morphogen_values[i][0] = float(i);
        mesh->vertex_colours[i] = Vector(float(i) / 256.0f, 0.5f, 0, 1);
        at[{mesh->vertices[i].x, mesh->vertices[i].y, mesh->vertices[i].z}] = float(i);
    }
    mesh->has_colours = true;
    quiet_simplify(*mesh, 40.0f);
    ASSERT_EQ(mesh->morphogen_values.size(), std::size_t(mesh->nv));
    EXPECT_EQ(mesh->morphogen_names, std::vector<std::string>{"index"});
    EXPECT_TRUE(mesh->has_colours);
    float last = -1;
    for (int i = 0; i < mesh->nv; ++i) {
        const Vector& p = mesh->vertices[i];
        EXPECT_EQ(mesh->morphogen_values[i][0], (at[{p.x, p.y, p.z}])) << i;
        EXPECT_EQ(mesh->vertex_colours[i], Vector(at[{p.x, p.y, p.z}] / 256.0f, 0.5f, 0, 1)) << i;
        EXPECT_GT(mesh->morphogen_values[i][0], last);  // survivors keep their order
        last = mesh->morphogen_values[i][0];
    }
}

TEST(Simplification, ViewResultHasFreshDerivedDataAndSaysWhenEmpty)
{
    auto mesh = named::torus(8, 10);
    Captured console;
    mesh->build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}, console);
    std::string out = quiet_simplify(*mesh, 50.0f);
    EXPECT_EQ(out, "BUILDING: MESH_VERTEX_NORMALS MESH_EDGE_LIST MESH_CENTRE MESH_CENTROIDS MESH_BB \n\n");
    for (int flag : {MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_CENTRE, MESH_CENTROIDS, MESH_BB})
        EXPECT_TRUE(mesh->is_current(flag)) << flag;
    EXPECT_EQ(int(mesh->centroids.size()), mesh->nf);

    out = quiet_simplify(*mesh, 0.0f);
    EXPECT_EQ(mesh->nv, 0);
    EXPECT_EQ(mesh->nf, 0);
    EXPECT_NE(out.find("Simplification to 0% left no vertices: the mesh is now empty\n"), std::string::npos) << out;
    out = quiet_simplify(*mesh, 0.0f);
    EXPECT_EQ(out.find("empty"), std::string::npos);
}
