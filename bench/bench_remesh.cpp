// Subdivision and simplification speed. One butterfly level from 250
// thousand faces with ours and with OpenMesh's ModifiedButterflyT;
// simplification of 500 thousand vertices to 10 percent with ours and with
// meshoptimizer's meshopt_simplify, and the same for two meshes with a
// vertex in thousands of triangles (a 4,000-segment cylinder whose caps are
// fans around their centres, a 10,000-corner polygon split into one fan);
// collapses per second of ours against
// OpenMesh's quadric decimater; and the straightforward quadratic versions
// (list search, full scan) on growing inputs until one takes more than a
// quarter of a minute, next to ours on the same input. All inputs are seeded
// tori generated here.
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <meshoptimizer.h>
#include <OpenMesh/Core/Mesh/TriMesh_ArrayKernelT.hh>
#include <OpenMesh/Tools/Decimater/DecimaterT.hh>
#include <OpenMesh/Tools/Decimater/ModQuadricT.hh>
#include <OpenMesh/Tools/Subdivider/Uniform/ModifiedButterFlyT.hh>
#include <unistd.h>

#include "bench/Quiet.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "remeshing/ButterflySubdivider.h"
#include "remeshing/simplify.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/ReferenceRemesh.h"

namespace {

using PeerMesh = OpenMesh::TriMesh_ArrayKernelT<>;

// The console, as in the viewer; Quiet keeps the subdivider's lines out of
// the report.
Messages console;

// A closed torus of rings x sides vertices and twice as many faces, with
// seeded jitter so that costs rarely tie.
std::unique_ptr<Mesh> torus(int rings, int sides)
{
    std::mt19937 rng(20261206);
    std::uniform_real_distribution<float> jitter(-0.002f, 0.002f);
    const double tau = 6.283185307179586;
    auto mesh = std::make_unique<Mesh>();
    mesh->allocate_vertices(rings * sides);
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < sides; ++s) {
            const double u = tau * r / rings, v = tau * s / sides;
            mesh->vertices[r * sides + s] =
                Vector(float((2.0 + std::cos(v)) * std::cos(u)) + jitter(rng),
                       float((2.0 + std::cos(v)) * std::sin(u)) + jitter(rng), float(std::sin(v)) + jitter(rng));
        }
    mesh->allocate_faces(2 * rings * sides);
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < sides; ++s) {
            const int a = r * sides + s, b = ((r + 1) % rings) * sides + s;
            const int c = r * sides + (s + 1) % sides, d = ((r + 1) % rings) * sides + (s + 1) % sides;
            mesh->set_face(2 * (r * sides + s), a, b, d);
            mesh->set_face(2 * (r * sides + s) + 1, a, d, c);
        }
    return mesh;
}

PeerMesh peer_copy(const Mesh& mesh)
{
    PeerMesh peer;
    std::vector<PeerMesh::VertexHandle> handles;
    handles.reserve(std::size_t(mesh.nv));
    for (const Vector& p : mesh.vertices) handles.push_back(peer.add_vertex(PeerMesh::Point(p.x, p.y, p.z)));
    for (const Face& f : mesh.faces) peer.add_face(handles[f.vi[0]], handles[f.vi[1]], handles[f.vi[2]]);
    return peer;
}

struct Inputs {
    std::unique_ptr<Mesh> quarter_million_faces;  // 125,000 vertices
    std::unique_ptr<Mesh> half_million_vertices;  // 1,000,000 faces
    std::unique_ptr<Mesh> fifty_thousand_vertices;
    std::unique_ptr<Mesh> cylinder;  // 4,000 segments: 8,002 vertices, 16,000 faces
    std::unique_ptr<Mesh> polygon;   // 10,000 corners: 9,998 faces around corner 0
};

void subdivide_ours(benchmark::State& state, const Mesh* input)
{
    ButterflySubdivider s(console);
    s.source = input->clone();
    s.levels = 1;
    Quiet quiet;
    for (auto _ : state) {
        s.run();
        benchmark::DoNotOptimize(s.result->nf);
        state.PauseTiming();
        s.result.reset();
        state.ResumeTiming();
    }
    state.counters["faces in"] = input->nf;
}

