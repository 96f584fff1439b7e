#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "processing/NormalSmoother.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"

namespace {

using RunMode = NormalSmoother::RunMode;

void quiet_build(Mesh& m, std::initializer_list<int> flags)
{
    printed([&] { m.build(flags); });
}

// Runs the smoother and returns what it printed.
std::string run(NormalSmoother& s, const Vector& kernel, RunMode mode, int algorithm)
{
    testing::internal::CaptureStdout();
    s.run(kernel, mode, algorithm);
    return testing::internal::GetCapturedStdout();
}

Vector ball(float r, float w = 0.0f) { return Vector(r, r, r, w); }

void set_normals(Mesh& m, const std::vector<Vector>& normals)
{
    for (std::size_t i = 0; i < normals.size(); ++i) m.faces[i].normal = normals[i];
}

void expect_same(const Vector& a, const Vector& b)
{
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
    EXPECT_EQ(a.w, b.w);
}

std::string summary(int faces, const char* radius, int regions)
{
    return "\nData Size:\t\t" + std::to_string(faces) + " \nMean Shift Radius:\t" + radius +
           " \nNumber of Regions:\t" + std::to_string(regions) + " \n";
}

const std::string empty_bar = "\r\rProgress = [         ]";

struct Smoothing : testing::Test {
    std::unique_ptr<Mesh> mesh;
    NormalSmoother smoother;

    void use(std::unique_ptr<Mesh> m)
    {
        mesh = std::move(m);
        quiet_build(*mesh, {MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB});
        smoother.mesh = mesh.get();
    }
};

}  // namespace

TEST_F(Smoothing, ZeroKernelDoesNothingAndPrintsNothing)
{
    use(named::tetrahedron());
    std::vector<Vector> before;
    for (const Face& f : mesh->faces) before.push_back(f.normal);
    const Vector zero = smoothing_kernel(0.0f, mesh->extent);
    EXPECT_EQ(zero.x, 0.0f);
    for (int algorithm : {0, 1, 2}) EXPECT_EQ(run(smoother, zero, RunMode::Full, algorithm), "");
    for (int i = 0; i < mesh->nf; ++i) expect_same(mesh->faces[i].normal, before[i]);
    EXPECT_TRUE(smoother.restart_needed);

    const Vector full = smoothing_kernel(100.0f, 4.0f);
    expect_same(full, Vector(2.0f, 2.0f, 2.0f, 100.0f));
}

TEST_F(Smoothing, OneFaceMeanShiftMakesOneNormalisedRegion)
{
    use(named::single_triangle());
    set_normals(*mesh, {Vector(0.0f, 0.0f, 2.0f, 0.0f)});
    const std::string out = run(smoother, ball(1.0f), RunMode::Full, NormalSmoother::MEAN_SHIFT);
    EXPECT_EQ(out, "Evaluating MEAN_SHIFT: \nWEIGHT_MODE = 0\n" + empty_bar + summary(1, "1.000000", 1));
    expect_same(mesh->faces[0].normal, Vector(0.0f, 0.0f, 1.0f, 0.0f));
    EXPECT_TRUE(smoother.restart_needed);
    EXPECT_EQ(smoother.processed, 0);
}

TEST_F(Smoothing, FacelessMeshPrintsOnlyTheHeader)
{
    use(named::empty());
    EXPECT_EQ(run(smoother, ball(1.0f), RunMode::Full, NormalSmoother::SPHERE_JUMP),
              "Evaluating SHPERE_JUMP: \nWEIGHT_MODE = 0\n");
    EXPECT_EQ(run(smoother, ball(1.0f), RunMode::Step, NormalSmoother::MEAN_SHIFT),
              "Evaluating MEAN_SHIFT: \nWEIGHT_MODE = 0\n");
}

TEST_F(Smoothing, WeightedContributionsFollowTheCurve)
{
    // Face 0 seeds; face 1 sits on it (entry 0), face 2 on the sphere (entry
    // 100), face 3 half way (entry 50, above the curve height), face 4 outside.
    use(named::triangle_row({0.0f, 0.0f, 2.0f, 1.0f, 2.5f}));
    const std::vector<Vector> normals = {Vector(1.0f, 0.0f, 0.0f, 0.0f), Vector(0.0f, 1.0f, 0.0f, 0.0f),
                                         Vector(0.0f, 0.0f, 1.0f, 0.0f), Vector(1.0f, 1.0f, 1.0f, 0.0f),
                                         Vector(0.0f, 3.0f, 0.0f, 0.0f)};
    set_normals(*mesh, normals);
    std::vector<Vector> curve(101, Vector(0.0f, 0.0f));
    curve[0].y = 20.0f;    // weight 0.5
    curve[100].y = 10.0f;  // weight 0.75
    curve[50].y = 80.0f;   // weight 1 - 2, taken as 0
    ASSERT_TRUE(smoother.set_weight_curve(curve, 40));
    smoother.kernel = ball(2.0f);
    const Vector c = mesh->centroids[0];
    expect_same(smoother.contribution(1, c), normals[1] * 0.5f);
    expect_same(smoother.contribution(2, c), normals[2] * 0.75f);
    expect_same(smoother.contribution(3, c), Vector(0.0f, 0.0f, 0.0f, 0.0f));

    const std::string out = run(smoother, ball(2.0f), RunMode::Step, NormalSmoother::SPHERE_JUMP);
    EXPECT_EQ(out.rfind("Evaluating SHPERE_JUMP: \nWEIGHT_MODE = 1\n", 0), 0u) << out;
    Vector expected = normals[0];
    expected += normals[1] * 0.5f;
    expected += normals[2] * 0.75f;
    expected += normals[3] * 0.0f;
    expected.normalise();
    for (int i = 0; i < 4; ++i) expect_same(mesh->faces[i].normal, expected);
    expect_same(mesh->faces[4].normal, normals[4]);
}

