// Colouring: morphogen mixing, height colouring, the terrain builder and the
// PLY writer. The PLY writer is timed against Assimp's PLY exporter on the
// same terrain mesh in the same run. Inputs are made here, seeded.
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>

#include <assimp/Exporter.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include "bench/Quiet.h"
#include "colouring/build_terrain.h"
#include "colouring/Heightmap.h"
#include "colouring/ply_file.h"
#include "colouring/vertex_colouring.h"
#include "core/Mesh.h"
#include "core/Messages.h"

namespace {

// The console, as in the viewer; Quiet keeps the terrain builder's line out
// of the report.
Messages console;

// A terrain of n by n points over a seeded random heightmap.
std::unique_ptr<Mesh> terrain(int n)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int> byte(0, 255);
    Heightmap h;
    for (unsigned char& c : h.rgb) c = (unsigned char)byte(random);
    auto mesh = std::make_unique<Mesh>();
    const Quiet quiet;
    build_terrain(*mesh, h, n, 256, 64, console);
    return mesh;
}

std::unique_ptr<aiScene> assimp_scene(const Mesh& m)
{
    auto scene = std::make_unique<aiScene>();
    scene->mRootNode = new aiNode();
    scene->mRootNode->mNumMeshes = 1;
    scene->mRootNode->mMeshes = new unsigned[1]{0};
    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial* [1] { new aiMaterial() };
    scene->mNumMeshes = 1;
    scene->mMeshes = new aiMesh* [1] { new aiMesh() };
    aiMesh* a = scene->mMeshes[0];
    a->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    a->mNumVertices = unsigned(m.nv);
    a->mVertices = new aiVector3D[m.nv];
    a->mColors[0] = new aiColor4D[m.nv];
    for (int j = 0; j < m.nv; ++j) {
        a->mVertices[j] = aiVector3D(m.vertices[j].x, m.vertices[j].y, m.vertices[j].z);
        const Vector& c = m.vertex_colours[j];
        a->mColors[0][j] = aiColor4D(c.x, c.y, c.z, 1.0f);
    }
    a->mNumFaces = unsigned(m.nf);
    a->mFaces = new aiFace[m.nf];
    for (int i = 0; i < m.nf; ++i) {
        a->mFaces[i].mNumIndices = 3;
        a->mFaces[i].mIndices =
            new unsigned[3]{unsigned(m.faces[i].vi[0]), unsigned(m.faces[i].vi[1]), unsigned(m.faces[i].vi[2])};
    }
    return scene;
}

const std::string out_file = "/tmp/halvane-colouring-bench.ply";

void ours_ply(benchmark::State& state)
{
    const auto m = terrain(int(state.range(0)));
    const PlyFormat format = state.range(1) ? PlyFormat::BinaryLittleEndian : PlyFormat::Ascii;
    for (auto _ : state) benchmark::DoNotOptimize(write_ply(*m, out_file, format, console));
    state.counters["vertices"] = m->nv;
}

void assimp_ply(benchmark::State& state)
{
    const auto m = terrain(int(state.range(0)));
    const auto scene = assimp_scene(*m);
    Assimp::Exporter exporter;
    const char* format = state.range(1) ? "plyb" : "ply";
    for (auto _ : state) benchmark::DoNotOptimize(exporter.Export(scene.get(), format, out_file));
    state.counters["vertices"] = m->nv;
}

void morphogen_mixing(benchmark::State& state)
{
    auto m = terrain(int(state.range(0)));
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-0.5f, 1.0f);
    m->morphogen_values.assign(std::size_t(m->nv), std::vector<float>(4));
    for (auto& row : m->morphogen_values)
        for (float& v : row) v = value(random);
    const std::vector<Rgb> colours{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {200, 200, 0}};
    for (auto _ : state) colour_by_morphogens(*m, 0, {1, 1, 0, 1}, colours, Rgb{20, 20, 20});
    state.counters["vertices"] = m->nv;
}

void terrain_build(benchmark::State& state)
{
    Heightmap h;
    Mesh m;
    for (auto _ : state) {
        const Quiet quiet;
        build_terrain(m, h, int(state.range(0)), 256, 64, console);
    }
    state.counters["vertices"] = m.nv;
}

// Keeps each run's time by name, to print our time against the peer's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
};

}  // namespace

BENCHMARK(ours_ply)->ArgsProduct({{128, 512}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(assimp_ply)->ArgsProduct({{128, 512}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(morphogen_mixing)->Arg(512)->Unit(benchmark::kMillisecond);
BENCHMARK(terrain_build)->Arg(64)->Arg(512)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [name, ours] : reporter.times) {
        if (name.rfind("ours_ply/", 0) != 0) continue;
        const auto peer = reporter.times.find("assimp_ply/" + name.substr(9));
        if (peer == reporter.times.end()) continue;
        std::printf("PLY %s (terrain side/binary): ours %.3f ms, Assimp %.3f ms, ratio ours/Assimp %.2f\n",
                    name.substr(9).c_str(), ours, peer->second, ours / peer->second);
    }
    std::remove(out_file.c_str());
    return 0;
}
