// The normal smoother. Ball tests are answered from a grid of centroids;
// the algorithms as first written, walking the whole unvisited list and
// capturing during the walk, are kept here and must give the same normals,
// regions and console output, bit for bit. The rest covers what that
// comparison cannot: the unvisited list both share, kernels, weight curves
// and stale derived data.
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/format_text.h"
#include "smoothing/NormalSmoother.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"

namespace {

using RunMode = NormalSmoother::RunMode;

struct LiteralSmoother {
    explicit LiteralSmoother(Messages& out) : messages(out) {}

    Messages& messages;
    Mesh* mesh = nullptr;
    ProgressBar progress;
    UnvisitedList unvisited;
    int seed = 0;
    int regions = 0;
    std::vector<Vector> current_region;
    int weight_mode = 0;
    int curve_height = 0;
    std::vector<Vector> weight_curve;
    Vector kernel{0.0f, 0.0f, 0.0f, 0.0f};
    Vector centroid_sum{0.0f, 0.0f, 0.0f, 0.0f};
    Vector normal_sum{0.0f, 0.0f, 0.0f, 1.0f};
    Vector centre{0.0f, 0.0f, 0.0f, 0.0f};
    int processed = 0;
    bool captured = false;
    bool stop = false;
    bool restart_needed = true;

    Vector contribution(int f, const Vector& c)
    {
        Vector n = mesh->faces[f].normal;
        if (weight_mode == 0) return n;
        Vector d = mesh->centroids[f] - c;
        const int k = int(d.length() / kernel.x * 100.0f + 0.5f);
        float w = 1.0f - weight_curve[k].y / float(curve_height);
        if (w < 0.0f) w = 0.0f;
        return n * w;
    }
    void restart()
    {
        regions = 0;
        current_region.clear();
        unvisited.fill(mesh->nf);
        processed = 0;
        captured = false;
        seed = 0;
        centroid_sum = Vector(0.0f, 0.0f, 0.0f, 0.0f);
        restart_needed = false;
    }
    void capture(int f)
    {
        Vector e = mesh->centroids[f];
        e.w = float(f);
        current_region.push_back(e);
        unvisited.remove(f);
        progress.update(float(processed), float(mesh->nf), messages);
        processed += 1;
    }
    void open_region()
    {
        current_region.clear();
        seed = unvisited.first();
        centre = mesh->centroids[seed];
        capture(seed);
        normal_sum = mesh->faces[seed].normal;
    }
    void set_region_normals()
    {
        for (const Vector& e : current_region) mesh->faces[int(e.w)].normal = normal_sum;
    }
    bool header(const char* name)
    {
        messages.info(format_text("%s\n", name));
        messages.info(weight_mode == 1 ? "WEIGHT_MODE = 1\n" : "WEIGHT_MODE = 0\n");
        stop = false;
        if (restart_needed) restart();
        return processed != mesh->nf;
    }
    void summary()
    {
        messages.info(format_text("\nData Size:\t\t%d \n", mesh->nf));
        messages.info(format_text("Mean Shift Radius:\t%f \n", double(kernel.x)));
        messages.info(format_text("Number of Regions:\t%d \n", regions));
    }
    void run(const Vector& k, RunMode mode, int algorithm)
    {
        if (k.x == 0.0f && k.y == 0.0f && k.z == 0.0f) return;
        kernel = k;
        if (algorithm == 0) mean_shift(mode);
        if (algorithm == 1) sphere_jump(mode);
        if (algorithm == 2) median();
    }
    void mean_shift(RunMode mode)
    {
        if (!header("Evaluating MEAN_SHIFT: ")) return;
        while (!stop) {
            if (!captured) {
                open_region();
                centroid_sum = centre;
            }
            captured = false;
            for (int f = unvisited.first(); f != -1; f = unvisited.next(f)) {
                if (!mesh->centroids[f].within(centre, kernel.x)) continue;
                centroid_sum += mesh->centroids[f];
                normal_sum += contribution(f, centre);
                capture(f);
                captured = true;
            }
            bool close = false;
            if (unvisited.empty()) {
                restart_needed = true;
                processed = 0;
                stop = true;
                close = true;
            } else if (captured) {
                centre = centroid_sum / float(current_region.size());
            } else {
                close = true;
            }
            if (close) {
                regions += 1;
                normal_sum.x /= float(current_region.size());
                normal_sum.y /= float(current_region.size());
                normal_sum.z /= float(current_region.size());
                normal_sum.normalise();
                set_region_normals();
            }
            if (mode == RunMode::Step) {
                messages.info("\n");
                stop = true;
            }
        }
        summary();
    }
    void sphere_jump(RunMode mode)
    {
        if (!header("Evaluating SHPERE_JUMP: ")) return;
        while (!stop) {
            open_region();
            for (int f = unvisited.first(); f != -1; f = unvisited.next(f)) {
                if (!mesh->centroids[f].within(mesh->centroids[seed], kernel.x)) continue;
                normal_sum += contribution(f, mesh->centroids[seed]);
                capture(f);
            }
            normal_sum.normalise();
            set_region_normals();
            regions += 1;
            if (unvisited.empty()) {
                restart_needed = true;
                processed = 0;
                stop = true;
            }
            if (mode == RunMode::Step) {
                messages.info("\n");
                stop = true;
            }
        }
        summary();
    }
    void median()
    {
        messages.info("Evaluating MEDIAN_FILTER: \n");
        const int depth = int(kernel.w);
        messages.info(format_text("depth: %d\n", depth));
        for (int pass = 0; pass < 50; ++pass) {
            progress.update(float(pass), 50.0f, messages);
            for (int i = 0; i < mesh->nf; ++i) {
                Vector sum(0.0f, 0.0f, 0.0f, 0.0f);
                int m = 0;
                std::vector<int> ring = {i}, next;
                for (int j = 0; j == 0 || j < depth; ++j) {
                    for (int r = int(ring.size()) - 1; r >= 0; --r) {
                        next.clear();
                        for (int s : mesh->edge_table.face_links[std::size_t(ring[std::size_t(r)])]) {
                            next.push_back(s);
                            sum += mesh->faces[s].normal;
                            m += 1;
                        }
                    }
                    if (ring.empty()) next.clear();
                    ring = next;
                }
                if (m == 0) continue;
                sum.x /= float(m);
                sum.y /= float(m);
                sum.z /= float(m);
                if (sum.x != 0.0f || sum.y != 0.0f || sum.z != 0.0f) mesh->faces[i].normal = sum;
            }
        }
    }
};

// Face normals drawn (seeded) from a small lattice, the zero vector among them.
void scatter_normals(Mesh& m, unsigned seed)
{
    unsigned state = seed;
    for (Face& f : m.faces) {
        float c[3];
        for (float& v : c) {
            state = state * 22695477u + 1u;
            v = float(int((state >> 16) % 5u) - 2);
        }
        f.normal = Vector(c[0], c[1], c[2], 0.0f);
    }
}

std::unique_ptr<Mesh> built(std::unique_ptr<Mesh> m)
{
    Captured quiet;
    m->build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}, quiet);
    return m;
}

