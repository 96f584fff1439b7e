// Memory of the viewer with a large mesh: the program's main window (as
// `halvane FILE` builds it) opens a generated closed OBJ, then paints one
// frame in each render mode. Prints the raw size of the mesh (positions and
// corner indices), the peak and current resident memory after the open and
// after each mode, and times one frame per mode, one turn of the model by a
// drag, and how a slow frame is drawn in steps once the drag is let go.
// Needs an X display with OpenGL:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/viewer_memory_bench [--faces N]
// N defaults to 1,000,000 (a torus of 500,000 vertices); 10000000 tries
// ten million faces (a 400 MB file is written to /tmp and removed after).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QThread>

#include "app/opengl_check.h"
#include "app/QtMainWindow.h"
#include "bench/ProcessStatus.h"
#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "samples/torus_obj.h"
#include "toolkit/meta_types.h"
#include "toolkit/QtDialogs.h"
#include "view/mesh_drawing.h"
#include "view/QtGLWidget.h"

namespace {

double status_mb(const char* key)
{
    return double(status_kib(key)) * 1024.0 / 1e6;
}

template <typename T>
double bytes_of(const std::vector<T>& v)
{
    return double(v.capacity() * sizeof(T));
}

template <typename T>
double bytes_of(const IndexLists<T>& l)
{
    return bytes_of(l.offsets) + bytes_of(l.items);
}

// Heap bytes of a mesh's arrays, derived data included.
double held_bytes(const Mesh& m)
{
    double b = bytes_of(m.vertices) + bytes_of(m.vertex_normals) + bytes_of(m.vertex_colours) + bytes_of(m.texcoords) +
               bytes_of(m.centroids) + bytes_of(m.face_list) + bytes_of(m.faces) + bytes_of(m.morphogen_values) +
               bytes_of(m.edges) + bytes_of(m.edge_faces) + bytes_of(m.edge_more_faces) +
               bytes_of(m.edge_table.vertex_links) + bytes_of(m.edge_table.face_links) +
               bytes_of(m.vertex_neighbours.places) + bytes_of(m.face_neighbours.places);
    for (const auto& v : m.morphogen_values) b += bytes_of(v);
    return b;
}

QtMainWindow* window = nullptr;

void paint_mode(benchmark::State& state, int mode)
{
    window->rendermodeEvent(mode);
    QtGLWidget* view = window->view();
    // Grabbing the frame paints it and waits for OpenGL to finish.
    for (auto _ : state) benchmark::DoNotOptimize(view->grab_image());
    state.counters["rss_MB"] = status_mb("VmRSS:");
    state.counters["anon_MB"] = status_mb("RssAnon:");
    state.counters["peak_MB"] = status_mb("VmHWM:");
    const struct mallinfo2 mi = mallinfo2();
    state.counters["heap_used_MB"] = double(mi.uordblks) / 1e6;
    state.counters["heap_free_MB"] = double(mi.fordblks) / 1e6;
    state.counters["mapped_MB"] = double(mi.hblkhd) / 1e6;
}

// Press, one move and release of the left button: the model turns.
void drag_once(QtGLWidget* view, const QPointF& from, const QPointF& to)
{
    QMouseEvent press(QEvent::MouseButtonPress, from, view->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, to, view->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, to, view->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    QApplication::sendEvent(view, &move);
    QApplication::sendEvent(view, &release);
}

// A left drag of 40 pixels across the view (the model turns), then a frame.
void turn(benchmark::State& state)
{
    window->rendermodeEvent(RENDER_POLYGONS);
    QtGLWidget* view = window->view();
    const QPointF from(view->width() / 2.0, view->height() / 2.0);
    QImage before = view->grab_image(), after;
    for (auto _ : state) {
        const QPointF to = from + QPointF(40.0, 10.0);
        drag_once(view, from, to);
        after = view->grab_image();
    }
    state.counters["picture_changed"] = after != before ? 1.0 : 0.0;
    state.counters["rss_MB"] = status_mb("VmRSS:");
    state.counters["peak_MB"] = status_mb("VmHWM:");
}

// After a drag of a slow mesh is let go: the longest the event loop was
// held by one round of events (a paint is one) until the whole frame is
// shown, the steps it took, and the time to the whole frame.
void steps_after_turn(benchmark::State& state, int mode)
{
    window->rendermodeEvent(mode);
    QtGLWidget* view = window->view();
    view->grab_image();  // a whole frame at once: its time decides the steps
    const QPointF from(view->width() / 2.0, view->height() / 2.0), to = from + QPointF(20.0, 5.0);
    double longest = 0.0, whole = 0.0;
    for (auto _ : state) {
        drag_once(view, from, to);
        const auto began = std::chrono::steady_clock::now();
        longest = 0.0;
        for (;;) {
            const auto t0 = std::chrono::steady_clock::now();
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            const auto t1 = std::chrono::steady_clock::now();
            longest = std::max(longest, std::chrono::duration<double, std::milli>(t1 - t0).count());
            if ((view->stepped.shown && view->stepped.complete) ||
                std::chrono::duration<double>(t1 - began).count() > 60.0)
                break;
            QThread::msleep(1);
        }
        whole = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    }
    state.counters["longest_round_ms"] = longest;
    state.counters["to_whole_frame_ms"] = whole;
    state.counters["steps"] = view->stepped.steps;
    state.counters["whole_frame_ms"] = view->full_frame_ms;
}

}  // namespace

int main(int argc, char** argv)
{
    long long faces = 1000000;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--faces") == 0) faces = std::atoll(argv[i + 1]);
    const int rings = int(std::lround(std::sqrt(double(faces)))), sides = rings / 2;
    const std::string path = (std::filesystem::temp_directory_path() / "halvane_viewer_memory.obj").string();
    {
        std::string problem;
        if (!write_file_atomically(path, torus_obj(rings, sides, false), problem)) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), problem.c_str());
            return 1;
        }
    }
    const double nv = double(rings) * sides, nf = 2.0 * nv;

    choose_surface_format();
    QApplication app(argc, argv);
    register_meta_types();
    const double start_mb = status_mb("VmRSS:");
    QtDialogs dialogs;
    Messages messages;
    QtMainWindow main_window(dialogs, messages);
    window = &main_window;
    const auto began = std::chrono::steady_clock::now();
    if (!main_window.start({"halvane", QString::fromStdString(path)})) {
        std::filesystem::remove(path);
        return 1;
    }
    for (int i = 0; i < 500 && !main_window.view()->isValid(); ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    if (!main_window.view()->isValid()) {
        std::fprintf(stderr, "no OpenGL context: run under an X display (xvfb-run)\n");
        std::filesystem::remove(path);
        return 1;
    }
    main_window.view()->grab_image();
    const double open_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("mesh: %.0f vertices, %.0f faces; raw size (3 floats a vertex, 3 ints a face) %.1f MB\n", nv, nf,
                (12.0 * nv + 12.0 * nf) / 1e6);
    const Mesh& mesh = main_window.document.mesh;
    std::printf("the mesh's arrays %.1f MB, the Reload copy %.1f MB\n", held_bytes(mesh) / 1e6,
                main_window.document.backup.bytes() / 1e6);
    std::printf(
        "process before the window: %.1f MB; opened and painted in %.2f s: resident %.1f MB (anonymous %.1f MB, "
        "files %.1f MB), peak %.1f MB\n",
        start_mb, open_s, status_mb("VmRSS:"), status_mb("RssAnon:"), status_mb("RssFile:"), status_mb("VmHWM:"));

    const std::pair<int, const char*> modes[] = {
        {RENDER_POLYGONS, "polygons"},
        {RENDER_WIREFRAME, "wireframe"},
        {RENDER_WIREFRAME_DOTTED, "wireframe_dotted"},
        {RENDER_WIREFRAME_HIDDEN, "wireframe_hidden"},
        {RENDER_POLYGONS_WIREFRAME, "polygons_wireframe"},
        {RENDER_POINTS, "points"},
        {RENDER_FACE_NORMALS, "face_normals"},
        {RENDER_BOUNDING_BOX, "bounding_box"},
        {RENDER_FACE_COLOURS, "face_colours"},
    };
    for (const auto& [mode, name] : modes)
        benchmark::RegisterBenchmark((std::string("frame/") + name).c_str(),
                                     [m = mode](benchmark::State& state) { paint_mode(state, m); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    benchmark::RegisterBenchmark("frame/turn", turn)->Unit(benchmark::kMillisecond)->Iterations(3);
    for (const auto& [mode, name] : {modes[0], modes[2]})
        benchmark::RegisterBenchmark((std::string("steps_after_turn/") + name).c_str(),
                                     [m = mode](benchmark::State& state) { steps_after_turn(state, m); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("after every mode: resident %.1f MB (anonymous %.1f MB), peak %.1f MB\n", status_mb("VmRSS:"),
                status_mb("RssAnon:"), status_mb("VmHWM:"));
    std::filesystem::remove(path);
    return 0;
}
