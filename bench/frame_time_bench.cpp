// Frame time of the view's paint for generated meshes of about 10 thousand,
// 1 million and (with --big) 10 million faces, in each render mode, drawn
// vertex by vertex and from buffers, with the ratio of the two; and the
// processor time an idle view takes over 5 seconds, with samples/blob.obj
// and with a million faces. Needs an X display with OpenGL:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/frame_time_bench [--big]
// Each iteration paints one 800 x 600 frame and waits for OpenGL to finish;
// building the buffers is done before the clock starts.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QSurfaceFormat>
#include <QThread>
#include <QTimer>

#include "core/Messages.h"
#include "document/MeshDocument.h"
#include "view/mesh_drawing.h"
#include "view/QtGLWidget.h"

namespace {

// The view with its paint made callable.
class TimedView : public QtGLWidget {
public:
    using QtGLWidget::paintGL;
    using QtGLWidget::QtGLWidget;
};

// A wavy n x n grid of quads split in two (2 n^2 faces), one unit wide,
// with seeded jitter so no two faces are alike, its edge list built as an
// opened file has it.
void make_grid(Mesh& mesh, int n, Messages& messages)
{
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> jitter(-0.2f, 0.2f);
    const int side = n + 1;
    mesh.clear();
    mesh.allocate_vertices(side * side);
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i) {
            const float x = (i + jitter(random) * (i > 0 && i < n)) / n - 0.5f;
            const float y = (j + jitter(random) * (j > 0 && j < n)) / n - 0.5f;
            const float z = 0.05f * std::sin(12.0f * x) * std::cos(9.0f * y);
            mesh.vertices[j * side + i] = Vector(x, y, z);
            mesh.vertex_colours[j * side + i] = Vector(0.8f, 0.6f, 0.3f, 1.0f);
        }
    mesh.has_colours = true;
    mesh.allocate_faces(2 * n * n);
    int f = 0;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int a = j * side + i, b = a + 1, c = a + side, d = c + 1;
            mesh.set_face(f++, a, b, c);
            mesh.set_face(f++, b, d, c);
        }
    mesh.build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}, messages);
    for (Face& face : mesh.faces) face.colour = Vector(0.3f, 0.6f, 0.8f, 1.0f);
}

TimedView* view = nullptr;
int grid_side = 0;

void show_grid(int n)
{
    if (grid_side != n) {
        make_grid(view->document.mesh, n, view->document.messages);
        ++view->document.revision;
        grid_side = n;
    }
    view->fit_view();
}

// Arguments: render mode, grid side, 1 vertex by vertex or 0 from buffers.
void BM_Frame(benchmark::State& state)
{
    const int mode = int(state.range(0));
    show_grid(int(state.range(1)));
    view->draw_immediate = state.range(2) != 0;
    view->render_mode = mode;
    view->makeCurrent();
    view->paintGL();  // builds what the mode draws
    glFinish();
    for (auto _ : state) {
        view->paintGL();
        glFinish();
    }
    view->buffers.release();
    view->doneCurrent();
    state.counters["faces"] = double(view->document.mesh.nf);
    state.counters["faces/s"] =
        benchmark::Counter(double(view->document.mesh.nf), benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(view->draw_immediate ? "immediate" : "buffers");
}

// The share of a processor the view's process takes over 5 idle seconds
// with a mesh on show: argument 0 the blob, else the grid side.
void BM_IdleView(benchmark::State& state)
{
    unsigned long paints = 0;
    double share = 0.0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            view->load_mesh(QStringLiteral(HALVANE_SAMPLES "/blob.obj"));
            grid_side = 0;
        } else {
            show_grid(int(state.range(0)));
        }
        view->render_mode = RENDER_POLYGONS;
        // Settle: the first paints build the buffers.
        QEventLoop settle;
        QTimer::singleShot(1000, &settle, &QEventLoop::quit);
        settle.exec();
        const unsigned long before = view->paints;
        const std::clock_t start = std::clock();
        QEventLoop idle;
        QTimer::singleShot(5000, &idle, &QEventLoop::quit);
        idle.exec();
        share = double(std::clock() - start) / CLOCKS_PER_SEC / 5.0 * 100.0;
        paints = view->paints - before;
        state.SetIterationTime(5.0);
    }
    state.counters["faces"] = double(view->document.mesh.nf);
    state.counters["cpu_percent"] = share;
    state.counters["paints"] = double(paints);
}

// 71 x 71 x 2 = 10 082 faces; 708 x 708 x 2 = 1 002 528 faces;
// 2237 x 2237 x 2 = 10 008 338 faces.
void register_benchmarks(bool big)
{
    std::vector<int> sides = {71, 708};
    if (big) sides.push_back(2237);
    for (int side : sides)
        for (int mode = RENDER_WIREFRAME; mode <= RENDER_FACE_COLOURS; ++mode)
            for (int immediate : {1, 0}) {
                auto* b = benchmark::RegisterBenchmark("BM_Frame", BM_Frame)
                              ->Args({mode, side, immediate})
                              ->Unit(benchmark::kMillisecond);
                if (side > 1000)
                    b->Iterations(immediate ? 1 : 3);
                else
                    b->MinTime(side > 100 ? 2.0 : 0.5);
            }
    benchmark::RegisterBenchmark("BM_IdleView", BM_IdleView)
        ->Arg(0)
        ->Arg(708)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
}

// Prints the runs as they come and, at the end, the ratio of vertex by
// vertex to buffers for each mode and size.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.run_name.function_name == "BM_Frame")
                times[run.run_name.args] = run.GetAdjustedRealTime();
    }
    void print_ratios() const
    {
        std::printf("\n%-6s %-28s %14s %14s %8s\n", "faces", "mode", "immediate ms", "buffers ms", "ratio");
        static const char* const names[] = {
            "&Wireframe",    "&Wireframe + Dotted-HL", "&Wireframe + No-HL", "&Polygons + Wireframe", "&Polygons",
            "&Points Verts", "&Face Normals",          "&Bounding Box",      "&Face Colours"};
        for (int side : {71, 708, 2237})
            for (int mode = 0; mode <= 8; ++mode) {
                const std::string base = std::to_string(mode) + "/" + std::to_string(side) + "/";
                const auto a = times.find(base + "1"), b = times.find(base + "0");
                if (a == times.end() || b == times.end()) continue;
                std::printf("%-6s %-28s %14.3f %14.3f %7.1fx\n",
                            side == 71    ? "10k"
                            : side == 708 ? "1M"
                                          : "10M",
                            names[mode], a->second, b->second, a->second / b->second);
            }
    }

private:
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv)
{
    bool big = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--big") == 0) {
            big = true;
            for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            break;
        }
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
    QApplication app(argc, argv);
    Messages console;
    MeshDocument document(console);
    TimedView widget(document);
    widget.resize(800, 600);
    widget.show();
    for (int i = 0; i < 500 && !widget.isValid(); ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    if (!widget.isValid()) {
        std::fprintf(stderr, "no OpenGL context: run under an X display (xvfb-run)\n");
        return 1;
    }
    view = &widget;
    std::printf("frame: %d x %d, renderer: %s\n", widget.view_width, widget.view_height,
                reinterpret_cast<const char*>((widget.makeCurrent(), glGetString(GL_RENDERER))));
    widget.doneCurrent();
    benchmark::Initialize(&argc, argv);
    register_benchmarks(big);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_ratios();
    benchmark::Shutdown();
    return 0;
}