std::vector<float> normals(const Mesh& m)
{
    std::vector<float> out;
    for (const Face& f : m.faces) out.insert(out.end(), {f.normal.x, f.normal.y, f.normal.z, f.normal.w});
    return out;
}

struct Smoothing {
    float radius;
    RunMode mode;
    int algorithm;
    float w;  // the median filter's depth
};

// One mesh, smoothed by both versions through the same runs.
struct Case {
    std::string name;
    std::function<std::unique_ptr<Mesh>()> make;
    unsigned normals = 0;  // seed of scattered face normals; 0 keeps the mesh's own
    bool weighted = false;
    std::vector<Smoothing> runs;
};

std::vector<Case> cases()
{
    std::vector<Case> out;
    const float infinity = std::numeric_limits<float>::infinity();
    for (unsigned seed : {1u, 2u, 3u})
        for (bool weighted : {false, true})
            for (float r : {0.4f, 1.0f, 2.5f, 6.0f, 40.0f, 1e-20f, infinity})
                for (int algorithm : {0, 1})
                    out.push_back({"random triangles " + std::to_string(seed) + (weighted ? " weighted" : ""),
                                   [seed] { return named::random_triangles(300, 12, seed); }, seed, weighted,
                                   std::vector<Smoothing>(2, {r, RunMode::Full, algorithm, 10.0f})});

    // Steps switching radius and algorithm, with a face far away and one
    // whose centroid is not a number.
    Case steps{"steps",
               [] {
                   auto m = named::random_triangles(200, 10, 7u);
                   m->vertices[0].x = 1e30f;
                   m->vertices[3].y = std::numeric_limits<float>::quiet_NaN();
                   return m;
               },
               9u,
               false,
               {}};
    // Every 23rd run, the first among them, has the zero kernel: it must leave the cycle alone.
    const float radii[] = {1.0f, 3.0f, 0.5f, 2.0f};
    for (int i = 0; i < 400; ++i)
        steps.runs.push_back(
            {i % 23 == 0 ? 0.0f : radii[i % 4], i % 23 == 22 ? RunMode::Full : RunMode::Step, (i / 7) % 2, 0.0f});
    out.push_back(std::move(steps));

    for (int depth : {-2, 0, 1, 2, 5}) {
        const Smoothing median{1.0f, RunMode::Full, NormalSmoother::MEDIAN_FILTER, float(depth)};
        out.push_back({"folded grid", [] { return named::folded_grid(5); }, unsigned(depth + 10), false, {median}});
        out.push_back({"open grid", [] { return named::open_grid(5); }, unsigned(depth + 10), false, {median}});
    }
    const Smoothing deep{1.0f, RunMode::Full, NormalSmoother::MEDIAN_FILTER, 2.0f};
    const Smoothing none{0.0f, RunMode::Full, NormalSmoother::MEDIAN_FILTER, 2.0f};
    out.push_back({"non-manifold edge", named::non_manifold_edge, 0u, false, {none, deep}});
    out.push_back({"faces without neighbours", named::disconnected_pair, 3u, false, {deep}});
    out.push_back({"no faces",
                   named::empty,
                   0u,
                   false,
                   {{1.0f, RunMode::Full, NormalSmoother::SPHERE_JUMP, 0.0f},
                    {1.0f, RunMode::Step, NormalSmoother::MEAN_SHIFT, 0.0f}}});
    return out;
}

