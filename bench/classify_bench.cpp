// Face distance tables and patch classification on generated bumpy tori:
// the breadth-first table against the all-pairs pass written out in full
// and against Boost Graph's Floyd-Warshall, weighted tables, table files
// and whole classifications, up to 40,000 faces with their peak memory. A
// summary with the ratios follows the table.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>

#include <benchmark/benchmark.h>
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/floyd_warshall_shortest.hpp>

#include "bench/Quiet.h"
#include "classification/face_distances.h"
#include "classification/FaceGraph.h"
#include "classification/Mesh_Classifier.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "tests/support/LiteralFloyd.h"

namespace {

// The engines report on the console, as in the viewer; Quiet keeps their
// lines out of the report.
Messages console;

// A torus of u x v quads split in two, radii 1 and 0.35, each vertex pushed
// out by seeded noise; the last faces are dropped to give exactly `faces`.
std::unique_ptr<Mesh> bumpy_torus(int faces, unsigned seed)
{
    const int v = int(std::ceil(std::sqrt(faces / 4.0)));
    const int u = (faces + 2 * v - 1) / (2 * v);
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> bump(-0.03f, 0.03f);
    auto mesh = std::make_unique<Mesh>();
    mesh->allocate_vertices(u * v);
    for (int i = 0; i < u; ++i)
        for (int j = 0; j < v; ++j) {
            const float a = 6.2831853f * i / u, b = 6.2831853f * j / v;
            const float r = 0.35f + bump(random);
            mesh->vertices[i * v + j] =
                Vector((1.0f + r * std::cos(b)) * std::cos(a), (1.0f + r * std::cos(b)) * std::sin(a), r * std::sin(b));
        }
    mesh->allocate_faces(faces);
    int f = 0;
    for (int i = 0; i < u && f < faces; ++i)
        for (int j = 0; j < v && f < faces; ++j) {
            const int a = i * v + j, b = ((i + 1) % u) * v + j, c = i * v + (j + 1) % v,
                      d = ((i + 1) % u) * v + (j + 1) % v;
            mesh->set_face(f++, a, b, d);
            if (f < faces) mesh->set_face(f++, a, d, c);
        }
    Quiet quiet;
    mesh->build({MESH_VERTEX_NORMALS, MESH_EDGE_LIST}, console);
    return mesh;
}

// One mesh per size with its classifier's links, made on first use.
struct Input {
    std::unique_ptr<Mesh> mesh;
    std::unique_ptr<Mesh_Classifier> classifier;
    FaceGraph graph;
};

Input& input(int faces)
{
    static std::map<int, Input> made;
    Input& in = made[faces];
    if (!in.mesh) {
        in.mesh = bumpy_torus(faces, 1234u + unsigned(faces));
        in.classifier = std::make_unique<Mesh_Classifier>(in.mesh.get(), console);
        Quiet quiet;
        in.classifier->build_centroids();
        in.classifier->build_links();
        in.graph = FaceGraph::from_links(faces, in.classifier->links);
    }
    return in;
}

void step_table(benchmark::State& state, int threads)
{
    Input& in = input(int(state.range(0)));
    ShortestPathTable table;
    for (auto _ : state) {
        table.allocate(in.graph.n, true);
        step_distances(in.graph, table, threads);
        benchmark::DoNotOptimize(table.steps.data());
    }
    state.counters["faces"] = double(in.graph.n);
}

void BM_StepTable(benchmark::State& state)
{
    step_table(state, 2);
}
void BM_StepTableOneThread(benchmark::State& state)
{
    step_table(state, 1);
}

void BM_WeightedTable(benchmark::State& state)
{
    Input& in = input(int(state.range(0)));
    ShortestPathTable table;
    for (auto _ : state) {
        table.allocate(in.graph.n);
        weighted_distances(in.graph, table, 2);
        benchmark::DoNotOptimize(table.dist.data());
    }
    state.counters["faces"] = double(in.graph.n);
}

void BM_LiteralFloyd(benchmark::State& state)
{
    Input& in = input(int(state.range(0)));
    for (auto _ : state) {
        LiteralFloyd literal(in.graph.n, in.classifier->links);
        benchmark::DoNotOptimize(literal.dist.data());
    }
    state.counters["faces"] = double(in.graph.n);
}

void BM_BoostFloydWarshall(benchmark::State& state)
{
    Input& in = input(int(state.range(0)));
    using Graph = boost::adjacency_list<boost::vecS, boost::vecS, boost::undirectedS, boost::no_property,
                                        boost::property<boost::edge_weight_t, float>>;
    const int n = in.graph.n;
    Graph g(n);
    for (int a = 0; a < n; ++a)
        for (int k = in.graph.offsets[a]; k < in.graph.offsets[a + 1]; ++k)
            if (in.graph.targets[k] > a) boost::add_edge(a, in.graph.targets[k], 1.0f, g);
    std::vector<std::vector<float>> d(n, std::vector<float>(n));
    for (auto _ : state) {
        boost::floyd_warshall_all_pairs_shortest_paths(g, d);
        benchmark::DoNotOptimize(d[0].data());
    }
    state.counters["faces"] = double(n);
}

void BM_Classify(benchmark::State& state)
{
    auto mesh = bumpy_torus(int(state.range(0)), 99u);
    int patches = 0;
    for (auto _ : state) {
        Mesh_Classifier c(mesh.get(), console);
        c.sp_mode = int(state.range(1));
        Quiet quiet;
        c.classify();
        c.set_patch_count(c.num_patches);
        patches = c.num_patches;
    }
    state.counters["faces"] = double(mesh->nf);
    state.counters["patches"] = double(patches);
}

// Peak resident memory since the last reset, in bytes (Linux: VmHWM, reset
// through /proc/self/clear_refs); 0 where the system does not tell.
void reset_peak_memory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double peak_memory()
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmHWM:") {
            double kb = 0;
            status >> kb;
            return kb * 1024.0;
        }
    return 0.0;
}