// The subdivision alone: edge map and one step, without the normals and
// texture coordinates that run() builds for the view.
void subdivide_ours_step(benchmark::State& state, const Mesh* input)
{
    ButterflySubdivider s(console);
    for (auto _ : state) {
        auto next = std::make_unique<Mesh>();
        s.edge_map.build(*input);
        s.step(*input, *next);
        benchmark::DoNotOptimize(next->nf);
        state.PauseTiming();
        next.reset();
        state.ResumeTiming();
    }
}

void subdivide_openmesh(benchmark::State& state, const Mesh* input)
{
    const PeerMesh original = peer_copy(*input);
    for (auto _ : state) {
        state.PauseTiming();
        PeerMesh mesh = original;
        state.ResumeTiming();
        OpenMesh::Subdivider::Uniform::ModifiedButterflyT<PeerMesh> subdivider;
        subdivider.attach(mesh);
        subdivider(1);
        subdivider.detach();
        benchmark::DoNotOptimize(mesh.n_faces());
    }
    state.counters["faces in"] = double(original.n_faces());
}

// Ours without progress reports, as the literal transcription runs.
void simplify_alone(Mesh& mesh, float x)
{
    simplify(mesh, x);
}

// Simplifies a fresh copy of the input to x with `simplifier` (ours or the
// straightforward one) on every iteration.
void simplify_with(benchmark::State& state, const Mesh* input, float x, void (*simplifier)(Mesh&, float))
{
    Quiet quiet;
    for (auto _ : state) {
        state.PauseTiming();
        auto mesh = input->clone();
        state.ResumeTiming();
        simplifier(*mesh, x);
        benchmark::DoNotOptimize(mesh->nv);
    }
    const double removed = input->nv - int(x * float(input->nv));
    state.counters["removed"] = removed;
    state.counters["per removed"] =
        benchmark::Counter(removed, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void simplify_meshoptimizer(benchmark::State& state, const Mesh* input, float x)
{
    std::vector<unsigned> indices;
    for (const Face& f : input->faces)
        indices.insert(indices.end(), {unsigned(f.vi[0]), unsigned(f.vi[1]), unsigned(f.vi[2])});
    std::vector<float> positions;
    for (const Vector& p : input->vertices) positions.insert(positions.end(), {p.x, p.y, p.z});
    std::vector<unsigned> out(indices.size());
    const std::size_t target = std::size_t(double(indices.size()) * x) / 3 * 3;
    std::size_t kept = 0;
    for (auto _ : state) {
        float error = 0;
        kept = meshopt_simplify(out.data(), indices.data(), indices.size(), positions.data(), std::size_t(input->nv),
                                3 * sizeof(float), target, 1.0f, 0, &error);
        benchmark::DoNotOptimize(kept);
    }
    state.counters["faces out"] = double(kept / 3);
}

void decimate_openmesh(benchmark::State& state, const Mesh* input, float x)
{
    const PeerMesh original = peer_copy(*input);
    std::size_t collapses = 0;
    for (auto _ : state) {
        state.PauseTiming();
        PeerMesh mesh = original;
        state.ResumeTiming();
        OpenMesh::Decimater::DecimaterT<PeerMesh> decimater(mesh);
        OpenMesh::Decimater::ModQuadricT<PeerMesh>::Handle quadric;
        decimater.add(quadric);
        decimater.initialize();
        collapses = decimater.decimate_to(std::size_t(double(input->nv) * x));
        mesh.garbage_collection();
    }
    state.counters["removed"] = double(collapses);
    state.counters["per removed"] = benchmark::Counter(
        double(collapses), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void subdivide_reference(benchmark::State& state, const Mesh* input)
{
    Quiet quiet;
    for (auto _ : state) benchmark::DoNotOptimize(reference_subdivide(*input, 1, 0.0f)->nf);
}

// Keeps each benchmark's mean real and CPU time so the summary can set them side by side.
class Recorder : public benchmark::ConsoleReporter {
public:
    explicit Recorder(OutputOptions options) : ConsoleReporter(options) {}
    std::map<std::string, double> seconds;      // real
    std::map<std::string, double> cpu_seconds;  // this process's CPU
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.iterations > 0) {
                seconds[r.run_name.function_name] = r.real_accumulated_time / double(r.iterations);
                cpu_seconds[r.run_name.function_name] = r.cpu_accumulated_time / double(r.iterations);
            }
    }
};

void run_registered(Recorder& recorder)
{
    benchmark::RunSpecifiedBenchmarks(&recorder);
    benchmark::ClearRegisteredBenchmarks();
}

void ratio(Recorder& r, const char* what, const std::string& ours, const std::string& theirs)
{
    if (!r.seconds.count(ours) || !r.seconds.count(theirs)) return;
    const double a = r.seconds[ours], b = r.seconds[theirs];
    const double ca = r.cpu_seconds[ours], cb = r.cpu_seconds[theirs];
    std::printf("  %s\n    ours %.1f ms (CPU %.1f), %s %.1f ms (CPU %.1f): ratio %.2f (CPU %.2f)\n", what, a * 1e3,
                ca * 1e3, theirs.c_str(), b * 1e3, cb * 1e3, a / b, ca / cb);
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Recorder recorder(isatty(1) ? benchmark::ConsoleReporter::OO_Defaults : benchmark::ConsoleReporter::OO_Tabular);
    const auto ms = benchmark::kMillisecond;

    Inputs in;
    in.quarter_million_faces = torus(500, 250);
    in.half_million_vertices = torus(1000, 500);
    in.fifty_thousand_vertices = torus(250, 200);
    const Mesh* q = in.quarter_million_faces.get();
    const Mesh* h = in.half_million_vertices.get();
    const Mesh* f = in.fifty_thousand_vertices.get();
    in.cylinder = named::capped_cylinder(4000);
    in.polygon = named::fan_polygon(10000);
    const Mesh* cyl = in.cylinder.get();
    const Mesh* poly = in.polygon.get();
    std::printf("inputs: %d vertices / %d faces, %d / %d, %d / %d; cylinder %d / %d, polygon %d / %d\n", q->nv, q->nf,
                h->nv, h->nf, f->nv, f->nf, cyl->nv, cyl->nf, poly->nv, poly->nf);

    benchmark::RegisterBenchmark("subdivide/ours/250k", subdivide_ours, q)->Unit(ms)->Iterations(5);
    benchmark::RegisterBenchmark("subdivide/ours-step/250k", subdivide_ours_step, q)->Unit(ms)->Iterations(5);
    benchmark::RegisterBenchmark("subdivide/openmesh/250k", subdivide_openmesh, q)->Unit(ms)->Iterations(3);
    benchmark::RegisterBenchmark("simplify/ours/500k", simplify_with, h, 0.1f, simplify_alone)->Unit(ms)->Iterations(3);
    benchmark::RegisterBenchmark("simplify/meshoptimizer/500k", simplify_meshoptimizer, h, 0.1f)
        ->Unit(ms)
        ->Iterations(3);
    for (const auto& [name, mesh] : {std::pair<const char*, const Mesh*>{"cylinder", cyl}, {"polygon", poly}}) {
        benchmark::RegisterBenchmark((std::string("simplify/ours/") + name).c_str(), simplify_with, mesh, 0.1f,
                                     simplify_alone)
            ->Unit(ms)
            ->Iterations(3);
        benchmark::RegisterBenchmark((std::string("simplify/meshoptimizer/") + name).c_str(), simplify_meshoptimizer,
                                     mesh, 0.1f)
            ->Unit(ms)
            ->Iterations(3);
    }
    benchmark::RegisterBenchmark("simplify/ours/50k", simplify_with, f, 0.1f, simplify_alone)->Unit(ms)->Iterations(3);
    benchmark::RegisterBenchmark("simplify/openmesh-decimater/50k", decimate_openmesh, f, 0.1f)
        ->Unit(ms)
        ->Iterations(1);
    run_registered(recorder);

    // The quadratic versions: double the faces while the last run stayed
    // under 15 s of CPU time, so the next, four times longer, would pass a
    // minute.
    struct Step {
        std::string kind;
        int vertices, faces;
    };
    std::vector<Step> reference_steps;
    for (const std::string kind : {"subdivide", "simplify"}) {
        for (double scale = 1.0;; scale *= std::sqrt(2.0)) {
            const int rings = int(50.0 * scale);
            const auto mesh = torus(rings, rings / 2);
            const std::string size = std::to_string(mesh->nf);
            const std::string ref = kind + "/straightforward/" + size, ours = kind + "/ours/" + size;
            if (kind == "subdivide") {
                benchmark::RegisterBenchmark(ref.c_str(), subdivide_reference, mesh.get())->Unit(ms)->Iterations(1);
                benchmark::RegisterBenchmark(ours.c_str(), subdivide_ours, mesh.get())->Unit(ms)->Iterations(3);
            } else {
                benchmark::RegisterBenchmark(ref.c_str(), simplify_with, mesh.get(), 0.1f, reference_simplify)
                    ->Unit(ms)
                    ->Iterations(1);
                benchmark::RegisterBenchmark(ours.c_str(), simplify_with, mesh.get(), 0.1f, simplify_alone)
                    ->Unit(ms)
                    ->Iterations(3);
            }
            run_registered(recorder);
            const auto done = recorder.cpu_seconds.find(ref);
            if (done == recorder.cpu_seconds.end()) break;
            reference_steps.push_back({kind, mesh->nv, mesh->nf});
            if (done->second > 15.0) break;
        }
    }

    std::printf("\nsummary: mean time per run, real and CPU; ratio = ours / theirs, lower is better\n");
    ratio(recorder, "subdivide one level, 125k vertices / 250k faces (with normals and texture coordinates)",
          "subdivide/ours/250k", "subdivide/openmesh/250k");
    ratio(recorder, "subdivide one level, 125k vertices / 250k faces (the step alone)", "subdivide/ours-step/250k",
          "subdivide/openmesh/250k");
    ratio(recorder, "simplify 500k vertices / 1M faces to 10%", "simplify/ours/500k", "simplify/meshoptimizer/500k");
    ratio(recorder, "simplify a 4,000-segment capped cylinder (16k faces, cap centres in 4,000 faces) to 10%",
          "simplify/ours/cylinder", "simplify/meshoptimizer/cylinder");
    ratio(recorder, "simplify a 10,000-corner polygon split into one fan to 10%", "simplify/ours/polygon",
          "simplify/meshoptimizer/polygon");
    const auto rate = [&](const std::string& name, double removed) {
        const auto it = recorder.cpu_seconds.find(name);
        return it == recorder.cpu_seconds.end() ? 0.0 : removed / it->second;
    };
    std::printf(
        "  collapses per CPU second: ours %.0f (500k), ours %.0f (50k), OpenMesh quadric decimater %.0f (50k)\n",
        rate("simplify/ours/500k", h->nv - int(0.1f * float(h->nv))),
        rate("simplify/ours/50k", f->nv - int(0.1f * float(f->nv))),
        rate("simplify/openmesh-decimater/50k", f->nv - int(0.1f * float(f->nv))));
    for (const Step& step : reference_steps) {
        const std::string size = std::to_string(step.faces);
        const double ref = recorder.cpu_seconds[step.kind + "/straightforward/" + size];
        const double ours = recorder.cpu_seconds[step.kind + "/ours/" + size];
        std::printf("  %-9s %7d vertices / %7d faces: straightforward %9.1f ms CPU, ours %7.2f ms CPU, %.0fx faster\n",
                    step.kind.c_str(), step.vertices, step.faces, ref * 1e3, ours * 1e3, ref / ours);
    }
    benchmark::Shutdown();
    return 0;
}
