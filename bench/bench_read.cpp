// Mesh file speed: reads a generated closed OBJ of one million faces, once
// plain and once with "mn", "vc" and "m" lines, with our reader and with
// tinyobjloader and assimp on the same files in the same run; times each
// build flag on the loaded mesh and the OBJ writer. Peak memory of a read
// is measured in a fresh process (this program run with --peak FILE), so
// the generated inputs held here do not count. End to end, `halvane-tool
// info` on the plain file (read, derived data, orientation, the Reload copy,
// process start and exit) runs against a process that only loads the same
// file with tinyobjloader (this program run with --tinyobj FILE), in turns,
// with the peak memory of each process; HALVANE_BENCH_LARGE_FACES=N in the
// environment adds the same on a generated file of about N faces.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tiny_obj_loader.h>
#include <unistd.h>

#include "bench/ProcessStatus.h"
#include "bench/Quiet.h"
#include "bench/ReadTiming.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "samples/torus_obj.h"

namespace {

// The console, as in the viewer; Quiet keeps the reader's and build()'s
// lines out of the report.
Messages console;

template <typename T>
std::size_t bytes_of(const std::vector<T>& v)
{
    return v.capacity() * sizeof(T);
}

// Heap bytes the loaded mesh holds (each small morphogen vector counted
// at its malloc chunk size of at least 32 bytes).
std::size_t mesh_bytes(const Mesh& m)
{
    std::size_t b = bytes_of(m.vertices) + bytes_of(m.vertex_normals) + bytes_of(m.vertex_colours) +
                    bytes_of(m.texcoords) + bytes_of(m.centroids) + bytes_of(m.face_list) + bytes_of(m.faces) +
                    bytes_of(m.morphogen_values);
    for (const auto& v : m.morphogen_values)
        if (v.capacity()) b += std::max<std::size_t>(32, (v.capacity() * sizeof(float) + 8 + 15) / 16 * 16);
    return b;
}

// Child mode: read one file and print baseline and peak resident memory.
int peak_mode(const char* path)
{
    const long before = status_kib("VmRSS:");
    Mesh mesh;
    bool ok;
    {
        Quiet quiet;
        ok = mesh.read_obj(path, console);
    }
    const long peak = status_kib("VmHWM:");
    std::printf("%d %ld %ld %zu\n", ok ? 1 : 0, before, peak, mesh_bytes(mesh));
    return ok ? 0 : 1;
}

// Child mode: a bare tinyobjloader load of one file, as a process.
int tinyobj_mode(const char* path)
{
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warn, err;
    return tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path) ? 0 : 1;
}

// What one whole process took: wall, user and system seconds.
struct ProcessTime {
    double wall = 0.0, user = 0.0, sys = 0.0;
    double peak_mb = 0.0;  // the most resident memory the process had
    double cpu() const { return user + sys; }
};

// Runs `program` with `args` (its output thrown away) and waits for it.
bool run_process(const std::string& program, const std::vector<std::string>& args, ProcessTime& took)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 1);
            dup2(null, 2);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return false;
    took.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    took.user = double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) / 1e6;
    took.sys = double(usage.ru_stime.tv_sec) + double(usage.ru_stime.tv_usec) / 1e6;
    took.peak_mb = double(usage.ru_maxrss) * 1024.0 / 1e6;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2.0;
}

// `halvane-tool info` against the bare tinyobjloader process, one after the
// other, after a warm-up of each: medians and minima (the machine may be
// shared), the median of the ratios of each pair, which holds when the
// machine's speed drifts, and each process's peak resident memory beside
// the raw size of the mesh (three floats a vertex, three ints a face).
void end_to_end(const std::string& self, const std::string& path, double vertices, double faces, int runs)
{
    const std::string tool = HALVANE_TOOL;
    std::vector<double> wall[2], user[2], sys[2], cpu[2], ratio_wall, ratio_cpu;
    double peak[2] = {0.0, 0.0};
    ProcessTime warm;
    if (!run_process(tool, {"info", path}, warm) || !run_process(self, {"--tinyobj", path}, warm)) {
        std::printf("  end to end: could not run %s or the tinyobjloader child\n", tool.c_str());
        return;
    }
    for (int r = 0; r < runs; ++r) {
        ProcessTime ours, theirs;
        if (!run_process(tool, {"info", path}, ours) || !run_process(self, {"--tinyobj", path}, theirs)) return;
        const ProcessTime both[2] = {ours, theirs};
        for (int k = 0; k < 2; ++k) {
            wall[k].push_back(both[k].wall);
            user[k].push_back(both[k].user);
            sys[k].push_back(both[k].sys);
            cpu[k].push_back(both[k].cpu());
            peak[k] = std::max(peak[k], both[k].peak_mb);
        }
        ratio_wall.push_back(ours.wall / theirs.wall);
        ratio_cpu.push_back(ours.cpu() / theirs.cpu());
    }
    std::printf("  end to end on %s (%.0f vertices, %.0f faces, raw size %.1f MB), %d runs in turns:\n",
                std::filesystem::path(path).filename().c_str(), vertices, faces, 12.0 * (vertices + faces) / 1e6, runs);
    std::printf("        %-18s  median wall / user / system ms   least wall / CPU ms   peak memory\n", "");
    const char* who[2] = {"halvane-tool info", "tinyobjloader load"};
    for (int k = 0; k < 2; ++k)
        std::printf("        %-18s  %6.0f / %6.0f / %6.0f           %6.0f / %6.0f       %6.1f MB\n", who[k],
                    median(wall[k]) * 1e3, median(user[k]) * 1e3, median(sys[k]) * 1e3,
                    *std::min_element(wall[k].begin(), wall[k].end()) * 1e3,
                    *std::min_element(cpu[k].begin(), cpu[k].end()) * 1e3, peak[k]);
    std::printf(
        "        ratio = halvane-tool / tinyobjloader: wall %.2f, CPU %.2f (medians of each pair's ratio); "
        "least CPU %.2f\n",
        median(ratio_wall), median(ratio_cpu),
        *std::min_element(cpu[0].begin(), cpu[0].end()) / *std::min_element(cpu[1].begin(), cpu[1].end()));
}

