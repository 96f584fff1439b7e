// What the walk comparison (smoother_walk_test.cpp) cannot show: the
// unvisited list both versions share, kernels, weight curves and stale data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "processing/NormalSmoother.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"

namespace {

using RunMode = NormalSmoother::RunMode;

std::vector<int> walk(const UnvisitedList& list)
{
    std::vector<int> seen;
    for (int f = list.first(); f != -1; f = list.next(f)) seen.push_back(f);
    return seen;
}

std::unique_ptr<Mesh> built(std::unique_ptr<Mesh> m)
{
    printed([&] { m->build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}); });
    return m;
}

std::vector<float> normals(const Mesh& m)
{
    std::vector<float> out;
    for (const Face& f : m.faces) out.insert(out.end(), {f.normal.x, f.normal.y, f.normal.z, f.normal.w});
    return out;
}

Vector ball(float r, float w = 0.0f) { return Vector(r, r, r, w); }

}  // namespace

TEST(UnvisitedList, RemovalDuringAWalk)
{
    UnvisitedList list;
    list.fill(8);
    std::vector<int> seen;
    // Remove every face the walk stands on that is odd, as a ball capture does.
    for (int f = list.first(); f != -1; f = list.next(f)) {
        seen.push_back(f);
        if (f % 2 == 1) list.remove(f);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(walk(list), (std::vector<int>{0, 2, 4, 6}));
    EXPECT_EQ(list.count, 4);
    for (int f = list.first(); f != -1; f = list.next(f)) list.remove(f);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.first(), -1);
    EXPECT_EQ(list.tail, -1);

    list.fill(4);
    list.remove(0);
    list.remove(3);
    EXPECT_EQ(list.tail, 2);
    for (int gone : {3, 9, -1}) list.remove(gone);  // already gone, or no face of the list
    EXPECT_EQ(list.count, 2);
    EXPECT_EQ(walk(list), (std::vector<int>{1, 2}));
    EXPECT_FALSE(list.contains(0));
    EXPECT_EQ(list.next(0), 1);  // a removed face still leads on to the one that followed it
    list.fill(0);
    EXPECT_EQ(list.first(), -1);
    list.fill(3);
    EXPECT_EQ(walk(list), (std::vector<int>{0, 1, 2}));
}

TEST(Smoothing, ZeroKernelOrNoFacesDoesNothing)
{
    const Vector full = smoothing_kernel(100.0f, 4.0f);
    EXPECT_EQ(std::vector<float>({full.x, full.y, full.z, full.w}), std::vector<float>({2, 2, 2, 100}));

    auto mesh = built(named::tetrahedron());
    const std::vector<float> before = normals(*mesh);
    NormalSmoother s;
    s.mesh = mesh.get();
    const Vector zero = smoothing_kernel(0.0f, mesh->extent);
    for (int algorithm : {0, 1, 2}) EXPECT_EQ(printed([&] { s.run(zero, RunMode::Full, algorithm); }), "");
    EXPECT_EQ(normals(*mesh), before);
    EXPECT_TRUE(s.restart_needed);

    auto empty = built(named::empty());
    NormalSmoother none;
    none.mesh = empty.get();
    EXPECT_EQ(printed([&] { none.run(ball(1.0f), RunMode::Full, NormalSmoother::SPHERE_JUMP); }),
              "Evaluating SHPERE_JUMP: \nWEIGHT_MODE = 0\n");
    EXPECT_EQ(printed([&] { none.run(ball(1.0f), RunMode::Step, NormalSmoother::MEAN_SHIFT); }),
              "Evaluating MEAN_SHIFT: \nWEIGHT_MODE = 0\n");
}

