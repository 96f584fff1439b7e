// The smoother answers ball tests from a grid of centroids. These tests keep
// the algorithms as first written, walking the whole unvisited list and
// capturing during the walk, and demand the same normals, regions and
// console output, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "processing/NormalSmoother.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"

namespace {

using RunMode = NormalSmoother::RunMode;

struct LiteralSmoother {
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
        progress.update(float(processed), float(mesh->nf));
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
        std::printf("%s\n", name);
        std::printf(weight_mode == 1 ? "WEIGHT_MODE = 1\n" : "WEIGHT_MODE = 0\n");
        stop = false;
        if (restart_needed) restart();
        return processed != mesh->nf;
    }
    void summary()
    {
        std::printf("\nData Size:\t\t%d \n", mesh->nf);
        std::printf("Mean Shift Radius:\t%f \n", double(kernel.x));
        std::printf("Number of Regions:\t%d \n", regions);
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
                std::printf("\n");
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
                std::printf("\n");
                stop = true;
            }
        }
        summary();
    }
    void median()
    {
        std::printf("Evaluating MEDIAN_FILTER: \n");
        const int depth = int(kernel.w);
        std::printf("depth: %d\n", depth);
        for (int pass = 0; pass < 50; ++pass) {
            progress.update(float(pass), 50.0f);
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

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

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
    Case steps{"steps", [] {
                   auto m = named::random_triangles(200, 10, 7u);
                   m->vertices[0].x = 1e30f;
                   m->vertices[3].y = std::numeric_limits<float>::quiet_NaN();
                   return m;
               },
               9u, false, {}};
    const float radii[] = {1.0f, 3.0f, 0.5f, 2.0f};
    for (int i = 0; i < 400; ++i)
        steps.runs.push_back({radii[i % 4], i % 23 == 22 ? RunMode::Full : RunMode::Step, (i / 7) % 2, 0.0f});
    out.push_back(std::move(steps));

    const Smoothing median{1.0f, RunMode::Full, NormalSmoother::MEDIAN_FILTER, 0.0f};
    for (int depth : {-2, 0, 1, 2, 5}) {
        Smoothing r = median;
        r.w = float(depth);
        out.push_back({"folded grid", [] { return named::folded_grid(5); }, unsigned(depth + 10), false, {r}});
        out.push_back({"open grid", [] { return named::open_grid(5); }, unsigned(depth + 10), false, {r}});
    }
    Smoothing deep = median;
    deep.w = 2.0f;
    out.push_back({"non-manifold edge", named::non_manifold_edge, 0u, false, {deep}});
    out.push_back({"faces without neighbours", named::disconnected_pair, 3u, false, {deep}});
    return out;
}

}  // namespace

TEST(SmootherWalk, NormalsRegionsAndConsoleMatchTheWalk)
{
    std::vector<Vector> curve;
    for (int i = 0; i <= 100; ++i) curve.emplace_back(float(i), float((i * 37) % 61));
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        auto ours = c.make(), theirs = c.make();
        printed([&] {
            for (Mesh* m : {ours.get(), theirs.get()})
                m->build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB});
        });
        if (c.normals) {
            scatter_normals(*ours, c.normals);
            scatter_normals(*theirs, c.normals);
        }
        NormalSmoother smoother;
        LiteralSmoother literal;
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
            ASSERT_EQ(printed([&] { smoother.run(kernel, r.mode, r.algorithm); }),
                      printed([&] { literal.run(kernel, r.mode, r.algorithm); }));
            for (int f = 0; f < ours->nf; ++f) {
                const Vector& p = ours->faces[f].normal;
                const Vector& q = theirs->faces[f].normal;
                ASSERT_TRUE(same_bits(p.x, q.x) && same_bits(p.y, q.y) && same_bits(p.z, q.z) && same_bits(p.w, q.w))
                    << "face " << f;
            }
            ASSERT_EQ(int(smoother.regions.size()), literal.regions);
            ASSERT_EQ(smoother.processed, literal.processed);
        }
    }
}