struct Inputs {
    std::string dir;
    std::string plain, rich;
    std::size_t plain_bytes = 0, rich_bytes = 0;
};

std::unique_ptr<Mesh> load_ours(const std::string& path)
{
    auto mesh = std::make_unique<Mesh>();
    Quiet quiet;
    if (!mesh->read_obj(path, console)) mesh.reset();
    return mesh;
}

struct TinyObj {
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
};

std::unique_ptr<TinyObj> load_tinyobj(const std::string& path)
{
    auto obj = std::make_unique<TinyObj>();
    std::string warn, err;
    if (!tinyobj::LoadObj(&obj->attrib, &obj->shapes, &obj->materials, &warn, &err, path.c_str())) obj.reset();
    return obj;
}

std::unique_ptr<Assimp::Importer> load_assimp(const std::string& path)
{
    auto importer = std::make_unique<Assimp::Importer>();
    const aiScene* scene = importer->ReadFile(path, 0);
    if (!scene || scene->mNumMeshes == 0) importer.reset();
    return importer;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--peak") == 0) return peak_mode(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--tinyobj") == 0) return tinyobj_mode(argv[2]);

    benchmark::Initialize(&argc, argv);
    Inputs in;
    char pattern[] = "/tmp/halvane_bench_XXXXXX";
    if (!mkdtemp(pattern)) {
        std::fprintf(stderr, "cannot make a temporary directory\n");
        return 1;
    }
    in.dir = pattern;
    in.plain = in.dir + "/torus_plain.obj";
    in.rich = in.dir + "/torus_rich.obj";
    // 1000 x 500 quads: 500,000 vertices and 1,000,000 faces.
    {
        const std::string plain = torus_obj(1000, 500, false), rich = torus_obj(1000, 500, true);
        in.plain_bytes = plain.size();
        in.rich_bytes = rich.size();
        if (!write_file(in.plain, plain) || !write_file(in.rich, rich)) {
            std::fprintf(stderr, "cannot write the inputs in %s\n", in.dir.c_str());
            return 1;
        }
    }
    std::printf("inputs: 500000 vertices, 1000000 faces; plain %.1f MB, with vc/m/mn lines %.1f MB\n",
                in.plain_bytes / 1e6, in.rich_bytes / 1e6);

    const auto ms = benchmark::kMillisecond;
    for (const std::string* path : {&in.plain, &in.rich}) {
        const std::string kind = path == &in.plain ? "plain" : "rich";
        const std::size_t bytes = path == &in.plain ? in.plain_bytes : in.rich_bytes;
        benchmark::RegisterBenchmark(
            ("read/ours/" + kind).c_str(),
            [path, bytes](benchmark::State& state) { time_read(state, bytes, [path] { return load_ours(*path); }); })
            ->Unit(ms)
            ->Iterations(5);
        benchmark::RegisterBenchmark(
            ("read/tinyobjloader/" + kind).c_str(),
            [path, bytes](benchmark::State& state) { time_read(state, bytes, [path] { return load_tinyobj(*path); }); })
            ->Unit(ms)
            ->Iterations(3);
        benchmark::RegisterBenchmark(
            ("read/assimp/" + kind).c_str(),
            [path, bytes](benchmark::State& state) { time_read(state, bytes, [path] { return load_assimp(*path); }); })
            ->Unit(ms)
            ->Iterations(3);
    }

    Mesh mesh;
    {
        Quiet quiet;
        mesh.read_obj(in.rich, console);
    }
    const std::pair<int, const char*> flags[] = {{MESH_CENTRE, "MESH_CENTRE"},
                                                 {MESH_VERTEX_NORMALS, "MESH_VERTEX_NORMALS"},
                                                 {MESH_FACE_NORMALS, "MESH_FACE_NORMALS"},
                                                 {MESH_TEXCOORDS, "MESH_TEXCOORDS"},
                                                 {MESH_EDGE_LIST, "MESH_EDGE_LIST"},
                                                 {MESH_CENTROIDS, "MESH_CENTROIDS"},
                                                 {MESH_BB, "MESH_BB"}};
    for (const auto& [flag, name] : flags)
        benchmark::RegisterBenchmark((std::string("build/") + name).c_str(),
                                     [&mesh, f = flag](benchmark::State& state) {
                                         for (auto _ : state) {
                                             Quiet quiet;
                                             mesh.build({f}, console);
                                         }
                                     })
            ->Unit(ms)
            ->Iterations(5);

    const std::string out = in.dir + "/written.obj";
    benchmark::RegisterBenchmark(
        "write/ours",
        [&mesh, &out](benchmark::State& state) {
            for (auto _ : state) {
                Quiet quiet;
                if (!mesh.write_obj(out, console)) state.SkipWithError("write_obj failed");
            }
            state.SetBytesProcessed(std::int64_t(state.iterations() * std::filesystem::file_size(out)));
        })
        ->Unit(ms)
        ->Iterations(3);

    Recorder recorder(isatty(1) ? benchmark::ConsoleReporter::OO_Defaults : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&recorder);

    // The machine may be shared: CPU time is steadier than real time, and
    // user time (the parsing, without the kernel's page faults) steadier still.
    std::printf("\nsummary: mean time per read, real / CPU / user CPU; ratio = ours / theirs, lower is better\n");
    for (const char* kind : {"plain", "rich"}) {
        const std::size_t bytes = std::string(kind) == "plain" ? in.plain_bytes : in.rich_bytes;
        const auto get = [&](const std::map<std::string, double>& times, const char* who) {
            const auto it = times.find(std::string("read/") + who + "/" + kind);
            return it == times.end() ? -1.0 : it->second;
        };
        const double ours = get(recorder.ms, "ours"), ours_cpu = get(recorder.cpu_ms, "ours"),
                     ours_user = get(recorder.user_ms, "ours");
        if (ours <= 0) continue;
        std::printf("  %-5s %5.1f MB: ours %6.1f / %6.1f / %6.1f ms, %4.0f MB/s\n", kind, bytes / 1e6, ours, ours_cpu,
                    ours_user, bytes / 1e3 / ours);
        for (const char* peer : {"tinyobjloader", "assimp"}) {
            const double theirs = get(recorder.ms, peer), theirs_cpu = get(recorder.cpu_ms, peer),
                         theirs_user = get(recorder.user_ms, peer);
            if (theirs <= 0) continue;
            std::printf(
                "        %-13s %6.1f / %6.1f / %6.1f ms; ratio %.2f / %.2f / %.2f; ours %.1fx / %.1fx / %.1fx "
                "faster\n",
                peer, theirs, theirs_cpu, theirs_user, ours / theirs, ours_cpu / theirs_cpu, ours_user / theirs_user,
                theirs / ours, theirs_cpu / ours_cpu, theirs_user / ours_user);
        }
    }
    if (recorder.ms.count("write/ours"))
        std::printf("  write %.1f MB: %.1f ms (%.0f MB/s)\n", std::filesystem::file_size(out) / 1e6,
                    recorder.ms["write/ours"], std::filesystem::file_size(out) / 1e3 / recorder.ms["write/ours"]);

    // Peak memory of a read, each in a fresh process.
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        self[n] = '\0';
        end_to_end(self, in.plain, 500000.0, 1000000.0, 7);
        // HALVANE_BENCH_LARGE_FACES=10000000 adds a run on that many faces.
        if (const char* large = std::getenv("HALVANE_BENCH_LARGE_FACES")) {
            const int rings = int(std::lround(std::sqrt(std::atof(large)))), sides = rings / 2;
            const std::string path = in.dir + "/torus_large.obj";
            if (write_file(path, torus_obj(rings, sides, false)))
                end_to_end(self, path, double(rings) * sides, 2.0 * rings * sides, 3);
            std::filesystem::remove(path);
        }
        for (const std::string* path : {&in.plain, &in.rich}) {
            const std::string command = std::string("'") + self + "' --peak '" + *path + "'";
            std::FILE* p = popen(command.c_str(), "r");
            int ok = 0;
            long before = 0, peak = 0;
            std::size_t held = 0;
            if (p && std::fscanf(p, "%d %ld %ld %zu", &ok, &before, &peak, &held) == 4 && ok) {
                const double file_mb = std::filesystem::file_size(*path) / 1e6;
                std::printf(
                    "  peak memory reading %s: %.1f MB over a %.1f MB start; mesh holds %.1f MB, "
                    "file %.1f MB, mesh + file %.1f MB\n",
                    std::filesystem::path(*path).filename().c_str(), (peak - before) * 1024 / 1e6, before * 1024 / 1e6,
                    held / 1e6, file_mb, held / 1e6 + file_mb);
            }
            if (p) pclose(p);
        }
    }
    std::filesystem::remove_all(in.dir);
    benchmark::Shutdown();
    return 0;
}