TEST(Smoothing, WeightCurves)
{
    // Face 0 seeds; face 1 sits on it (entry 0), face 2 on the sphere (entry
    // 100), face 3 half way (entry 50, above the curve height).
    auto mesh = built(named::triangle_row({0.0f, 0.0f, 2.0f, 1.0f}));
    NormalSmoother s;
    s.mesh = mesh.get();
    const Vector n(1.0f, 2.0f, 3.0f, 0.0f);
    for (Face& f : mesh->faces) f.normal = n;
    std::vector<Vector> curve(101, Vector(0.0f, 0.0f));
    curve[0].y = 20.0f;    // weight 0.5
    curve[100].y = 10.0f;  // weight 0.75
    curve[50].y = 80.0f;   // weight 1 - 2, taken as 0
    ASSERT_TRUE(s.set_weight_curve(curve, 40));
    s.kernel = ball(2.0f);
    const Vector c = mesh->centroids[0];
    for (auto [face, weight] : {std::pair{1, 0.5f}, {2, 0.75f}, {3, 0.0f}}) {
        const Vector got = s.contribution(face, c), want = n * weight;
        EXPECT_EQ(std::vector<float>({got.x, got.y, got.z, got.w}), std::vector<float>({want.x, want.y, want.z, want.w}))
            << face;
    }

    // Too short, empty or flat curves are refused, and the last good one stays.
    std::string out = printed([&] { EXPECT_FALSE(s.set_weight_curve(std::vector<Vector>(100), 40)); });
    EXPECT_EQ(out.rfind("ERROR: weight curve of 100 points", 0), 0u) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
    printed([&] {
        EXPECT_FALSE(s.set_weight_curve({}, 40));
        EXPECT_FALSE(s.set_weight_curve(std::vector<Vector>(101), 0));
    });
    EXPECT_EQ(s.weight_mode, 1);
    EXPECT_EQ(s.weight_curve[50].y, 80.0f);
    EXPECT_EQ(s.curve_height, 40);
    NormalSmoother fresh;
    printed([&] { fresh.set_weight_curve(std::vector<Vector>(100), 40); });
    EXPECT_EQ(fresh.weight_mode, 0);
}

TEST(Smoothing, StaleCentroidsAndAdjacencyAreRebuiltBeforeARun)
{
    auto mesh = built(named::triangle_row({0.0f, 1.0f, 2.0f}));
    NormalSmoother smoother;
    smoother.mesh = mesh.get();
    printed([&] { smoother.run(ball(1.5f), RunMode::Step, NormalSmoother::MEAN_SHIFT); });  // mid-cycle

    // Another mesh arrives the way a tool installs its result: arrays
    // replaced, nothing rebuilt. The result is that of a fresh smoother on
    // a freshly built mesh.
    auto install = [&](std::unique_ptr<Mesh> next) {
        printed([&] { next->build({MESH_VERTEX_NORMALS}); });
        mesh->assign(*next);
        for (int i = 0; i < mesh->nf; ++i) mesh->faces[i].normal = next->faces[i].normal;
        EXPECT_FALSE(mesh->is_current(MESH_CENTROIDS));
    };
    install(named::open_grid(3));
    std::string out = printed([&] { smoother.run(ball(1.5f), RunMode::Full, NormalSmoother::MEAN_SHIFT); });
    EXPECT_EQ(out.rfind("BUILDING: MESH_CENTROIDS MESH_EDGE_LIST \n\n", 0), 0u) << out;
    auto fresh = built(named::open_grid(3));
    NormalSmoother other;
    other.mesh = fresh.get();
    printed([&] { other.run(ball(1.5f), RunMode::Full, NormalSmoother::MEAN_SHIFT); });
    EXPECT_EQ(normals(*mesh), normals(*fresh));
    EXPECT_EQ(smoother.regions.size(), other.regions.size());

    // The median filter reads the adjacency of the mesh it is given.
    install(named::folded_grid(2));
    out = printed([&] { smoother.run(ball(1.0f, 1.0f), RunMode::Full, NormalSmoother::MEDIAN_FILTER); });
    EXPECT_EQ(out.rfind("BUILDING: MESH_CENTROIDS MESH_EDGE_LIST \n\n", 0), 0u) << out;
    EXPECT_EQ(mesh->edge_table.face_links.size(), std::size_t(mesh->nf));
}
