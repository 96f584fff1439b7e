// Frame time of the view's paint for generated meshes, in the render modes
// "&Polygons" and "&Wireframe + Dotted-HL". Needs an X display with OpenGL:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/frame_time_bench
// Each iteration paints one 800 x 600 frame and waits for OpenGL to finish.
#include <cmath>
#include <cstdio>
#include <random>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSurfaceFormat>
#include <QThread>

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
// with seeded jitter so no two faces are alike.
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
    mesh.allocate_faces(2 * n * n);
    int f = 0;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int a = j * side + i, b = a + 1, c = a + side, d = c + 1;
            mesh.set_face(f++, a, b, c);
            mesh.set_face(f++, b, d, c);
        }
    mesh.build({MESH_CENTRE, MESH_CENTROIDS, MESH_VERTEX_NORMALS, MESH_BB}, messages);
}

TimedView* view = nullptr;

void paint_frames(benchmark::State& state, int mode)
{
    const int n = int(state.range(0));
    make_grid(view->document.mesh, n, view->document.messages);
    view->render_mode = mode;
    view->fit_view();
    view->makeCurrent();
    for (auto _ : state) {
        view->paintGL();
        glFinish();
    }
    view->doneCurrent();
    state.counters["faces"] = double(view->document.mesh.nf);
    state.counters["faces/s"] =
        benchmark::Counter(double(view->document.mesh.nf), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Polygons(benchmark::State& state)
{
    paint_frames(state, RENDER_POLYGONS);
}
void BM_WireframeDottedHL(benchmark::State& state)
{
    paint_frames(state, RENDER_WIREFRAME_DOTTED);
}

// 71 x 71 x 2 = 10 082 faces; 708 x 708 x 2 = 1 002 528 faces.
BENCHMARK(BM_Polygons)->Arg(71)->Arg(708)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WireframeDottedHL)->Arg(71)->Arg(708)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv)
{
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
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