TEST_F(Smoothing, ShortOrFlatWeightCurvesAreRefused)
{
    use(named::single_triangle());
    testing::internal::CaptureStdout();
    EXPECT_FALSE(smoother.set_weight_curve(std::vector<Vector>(100), 40));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("ERROR: weight curve of 100 points", 0), 0u) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
    EXPECT_EQ(smoother.weight_mode, 0);

    std::vector<Vector> curve(101, Vector(0.0f, 5.0f));
    EXPECT_TRUE(smoother.set_weight_curve(curve, 40));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(smoother.set_weight_curve({}, 40));
    EXPECT_FALSE(smoother.set_weight_curve(std::vector<Vector>(101), 0));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(smoother.weight_mode, 1);
    EXPECT_EQ(smoother.weight_curve.size(), 101u);
    EXPECT_EQ(smoother.weight_curve[7].y, 5.0f);
    EXPECT_EQ(smoother.curve_height, 40);
}

TEST_F(Smoothing, MedianDepthZeroTakesTheNeighboursWithoutTheFace)
{
    use(named::two_triangles());
    set_normals(*mesh, {Vector(1.0f, 0.0f, 0.0f, 0.0f), Vector(0.0f, 1.0f, 0.0f, 0.0f)});
    const std::string out = run(smoother, ball(1.0f, 0.0f), RunMode::Full, NormalSmoother::MEDIAN_FILTER);
    std::string bars;
    for (int shown = 1; shown <= 10; ++shown)
        bars += "\r\rProgress = [" + std::string(shown - 1, '*') + std::string(10 - shown, ' ') + "]";
    EXPECT_EQ(out, "Evaluating MEDIAN_FILTER: \ndepth: 0\n" + bars);
    // Face 0 takes face 1's normal, then face 1 takes face 0's new one.
    expect_same(mesh->faces[0].normal, Vector(0.0f, 1.0f, 0.0f, 0.0f));
    expect_same(mesh->faces[1].normal, Vector(0.0f, 1.0f, 0.0f, 0.0f));
    // The mean-shift cycle is left as it was.
    EXPECT_TRUE(smoother.restart_needed);
}

TEST_F(Smoothing, MedianKeepsTheNormalOfAFaceWithoutNeighbours)
{
    use(named::disconnected_pair());
    set_normals(*mesh, {Vector(1.0f, 0.0f, 0.0f, 0.0f), Vector(0.0f, 2.0f, 0.0f, 0.0f)});
    run(smoother, ball(1.0f, 3.0f), RunMode::Full, NormalSmoother::MEDIAN_FILTER);
    expect_same(mesh->faces[0].normal, Vector(1.0f, 0.0f, 0.0f, 0.0f));
    expect_same(mesh->faces[1].normal, Vector(0.0f, 2.0f, 0.0f, 0.0f));
}

TEST_F(Smoothing, StaleCentroidsAndAdjacencyAreRebuiltBeforeARun)
{
    use(named::triangle_row({0.0f, 1.0f, 2.0f}));
    run(smoother, ball(1.5f), RunMode::Step, NormalSmoother::MEAN_SHIFT);  // mid-cycle

    // Another mesh arrives the way a tool installs its result: arrays
    // replaced, nothing rebuilt.
    auto bigger = named::open_grid(3);
    quiet_build(*bigger, {MESH_VERTEX_NORMALS});
    mesh->assign(*bigger);
    for (int i = 0; i < mesh->nf; ++i) mesh->faces[i].normal = bigger->faces[i].normal;
    EXPECT_FALSE(mesh->is_current(MESH_CENTROIDS));
    std::string out = run(smoother, ball(1.5f), RunMode::Full, NormalSmoother::MEAN_SHIFT);
    EXPECT_EQ(out.rfind("BUILDING: MESH_CENTROIDS MESH_EDGE_LIST \n\n", 0), 0u) << out;

    // The result is that of a fresh smoother on a freshly built mesh.
    auto fresh = named::open_grid(3);
    quiet_build(*fresh, {MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS});
    NormalSmoother other;
    other.mesh = fresh.get();
    run(other, ball(1.5f), RunMode::Full, NormalSmoother::MEAN_SHIFT);
    for (int i = 0; i < mesh->nf; ++i) expect_same(mesh->faces[i].normal, fresh->faces[i].normal);
    EXPECT_EQ(smoother.regions.size(), other.regions.size());

    // The median filter reads the adjacency of the mesh it is given.
    auto folded = named::folded_grid(2);
    quiet_build(*folded, {MESH_VERTEX_NORMALS});
    mesh->assign(*folded);
    for (int i = 0; i < mesh->nf; ++i) mesh->faces[i].normal = folded->faces[i].normal;
    out = run(smoother, ball(1.0f, 1.0f), RunMode::Full, NormalSmoother::MEDIAN_FILTER);
    EXPECT_EQ(out.rfind("BUILDING: MESH_CENTROIDS MESH_EDGE_LIST \n\n", 0), 0u) << out;
    EXPECT_EQ(mesh->edge_table.face_links.size(), std::size_t(mesh->nf));
}
