// Clipping planes: one tilt drag step of a selected plane (plane update and
// all six outlines, what every mouse move costs) and a save and load of the
// plane file. No peer library does this job; our times only.
#include <cstdio>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "clipping/PlaneWidgetInCube.h"
#include "core/Messages.h"

namespace {

void drag_step(benchmark::State& state)
{
    PlaneWidgetInCube cube;
    cube.resize_cube(256.0f);
    cube.toggle_plane(2);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> window(0.0f, 800.0f);
    cube.mouse_press(Vector(window(random), window(random), 0), 1);
    for (auto _ : state) {
        cube.mouse_move(Vector(window(random), window(random), 0));
        benchmark::DoNotOptimize(cube.outlines.data());
    }
    cube.mouse_release();
    state.counters["planes"] = PlaneWidgetInCube::plane_count;
}

void save_and_load(benchmark::State& state)
{
    PlaneWidgetInCube cube;
    cube.resize_cube(256.0f);
    std::mt19937 random(11);
    std::uniform_real_distribution<float> window(0.0f, 800.0f);
    for (int i = 0; i < PlaneWidgetInCube::plane_count; ++i) {
        cube.toggle_plane(i);
        cube.mouse_press(Vector(window(random), window(random), 0), 1 + i % 2);
        cube.mouse_move(Vector(window(random), window(random), 0));
        cube.mouse_release();
        cube.toggle_plane(i);
    }
    const std::string path = "/tmp/halvane-clipping-bench.slc";
    Messages console;  // only a failed save or load reports
    for (auto _ : state) {
        cube.save(path, console);
        cube.load(path, console);
    }
    std::remove(path.c_str());
    state.counters["planes"] = PlaneWidgetInCube::plane_count;
}

}  // namespace

BENCHMARK(drag_step);
BENCHMARK(save_and_load);
BENCHMARK_MAIN();
