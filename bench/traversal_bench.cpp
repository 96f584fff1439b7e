// Edge traversal over a million faces against a breadth-first search of
// the same face graph with Boost Graph, and the segmented export of a
// million faces in one group against the OBJ writer.
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include <benchmark/benchmark.h>
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/breadth_first_search.hpp>
#include <unistd.h>

#include "core/Mesh.h"
#include "core/MessageLog.h"
#include "core/Messages.h"
#include "traversal/EdgeTraversal.h"

namespace {

constexpr int grid = 707;  // 2 * 707^2 = 999,698 faces

// The engines' lines (a few per export or write) are kept here rather than
// interleaved with the report.
MessageLog reports;
Messages channel(reports);

// A height field on a grid, seeded, with its edge list and normals built.
Mesh& bumpy_grid()
{
    static Mesh m;
    if (m.nf) return m;
    std::mt19937 random(20261206);
    std::uniform_real_distribution<float> bump(0.0f, 0.25f);
    m.allocate_vertices((grid + 1) * (grid + 1));
    for (int j = 0; j <= grid; ++j)
        for (int i = 0; i <= grid; ++i) m.vertices[j * (grid + 1) + i] = Vector(float(i), float(j), bump(random));
    m.allocate_faces(2 * grid * grid);
    int f = 0;
    for (int j = 0; j < grid; ++j)
        for (int i = 0; i < grid; ++i) {
            const int a = j * (grid + 1) + i, b = a + 1, c = a + grid + 1, d = c + 1;
            m.set_face(f++, a, b, d);
            m.set_face(f++, a, d, c);
        }
    m.build({MESH_CENTRE, MESH_EDGE_LIST, MESH_FACE_NORMALS}, channel);
    return m;
}

int middle_face()
{
    return grid * grid + grid;
}

void Traverse(benchmark::State& state)
{
    Mesh& m = bumpy_grid();
    EdgeTraversal t(&m, channel);
    int marked = 0;
    for (auto _ : state) {
        m.picked_face = middle_face() + 1;
        marked = t.traverse(5000, 360);
    }
    state.counters["faces"] = m.nf;
    state.counters["marked"] = marked;
}

void BoostBreadthFirst(benchmark::State& state)
{
    Mesh& m = bumpy_grid();
    using Graph = boost::adjacency_list<boost::vecS, boost::vecS, boost::directedS>;
    Graph g(m.nf);
    for (int f = 0; f < m.nf; ++f)
        for (const int s : m.edge_table.face_links[f]) boost::add_edge(f, s, g);
    std::vector<boost::default_color_type> colour(m.nf);
    for (auto _ : state) {
        boost::breadth_first_search(
            g, boost::vertex(middle_face(), g),
            boost::color_map(boost::make_iterator_property_map(colour.begin(), boost::get(boost::vertex_index, g))));
        benchmark::DoNotOptimize(colour.data());
    }
    state.counters["faces"] = m.nf;
}

std::string scratch_dir()
{
    const std::string dir = std::filesystem::temp_directory_path() / ("halvane-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

void ExportOneGroup(benchmark::State& state)
{
    Mesh& m = bumpy_grid();
    for (Face& f : m.faces) f.group = 1;
    EdgeTraversal t(&m, channel);
    t.group_count = 1;
    const std::string dir = scratch_dir();
    for (auto _ : state) t.export_groups(dir);
    for (Face& f : m.faces) f.group = 0;
    std::filesystem::remove_all(dir);
    state.counters["faces"] = m.nf;
}

void WriteObj(benchmark::State& state)
{
    Mesh& m = bumpy_grid();
    const std::string dir = scratch_dir();
    for (auto _ : state) m.write_obj(dir + "/whole.obj", channel);
    std::filesystem::remove_all(dir);
    state.counters["faces"] = m.nf;
}

// Prints each result and, at the end, our time against the peer's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) millis[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        ratio("Traverse", "BoostBreadthFirst", "traversal, depth 5000, angle 360");
        ratio("ExportOneGroup", "WriteObj", "export of one group (object_1.obj and segemented.obj)");
    }

private:
    void ratio(const std::string& ours, const std::string& peer, const char* what)
    {
        if (!millis.count(ours) || !millis.count(peer)) return;
        std::fprintf(stderr, "%s on %d faces: ours %.1f ms, %s %.1f ms, ratio %.2f\n", what, 2 * grid * grid,
                     millis[ours], peer.c_str(), millis[peer], millis[ours] / millis[peer]);
    }
    std::map<std::string, double> millis;
};

}  // namespace

BENCHMARK(Traverse)->Unit(benchmark::kMillisecond);
BENCHMARK(BoostBreadthFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportOneGroup)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteObj)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