// A whole classification as halvane-tool runs it (table, patches, the
// patches shown), with the peak memory it took beside the mesh.
void BM_ClassifyLarge(benchmark::State& state)
{
    auto mesh = bumpy_torus(int(state.range(0)), 77u);
    int patches = 0;
    double peak = 0.0, table = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        reset_peak_memory();
        const double before = peak_memory();
        state.ResumeTiming();
        Mesh_Classifier c(mesh.get(), console);
        Quiet quiet;
        c.classify();
        c.set_patch_count(c.num_patches);
        patches = c.num_patches;
        table = ShortestPathTable::bytes_for(c.table.n, c.table.compact);
        peak = peak_memory() - before;
    }
    state.counters["faces"] = double(mesh->nf);
    state.counters["patches"] = double(patches);
    state.counters["table_MB"] = table / 1048576.0;
    state.counters["peak_MB"] = peak / 1048576.0;
}

void BM_TableFileSaveLoad(benchmark::State& state)
{
    Input& in = input(int(state.range(0)));
    Mesh_Classifier& c = *in.classifier;
    {
        Quiet quiet;
        c.rebuild = true;
        c.build_table();
    }
    const std::string path = "/tmp/halvane_classify_bench.spt";
    for (auto _ : state) {
        Quiet quiet;
        c.save(path);
        c.load(path);
    }
    std::remove(path.c_str());
    state.counters["faces"] = double(c.table.n);
}

// CPU time is the whole process's, both threads included.
BENCHMARK(BM_StepTable)->Arg(2000)->Arg(10000)->Arg(14021)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepTableOneThread)->Arg(2000)->Arg(14021)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralFloyd)->Arg(2000)->Iterations(1)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoostFloydWarshall)->Arg(2000)->Iterations(1)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeightedTable)
    ->Arg(2000)
    ->Arg(10000)
    ->Arg(14021)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableFileSaveLoad)->Arg(14021)->Iterations(2)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