std::vector<int> walk(const UnvisitedList& list)
{
    std::vector<int> seen;
    for (int f = list.first(); f != -1; f = list.next(f)) seen.push_back(f);
    return seen;
}

Vector ball(float r, float w = 0.0f)
{
    return Vector(r, r, r, w);
}

}  // namespace

TEST(SmootherWalk, NormalsRegionsAndConsoleMatchTheWalk)
{
    std::vector<Vector> curve;
    for (int i = 0; i <= 100; ++i) curve.emplace_back(float(i), float((i * 37) % 61));
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        auto ours = built(c.make()), theirs = built(c.make());
        if (c.normals) {
            scatter_normals(*ours, c.normals);
            scatter_normals(*theirs, c.normals);
        }
        Captured our_console, their_console;
        NormalSmoother smoother(our_console);
        LiteralSmoother literal(their_console);
        smoother.mesh = ours.get();
        literal.mesh = theirs.get();
        if (c.weighted) {
            smoother.set_weight_curve(curve, 40);
            literal.weight_mode = 1;
            literal.weight_curve = curve;
            literal.curve_height = 40;
        }
        for (std::size_t i = 0; i < c.runs.size(); ++i) {
            const Smoothing& r = c.runs[i];
            const Vector kernel(r.radius, r.radius, r.radius, r.w);
            SCOPED_TRACE("run " + std::to_string(i) + ", radius " + std::to_string(r.radius) + ", algorithm " +
                         std::to_string(r.algorithm));
            ASSERT_EQ(printed(our_console, [&] { smoother.run(kernel, r.mode, r.algorithm); }),
                      printed(their_console, [&] { literal.run(kernel, r.mode, r.algorithm); }));
            const std::vector<float> a = normals(*ours), b = normals(*theirs);  // bit for bit, NaN too
            ASSERT_EQ(a.size(), b.size());
            ASSERT_TRUE(a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
            ASSERT_EQ(int(smoother.regions.size()), literal.regions);
            ASSERT_EQ(smoother.processed, literal.processed);
        }
    }
}

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

TEST(Smoothing, KernelFromTheSlider)
{
    EXPECT_EQ(xyzw(smoothing_kernel(100.0f, 4.0f)), (std::array<float, 4>{2, 2, 2, 100}));
    EXPECT_EQ(xyzw(smoothing_kernel(0.0f, 4.0f)), (std::array<float, 4>{0, 0, 0, 0}));
}

TEST(Smoothing, WeightCurves)
{
    // Face 0 seeds; face 1 sits on it (entry 0), face 2 on the sphere (entry
    // 100), face 3 half way (entry 50, above the curve height).
    auto mesh = built(named::triangle_row({0.0f, 0.0f, 2.0f, 1.0f}));
    Captured console;
    NormalSmoother s(console);
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
    for (auto [face, weight] : {std::pair{1, 0.5f}, {2, 0.75f}, {3, 0.0f}})
        EXPECT_EQ(xyzw(s.contribution(face, c)), xyzw(n * weight)) << face;

    // Too short, empty or flat curves are refused, and the last good one stays.
    std::string out = printed(console, [&] { EXPECT_FALSE(s.set_weight_curve(std::vector<Vector>(100), 40)); });
    EXPECT_EQ(out.rfind("ERROR: weight curve of 100 points", 0), 0u) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
    EXPECT_FALSE(s.set_weight_curve({}, 40));
    EXPECT_FALSE(s.set_weight_curve(std::vector<Vector>(101), 0));
    EXPECT_EQ(s.weight_mode, 1);
    EXPECT_EQ(s.weight_curve[50].y, 80.0f);
    EXPECT_EQ(s.curve_height, 40);
    NormalSmoother fresh(console);
    fresh.set_weight_curve(std::vector<Vector>(100), 40);
    EXPECT_EQ(fresh.weight_mode, 0);
}

