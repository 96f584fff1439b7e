// Normal smoothing on a bumpy sphere of 50 to 200 thousand faces at panel
// radius 10 (a ball of a twentieth of the extent) and 2: each method in full runs,
// and mean shift and sphere jump also with the plain walk of the unvisited
// list, to show how each grows with the face count. No peer library in
// Debian smooths face normals this way; the walk is the comparison.
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include "bench/Quiet.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "smoothing/NormalSmoother.h"

namespace {

// A unit sphere of rows x columns quads, each split in two, with seeded
// radial noise so that the face normals vary.
std::unique_ptr<Mesh> bumpy_sphere(int faces)
{
    const int rows = int(std::sqrt(double(faces) / 3.2));
    const int columns = faces / (2 * rows);
    std::mt19937 random(12345u);
    std::uniform_real_distribution<float> noise(0.97f, 1.03f);
    auto mesh = std::make_unique<Mesh>();
    mesh->allocate_vertices((rows + 1) * columns);
    const float pi = 3.14159265358979f;
    for (int i = 0; i <= rows; ++i)
        for (int j = 0; j < columns; ++j) {
            const float a = pi * (float(i) + 0.5f) / float(rows + 1) - pi / 2;
            const float g = 2 * pi * float(j) / float(columns);
            const float s = noise(random);
            mesh->vertices[i * columns + j] =
                Vector(s * std::cos(a) * std::cos(g), s * std::sin(a), s * std::cos(a) * std::sin(g));
        }
    mesh->allocate_faces(2 * rows * columns);
    int f = 0;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            const int a = i * columns + j, b = i * columns + (j + 1) % columns;
            const int c = a + columns, d = b + columns;
            mesh->set_face(f++, a, b, d);
            mesh->set_face(f++, a, d, c);
        }
    return mesh;
}

void smooth(benchmark::State& state, int algorithm, bool spatial_index)
{
    // The console, as in the viewer; Quiet keeps its lines out of the report.
    Messages console;
    std::unique_ptr<Mesh> mesh;
    {
        Quiet quiet;
        mesh = bumpy_sphere(int(state.range(0)));
        mesh->build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}, console);
    }
    std::vector<Vector> normals;
    for (const Face& f : mesh->faces) normals.push_back(f.normal);
    const Vector kernel = smoothing_kernel(float(state.range(1)), mesh->extent);
    std::size_t regions = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < mesh->nf; ++i) mesh->faces[i].normal = normals[i];
        NormalSmoother smoother(console);
        smoother.mesh = mesh.get();
        smoother.spatial_index = spatial_index;
        state.ResumeTiming();
        {
            Quiet quiet;
            smoother.run(kernel, NormalSmoother::RunMode::Full, algorithm);
        }
        regions = smoother.regions.size();
    }
    state.counters["faces"] = double(mesh->nf);
    state.counters["radius"] = double(state.range(1));
    if (algorithm != NormalSmoother::MEDIAN_FILTER) state.counters["regions"] = double(regions);
}

void BM_MeanShift(benchmark::State& s)
{
    smooth(s, NormalSmoother::MEAN_SHIFT, true);
}
void BM_MeanShiftWalk(benchmark::State& s)
{
    smooth(s, NormalSmoother::MEAN_SHIFT, false);
}
void BM_SphereJump(benchmark::State& s)
{
    smooth(s, NormalSmoother::SPHERE_JUMP, true);
}
void BM_SphereJumpWalk(benchmark::State& s)
{
    smooth(s, NormalSmoother::SPHERE_JUMP, false);
}
void BM_MedianFilter(benchmark::State& s)
{
    smooth(s, NormalSmoother::MEDIAN_FILTER, true);
}

}  // namespace

// Arguments: face count, panel radius. Radius 2 makes many small regions,
// where the walk's cost grows with faces times regions.
#define SIZES ->Args({50000, 10})->Args({100000, 10})->Args({200000, 10})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_MeanShift) SIZES->Args({50000, 2})->Args({200000, 2});
BENCHMARK(BM_MeanShiftWalk) SIZES->Args({50000, 2})->Iterations(1);
BENCHMARK(BM_SphereJump) SIZES;
BENCHMARK(BM_SphereJumpWalk) SIZES->Iterations(1);
BENCHMARK(BM_MedianFilter)->Args({50000, 10})->Args({200000, 10})->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