// Second argument: 0 counts steps between faces, 1 sums link weights.
BENCHMARK(BM_Classify)
    ->Args({2000, 0})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
// Past the 14,021 faces the first version stopped at.
BENCHMARK(BM_ClassifyLarge)
    ->Arg(14000)
    ->Arg(20000)
    ->Arg(40000)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// Keeps each run's mean real and CPU time by name for the summary.
class Recorder : public benchmark::ConsoleReporter {
public:
    struct Times {
        double real = -1.0;
        double cpu = -1.0;
    };
    std::map<std::string, Times> seconds;
    // Peak and table megabytes of the runs that count them.
    std::map<std::string, std::pair<double, double>> counters;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.iterations == 0) continue;
            std::string name = r.benchmark_name();
            const std::size_t suffix = name.find("/process_time");
            if (suffix != std::string::npos) name.erase(suffix);
            seconds[name] = {r.real_accumulated_time / double(r.iterations),
                             r.cpu_accumulated_time / double(r.iterations)};
            const auto peak = r.counters.find("peak_MB");
            const auto table = r.counters.find("table_MB");
            if (peak != r.counters.end() && table != r.counters.end())
                counters[name] = {peak->second.value, table->second.value};
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    const auto& s = recorder.seconds;
    auto times = [&s](const std::string& name) {
        const auto found = s.find(name);
        return found == s.end() ? Recorder::Times() : found->second;
    };
    auto line = [&times](const char* what, const std::string& name, const char* goal) {
        const Recorder::Times t = times(name);
        if (t.real >= 0) std::printf("  %s: %.3f s real, %.3f s CPU%s\n", what, t.real, t.cpu, goal);
    };
    std::printf("\nSummary (two threads unless said; CPU time of both)\n");
    line("table of 14021 faces", "BM_StepTable/14021", " (goal under 2 s)");
    line("table of 14021 faces, one thread", "BM_StepTableOneThread/14021", "");
    line("table of 10000 faces", "BM_StepTable/10000", "");
    const Recorder::Times ours = times("BM_StepTable/2000");
    if (ours.real > 0) {
        std::printf("  2000 faces: table %.4f s real, %.4f s CPU\n", ours.real, ours.cpu);
        const std::pair<const char*, const char*> peers[] = {
            {"all-pairs pass written out", "BM_LiteralFloyd/2000/iterations:1"},
            {"Boost Graph floyd_warshall_all_pairs_shortest_paths", "BM_BoostFloydWarshall/2000/iterations:1"}};
        for (const auto& [what, name] : peers) {
            const Recorder::Times t = times(name);
            if (t.real > 0)
                std::printf("    %s: %.3f s real, %.3f s CPU; %.0f times slower in real time, %.0f in CPU time\n", what,
                            t.real, t.cpu, t.real / ours.real, t.cpu / ours.cpu);
        }
    }
    line("weighted (Dijkstra) table of 10000 faces", "BM_WeightedTable/10000/iterations:1", "");
    line("weighted (Dijkstra) table of 14021 faces", "BM_WeightedTable/14021/iterations:1", "");
    line("save and load of the 14021-face table", "BM_TableFileSaveLoad/14021/iterations:2", "");
    line("whole classification of 10000 faces", "BM_Classify/10000/0/iterations:1", " (goal under 60 s)");
    line("the same with weighted distances", "BM_Classify/10000/1/iterations:1", "");
    for (const char* faces : {"14000", "20000", "40000"}) {
        const std::string name = std::string("BM_ClassifyLarge/") + faces + "/iterations:1";
        const std::string what = std::string("whole classification of ") + faces + " faces, patches shown";
        line(what.c_str(), name, std::string(faces) == "40000" ? " (goal under 120 s)" : "");
        const auto peak = recorder.counters.find(name);
        if (peak != recorder.counters.end())
            std::printf("    peak memory %.0f MB, of which the table %.0f MB\n", peak->second.first,
                        peak->second.second);
    }
    benchmark::Shutdown();
    return 0;
}