TEST(Smoothing, StaleCentroidsAndAdjacencyAreRebuiltBeforeARun)
{
    auto mesh = built(named::triangle_row({0.0f, 1.0f, 2.0f}));
    Captured console;
    NormalSmoother smoother(console);
    smoother.mesh = mesh.get();
    smoother.run(ball(1.5f), RunMode::Step, NormalSmoother::MEAN_SHIFT);  // mid-cycle

    // Another mesh arrives the way a tool installs its result: arrays
    // replaced, nothing rebuilt. The result is that of a fresh smoother on
    // a freshly built mesh.
    auto install = [&](std::unique_ptr<Mesh> next) {
        next->build({MESH_VERTEX_NORMALS}, console);
        mesh->assign(*next);
        for (int i = 0; i < mesh->nf; ++i) mesh->faces[i].normal = next->faces[i].normal;
        EXPECT_FALSE(mesh->is_current(MESH_CENTROIDS));
    };
    install(named::open_grid(3));
    std::string out = printed(console, [&] { smoother.run(ball(1.5f), RunMode::Full, NormalSmoother::MEAN_SHIFT); });
    EXPECT_EQ(out.rfind("BUILDING: MESH_CENTROIDS MESH_EDGE_LIST \n\n", 0), 0u) << out;
    auto fresh = built(named::open_grid(3));
    NormalSmoother other(console);
    other.mesh = fresh.get();
    other.run(ball(1.5f), RunMode::Full, NormalSmoother::MEAN_SHIFT);
    EXPECT_EQ(normals(*mesh), normals(*fresh));
    EXPECT_EQ(smoother.regions.size(), other.regions.size());

    // The median filter reads the adjacency of the mesh it is given.
    install(named::folded_grid(2));
    out = printed(console, [&] { smoother.run(ball(1.0f, 1.0f), RunMode::Full, NormalSmoother::MEDIAN_FILTER); });
    EXPECT_EQ(out.rfind("BUILDING: MESH_CENTROIDS MESH_EDGE_LIST \n\n", 0), 0u) << out;
    EXPECT_EQ(mesh->edge_table.face_links.size(), std::size_t(mesh->nf));
}

TEST(Smoothing, AFaceWithoutAreaTurnsNoNormalIntoNaN)
{
    // Once its normal was NaN, and so was the region's it joined.
    for (int algorithm : {NormalSmoother::MEAN_SHIFT, NormalSmoother::SPHERE_JUMP, NormalSmoother::MEDIAN_FILTER}) {
        auto mesh = built(named::degenerate_pair());
        ASSERT_TRUE(mesh->faces[1].is_degenerate());
        Captured console;
        NormalSmoother smoother(console);
        smoother.mesh = mesh.get();
        smoother.run(ball(10.0f, 2.0f), RunMode::Full, algorithm);
        // The regions' normal is the triangle's; the median filter's means
        // (never renormalised) count the zero normal in.
        for (const Face& f : mesh->faces) {
            if (algorithm != NormalSmoother::MEDIAN_FILTER) {
                EXPECT_EQ(xyzw(f.normal), (std::array<float, 4>{0, 0, 1, 0})) << "algorithm " << algorithm;
            }
            EXPECT_TRUE(std::isfinite(f.normal.x) && std::isfinite(f.normal.z) && f.normal.z > 0.0f);
        }
    }
    // A region of such faces alone keeps the zero normal.
    auto flat = built(named::make({{0, 0, 0}, {1, 0, 0}}, {{0, 0, 1}, {1, 1, 0}}));
    Captured console;
    NormalSmoother smoother(console);
    smoother.mesh = flat.get();
    smoother.run(ball(10.0f), RunMode::Full, NormalSmoother::MEAN_SHIFT);
    for (const Face& f : flat->faces) EXPECT_EQ(xyzw(f.normal), (std::array<float, 4>{0, 0, 0, 0}));
}
