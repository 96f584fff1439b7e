// Reading the formats of other tools: a generated torus of one million
// triangles as binary PLY with colours and two scalar properties, as
// binary STL (three corners a triangle, welded on reading) and as ASCII
// PLY, read by our readers and by assimp on the same files in the same run.
// assimp keeps neither the scalar properties nor (without a post-process
// step) shared vertices, so it does less work than we do on PLY and STL.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include "bench/Quiet.h"
#include "bench/ReadTiming.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/ply_reader.h"
#include "core/stl_reader.h"
#include "core/text_file.h"

namespace {

Messages console;

template <typename T>
void put(std::string& out, T v)
{
    char b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));
    out.append(b, sizeof(T));
}

struct Torus {
    std::vector<float> xyz;
    std::vector<std::uint32_t> triangles;
};

Torus torus(int rings, int sides)
{
    Torus t;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < sides; ++j) {
            const double u = 2 * pi * i / rings, v = 2 * pi * j / sides, r = 1.0 + 0.4 * std::cos(v);
            t.xyz.insert(t.xyz.end(), {float(r * std::cos(u)), float(r * std::sin(u)), float(0.4 * std::sin(v))});
        }
    auto id = [&](int i, int j) { return std::uint32_t((i % rings) * sides + (j % sides)); };
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < sides; ++j)
            t.triangles.insert(t.triangles.end(),
                               {id(i, j), id(i + 1, j), id(i + 1, j + 1), id(i, j), id(i + 1, j + 1), id(i, j + 1)});
    return t;
}

std::string ply(const Torus& t, bool binary)
{
    const std::size_t nv = t.xyz.size() / 3, nf = t.triangles.size() / 3;
    std::string out = std::string("ply\nformat ") + (binary ? "binary_little_endian" : "ascii") +
                      " 1.0\nelement vertex " + std::to_string(nv) +
                      "\nproperty float x\nproperty float y\nproperty float z\n"
                      "property uchar red\nproperty uchar green\nproperty uchar blue\n"
                      "property float quality\nproperty float curvature\nelement face " +
                      std::to_string(nf) + "\nproperty list uchar int vertex_indices\nend_header\n";
    for (std::size_t v = 0; v < nv; ++v) {
        const float q = float(v % 1000) / 1000.0f, c = -float(v % 77);
        if (binary) {
            for (int k = 0; k < 3; ++k) put(out, t.xyz[3 * v + k]);
            for (int k = 0; k < 3; ++k) out += char(v * (k + 3) % 256);
            put(out, q);
            put(out, c);
        } else {
            for (int k = 0; k < 3; ++k) {
                append_float(out, t.xyz[3 * v + k]);
                out += ' ';
            }
            for (int k = 0; k < 3; ++k) out += std::to_string(v * (k + 3) % 256) + ' ';
            append_float(out, q);
            out += ' ';
            append_float(out, c);
            out += '\n';
        }
    }
    for (std::size_t f = 0; f < nf; ++f) {
        if (binary) {
            out += char(3);
            for (int k = 0; k < 3; ++k) put(out, std::int32_t(t.triangles[3 * f + k]));
        } else {
            out += "3 " + std::to_string(t.triangles[3 * f]) + ' ' + std::to_string(t.triangles[3 * f + 1]) + ' ' +
                   std::to_string(t.triangles[3 * f + 2]) + '\n';
        }
    }
    return out;
}

std::string stl(const Torus& t)
{
    const std::size_t nf = t.triangles.size() / 3;
    std::string out(80, ' ');
    put(out, std::uint32_t(nf));
    for (std::size_t f = 0; f < nf; ++f) {
        for (int k = 0; k < 3; ++k) put(out, 0.0f);
        for (int k = 0; k < 3; ++k)
            for (int c = 0; c < 3; ++c) put(out, t.xyz[3 * t.triangles[3 * f + k] + c]);
        put(out, std::uint16_t(0));
    }
    return out;
}

std::unique_ptr<Mesh> ours(const std::string& path, bool is_stl)
{
    auto mesh = std::make_unique<Mesh>();
    Quiet quiet;
    if (!(is_stl ? read_stl(*mesh, path, console) : read_ply(*mesh, path, console))) mesh.reset();
    return mesh;
}

std::unique_ptr<Assimp::Importer> theirs(const std::string& path, unsigned flags)
{
    auto importer = std::make_unique<Assimp::Importer>();
    const aiScene* scene = importer->ReadFile(path, flags);
    if (!scene || scene->mNumMeshes == 0) importer.reset();
    return importer;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    char pattern[] = "/tmp/halvane_formats_XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::string dir = pattern;
    // 1000 x 500 quads: 500,000 vertices and 1,000,000 triangles.
    struct Input {
        const char* kind;
        std::string path;
        std::size_t bytes;
        bool is_stl;
        unsigned assimp_flags;
    };
    std::vector<Input> inputs;
    {
        const Torus t = torus(1000, 500);
        const std::pair<const char*, std::string> files[] = {
            {"ply_binary", ply(t, true)}, {"ply_ascii", ply(t, false)}, {"stl_binary", stl(t)}};
        for (const auto& [kind, bytes] : files) {
            const bool is_stl = std::strncmp(kind, "stl", 3) == 0;
            const std::string named = dir + "/" + kind + (is_stl ? ".stl" : ".ply");
            if (!write_file(named, bytes)) return 1;
            // STL corners are welded by us; assimp does so only when asked.
            inputs.push_back(
                {kind, named, bytes.size(), is_stl, is_stl ? unsigned(aiProcess_JoinIdenticalVertices) : 0u});
        }
    }
    std::printf("inputs: 500000 vertices, 1000000 triangles\n");
    for (const Input& in : inputs) {
        benchmark::RegisterBenchmark(
            (std::string("read/ours/") + in.kind).c_str(),
            [in](benchmark::State& state) { time_read(state, in.bytes, [&] { return ours(in.path, in.is_stl); }); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark((std::string("read/assimp/") + in.kind).c_str(),
                                     [in](benchmark::State& state) {
                                         time_read(state, in.bytes, [&] { return theirs(in.path, in.assimp_flags); });
                                     })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    Recorder recorder(isatty(1) ? benchmark::ConsoleReporter::OO_Defaults : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&recorder);

    // The machine may be shared: user CPU time (the parsing, without the
    // kernel's page faults) is the steadiest figure.
    std::printf("\nsummary: time per read, real / user CPU; ratio = ours / assimp, lower is better\n");
    for (const Input& in : inputs) {
        const std::string mine = std::string("read/ours/") + in.kind, peer = std::string("read/assimp/") + in.kind;
        const double a = recorder.ms[mine], b = recorder.ms[peer], au = recorder.user_ms[mine],
                     bu = recorder.user_ms[peer];
        if (a > 0 && b > 0 && au > 0 && bu > 0)
            std::printf("  %-10s %6.1f MB: ours %7.1f / %7.1f ms, assimp %7.1f / %7.1f ms, ratio %.2f / %.2f\n",
                        in.kind, in.bytes / 1e6, a, au, b, bu, a / b, au / bu);
    }
    for (const Input& in : inputs) std::remove(in.path.c_str());
    rmdir(dir.c_str());
    return 0;
}
