#include "view/QtGLWidget.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>

#include <GL/glu.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <QUrl>
#include <QWheelEvent>

#include "app/DocumentRunner.h"
#include "core/format_text.h"
#include "core/memory_limits.h"
#include "core/Messages.h"
#include "document/MeshDocument.h"
#include "toolkit/qt_colour.h"
#include "view/classifier_drawing.h"
#include "view/clipping_drawing.h"
#include "view/mesh_drawing.h"
#include "view/pointer_segment.h"
#include "view/smoother_drawing.h"

namespace {

std::string local_path(const QString& name)
{
    return QFile::encodeName(name).toStdString();
}

// The cube's button codes: 1 left, 2 middle, 3 right, 0 any other.
int clipping_button(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::MiddleButton: return 2;
    case Qt::RightButton: return 3;
    default: return 0;
    }
}

Vector mouse_point(const QMouseEvent* event)
{
    return Vector(float(event->position().x()), float(event->position().y()), 0.0f);
}

void set_light(GLenum what, const Vector& v)
{
    const GLfloat values[] = {v.x, v.y, v.z, v.w};
    glLightfv(GL_LIGHT0, what, values);
}

}  // namespace

QtGLWidget::QtGLWidget(MeshDocument& document_, QWidget* parent, const QString& name)
    : QOpenGLWidget(parent), document(document_)
{
    setObjectName(name);
    connect(&timer, &QTimer::timeout, this, &QtGLWidget::tick);
    timer.start(10);
    setMouseTracking(true);
    setAcceptDrops(true);
}

QtGLWidget::~QtGLWidget()
{
    release_buffers();
    // The context goes with the base class, when this is no view any more.
    if (context()) disconnect(context(), nullptr, this, nullptr);
}

void QtGLWidget::release_buffers()
{
    if (!isValid()) return;
    makeCurrent();
    buffers.release();
    stepped = SteppedFrame();
    doneCurrent();
}

void QtGLWidget::tick()
{
    if (scene_key() != painted_key) update();
}

// A wheel turned in the last 300 ms counts as a drag: its notches come in runs.
bool QtGLWidget::wants_light_frame() const
{
    const bool wheeling = last_wheel.isValid() && !last_wheel.hasExpired(300);
    return (drag_mode >= 0 || drag_pan || wheeling) && full_frame_ms > slow_frame_ms &&
           document.mesh.nf >= light_frame_min_faces;
}

namespace {

void add(std::vector<double>& key, const Vector& v)
{
    key.insert(key.end(), {v.x, v.y, v.z, v.w});
}

}  // namespace

std::vector<double> QtGLWidget::scene_key() const
{
    std::vector<double> key;
    key.reserve(256);
    const Mesh& mesh = document.mesh;
    key.insert(key.end(),
               {double(background.rgba()), double(projection_mode), double(render_mode), double(view_width),
                double(view_height), devicePixelRatioF(), zoom, frame_radius, magnification, double(shown_patch),
                double(patch_threshold), double(draw_immediate), double(wants_light_frame())});
    add(key, pan);
    key.insert(key.end(), camera.transform, camera.transform + 16);
    for (const Vector* v : {&light_position, &light_ambient, &light_diffuse, &light_specular}) add(key, *v);
    key.insert(key.end(), light_matrix, light_matrix + 16);
    // The mesh, its pick and the engines' overlays.
    key.insert(key.end(), {double(document.revision), double(mesh.nv), double(mesh.nf), double(mesh.picked_face),
                           double(document.placement), double(legend_placement), double(legend.empty()),
                           double(document.classifier.num_patches), double(document.classifier.seeds.size()),
                           double(document.smoother.kernel.x)});
    add(key, mesh.centre);
    add(key, document.smoother.centre);
    // The clipping planes and their outlines.
    key.insert(key.end(), {double(cube.invert), double(cube.show_all), double(cube.outlines.size())});
    key.insert(key.end(), cube.states.begin(), cube.states.end());
    for (const CutPlane& p : cube.planes) key.insert(key.end(), {p.a, p.b, p.c, p.d});
    for (const auto& outline : cube.outlines) {
        key.push_back(double(outline.size()));
        for (const Vector& v : outline) add(key, v);
    }
    return key;
}

void QtGLWidget::initializeGL()
{
    // A new context (the widget moved to another window): the old one took
    // its buffers with it, and tells us before it goes.
    buffers.forget();
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &QtGLWidget::release_buffers, Qt::UniqueConnection);
    camera.set_bounds(500.0f, 500.0f);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);

    glShadeModel(GL_SMOOTH);
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);

    // The light starts fixed to the eye, shining from behind the viewer.
    light_ambient = Vector(0.5f, 0.5f, 0.5f, 1.0f);
    light_diffuse = Vector(0.125f, 0.125f, 0.125f, 1.0f);
    light_specular = Vector(0.0f, 0.0f, 0.0f, 1.0f);
    light_position = light_direction(0.0f, 180.0f);
    last_paint = ViewMatrices();
    std::copy(last_paint.model, last_paint.model + 16, light_matrix);

    glLineWidth(2.0f);
    glPointSize(3.0f);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    glPolygonOffset(1.0f, 0.0001f);

    view_width = width();
    view_height = height();
    render_mode = 4;
    cube.resize_cube(256.0f, 256.0f, 256.0f);
    projection_mode = 1;
}

void QtGLWidget::resizeGL(int w, int h)
{
    if (w == 0) w = 1;
    if (h == 0) h = 1;
    // Sizes are logical pixels; the frame buffer has the screen's pixels.
    const qreal ratio = devicePixelRatioF();
    glViewport(0, 0, int(std::lround(w * ratio)), int(std::lround(h * ratio)));
    camera.set_bounds(float(w), float(h));
    view_width = w;
    view_height = h;
}

namespace {

// The framed sphere fills this share of the shorter side at magnification 1.
constexpr double fill = 0.9;
constexpr double field_of_view = 45.0;  // degrees, vertical
const double tan_half_fov = std::tan(field_of_view / 2.0 * 3.14159265358979323846 / 180.0);

// Perspective: the eye's distance that shows a sphere of radius r at `fill`
// of the shorter side of a w x h view.
double fitted_distance(double r, double w, double h)
{
    const double half_angle = std::atan(fill * tan_half_fov * std::min(w, h) / h);
    return r / std::sin(half_angle);
}

// The extents of the mesh's box and the radius of the sphere about the box's
// centre (the centre of rotation) that holds every vertex; false for a mesh
// without vertices.
bool mesh_bounds(const Mesh& mesh, std::array<float, 3>& extents, float& radius)
{
    if (mesh.nv <= 0) return false;
    float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (const Vector& p : mesh.vertices) {
        const float c[3] = {p.x, p.y, p.z};
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], c[a]);
            hi[a] = std::max(hi[a], c[a]);
        }
    }
    const double centre[3] = {(double(lo[0]) + hi[0]) / 2, (double(lo[1]) + hi[1]) / 2, (double(lo[2]) + hi[2]) / 2};
    for (std::size_t a = 0; a < 3; ++a) extents[a] = hi[a] - lo[a];
    double furthest = 0.0;
    for (const Vector& p : mesh.vertices) {
        const double dx = p.x - centre[0], dy = p.y - centre[1], dz = p.z - centre[2];
        furthest = std::max(furthest, dx * dx + dy * dy + dz * dz);
    }
    radius = float(std::sqrt(furthest));
    return std::isfinite(radius);
}

// The rotation that shows a mesh with these extents best: straight on,
// unless it is flat in y (a terrain: seen from above at a slant) or flat
// in x (turned to face the viewer). Column-major, as ArcBall keeps it.
void best_rotation(const std::array<float, 3>& e, float* transform)
{
    std::fill(transform, transform + 16, 0.0f);
    transform[0] = transform[5] = transform[10] = transform[15] = 1.0f;
    const float largest = std::max({e[0], e[1], e[2]});
    const bool flat_y = e[1] < 0.6f * largest && e[1] <= e[0] && e[1] <= e[2];
    const bool flat_x = e[0] < 0.6f * largest && e[0] < e[1] && e[0] <= e[2];
    if (flat_y) {
        // 45 degrees about x: the top tips towards the viewer, who looks
        // down on it at a slant that shows its relief.
        const float c = 0.70710678f, s = 0.70710678f;
        transform[5] = c;
        transform[6] = s;
        transform[9] = -s;
        transform[10] = c;
    } else if (flat_x) {
        // 90 degrees about y: +x turns towards the viewer.
        transform[0] = 0.0f;
        transform[2] = -1.0f;
        transform[8] = 1.0f;
        transform[10] = 0.0f;
    }
}

}  // namespace

double QtGLWidget::eye_distance() const
{
    return fitted_distance(std::max(frame_radius, 1e-30f), std::max(view_width, 1), std::max(view_height, 1)) /
           magnification;
}

float QtGLWidget::pixels_per_unit() const
{
    const double w = std::max(view_width, 1), h = std::max(view_height, 1);
    if (projection_mode == 1)
        return float(magnification * fill * 0.5 * std::min(w, h) / std::max(frame_radius, 1e-30f));
    return float(h / 2.0 / (eye_distance() * tan_half_fov));
}

void QtGLWidget::update_zoom()
{
    zoom = projection_mode == 1 ? -pixels_per_unit() : -float(eye_distance());
}

// Tools that keep the mesh's place keep it about inside its framed sphere;
// half as much again leaves room for what they move.
float QtGLWidget::depth_radius() const
{
    const float box =
        std::sqrt(cube.size[0] * cube.size[0] + cube.size[1] * cube.size[1] + cube.size[2] * cube.size[2]) / 2.0f;
    // The smoother's ball may reach past the mesh by its radius.
    return 1.5f * std::max(box, frame_radius) + std::fabs(document.smoother.kernel.x);
}

void QtGLWidget::paintGL()
{
    follow_document();
    ++paints;
    light_frame = wants_light_frame();
    const std::vector<double> key = scene_key();
    if (light_frame || !paint_in_steps(key)) {
        stepped.shown = false;
        render(0, std::numeric_limits<long long>::max());
    }
    // A frame drawn in steps is painted again until it is whole.
    painted_key = stepped.shown && !stepped.complete ? std::vector<double>() : key;
}

bool QtGLWidget::paint_in_steps(const std::vector<double>& key)
{
    if (!frames_in_steps || draw_immediate || full_frame_ms <= slow_frame_ms ||
        document.mesh.nf < light_frame_min_faces || frame_primitives <= 0 ||
        !QOpenGLFramebufferObject::hasOpenGLFramebufferBlit())
        return false;
    const QSize size(std::max(1, int(std::lround(width() * devicePixelRatioF()))),
                     std::max(1, int(std::lround(height() * devicePixelRatioF()))));
    const bool fresh = stepped.key != key || !stepped.target || stepped.target->size() != size;
    // A grab wants its picture now, not in steps.
    if (grabbing && (fresh || !stepped.complete)) return false;
    if (fresh) {
        if (!stepped.target || stepped.target->size() != size)
            stepped.target =
                std::make_unique<QOpenGLFramebufferObject>(size, QOpenGLFramebufferObject::CombinedDepthStencil);
        if (!stepped.target->isValid()) {
            stepped.target.reset();
            return false;
        }
        stepped.key = key;
        stepped.done = 0;
        stepped.ms = 0.0;
        stepped.steps = 0;
        stepped.complete = false;
    }
    if (!stepped.complete) {
        // About half the time allowed a step; at most 64 steps a frame.
        const double share = std::max(slow_frame_ms / 2.0 / full_frame_ms, 1.0 / 64.0);
        const long long step = std::max(1LL, (long long)std::ceil(double(frame_primitives) * share));
        stepped.target->bind();
        QElapsedTimer clock;
        clock.start();
        const long long total = render(stepped.done, stepped.done + step);
        glFinish();
        stepped.ms += double(clock.nsecsElapsed()) / 1e6;
        ++stepped.steps;
        stepped.done += step;
        stepped.complete = stepped.done >= total;
        if (stepped.complete) {
            full_frame_ms = stepped.ms;
            frame_primitives = total;
        }
        QOpenGLFramebufferObject::bindDefault();
    }
    stepped.shown = true;
    if (stepped.complete) {
        const int w = stepped.target->width(), h = stepped.target->height();
        QOpenGLExtraFunctions* f = context()->extraFunctions();
        f->glBindFramebuffer(GL_READ_FRAMEBUFFER, stepped.target->handle());
        f->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, defaultFramebufferObject());
        f->glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        f->glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
        return true;
    }
    // Meanwhile the screen shows the light picture.
    light_frame = true;
    render(0, std::numeric_limits<long long>::max());
    light_frame = false;
    return true;
}

long long QtGLWidget::render(long long from, long long to)
{
    const double w = std::max(view_width, 1), h = std::max(view_height, 1);
    const double depth = depth_radius();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    update_zoom();
    const double distance = -zoom;
    if (projection_mode == 1) {
        const double reach = depth * -zoom + 1.0;
        glOrtho(-w / 2.0, w / 2.0, -h / 2.0, h / 2.0, -reach, reach);
    } else {
        const double far_plane = distance + depth;
        gluPerspective(field_of_view, w / h, std::max(distance - depth, far_plane * 1e-4), far_plane);
    }

    // The light's position goes through the matrix it was set under.
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(light_matrix);
    set_light(GL_POSITION, light_position);
    set_light(GL_AMBIENT, light_ambient);
    set_light(GL_DIFFUSE, light_diffuse);
    set_light(GL_SPECULAR, light_specular);

    glClearColor(background.red() / 255.0f, background.green() / 255.0f, background.blue() / 255.0f, 1.0f);
    const bool first = from == 0;
    if (first) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The frame stays opaque whatever is blended into it: its alpha is what
    // the window and a grab of the frame go by.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);

    glLoadIdentity();
    if (projection_mode == 1)
        glScalef(-zoom, -zoom, -zoom);
    else
        gluLookAt(0.0, 0.0, distance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glTranslatef(pan.x, pan.y, 0.0f);
    glMultMatrixf(camera.transform);

    // Outlines unclipped; the clip planes defined under the full model-view
    // matrix and in force for the mesh and its overlays.
    if (first) draw_plane_outlines(cube);
    set_clip_planes(cube);
    enable_clip_planes();

    // The mesh and its overlays are drawn with the mesh's centre at the
    // origin of the rotation.
    const Mesh& mesh = document.mesh;
    FaceTints tints;
    const Mesh_Classifier& classifier = document.classifier;
    if (shown_patch >= 0 && shown_patch < int(classifier.probabilities.size())) {
        tints.face_patch = &classifier.face_patch;
        tints.membership = &classifier.probabilities[std::size_t(shown_patch)];
        tints.patch = shown_patch;
        tints.threshold = float(patch_threshold) / 100.0f;
    }
    glPushMatrix();
    glTranslatef(-mesh.centre.x, -mesh.centre.y, -mesh.centre.z);
    const long long total = draw_mesh_now(tints, from, to);
    // The overlays go over the whole mesh, in the last step.
    const bool last = to >= total;
    glDisable(GL_LIGHTING);
    if (last) {
        draw_picked_face(mesh);
        draw_patch_seeds(classifier);
    }
    glPopMatrix();

    // The smoother's kernel ball.
    glPushMatrix();
    glTranslatef(-mesh.centre.x, -mesh.centre.y, -mesh.centre.z);
    if (last) draw_kernel_ball(document.smoother);
    glPopMatrix();

    disable_clip_planes();
    glEnable(GL_LIGHTING);

    glGetIntegerv(GL_VIEWPORT, last_paint.viewport);
    glGetDoublev(GL_MODELVIEW_MATRIX, last_paint.model);
    glGetDoublev(GL_PROJECTION_MATRIX, last_paint.projection);

    if (last) draw_legend();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    return total;
}

// The lightest level that should take no more than half the time allowed.
int QtGLWidget::light_level() const
{
    int level = 1;
    while (level < MeshBuffers::light_levels - 1 && full_frame_ms / double(1 << (2 * level)) > slow_frame_ms / 2.0)
        ++level;
    return level;
}

long long QtGLWidget::draw_mesh_now(const FaceTints& tints, long long from, long long to)
{
    const Mesh& mesh = document.mesh;
    bool buffered = !draw_immediate && document.revision != unbuffered_revision;
    bool rebuilt = false;
    if (buffered) {
        try {
            rebuilt = buffers.prepare(mesh, document.revision, render_mode, tints);
        } catch (const std::bad_alloc&) {
            // Drawn vertex by vertex until the mesh changes: slow, but whole.
            buffered = false;
            unbuffered_revision = document.revision;
            document.messages.warning("not enough memory to keep " + std::to_string(mesh.nf) +
                                      " faces in drawing buffers; drawing them directly\n");
        }
    }
    // Building the buffers is not part of the frame's time.
    QElapsedTimer clock;
    clock.start();
    const int light = light_frame ? light_level() : 0;
    long long total = 0;
    if (buffered)
        total = buffers.draw(mesh, render_mode, light, from, to);
    else
        draw_mesh(mesh, render_mode, tints);
    // A whole frame drawn at once tells how long one takes.
    const bool whole = !light_frame && from == 0 && to >= total;
    if (whole) {
        glFinish();
        full_frame_ms = double(clock.nsecsElapsed()) / 1e6;
        frame_primitives = total;
    }
    // The driver frees what was released and the working arrays of a build
    // into the heap; at a million faces that is hundreds of megabytes.
    if (rebuilt && !light_frame) return_free_memory();
    return total;
}

// The legend's picture in the top right corner, in the frame buffer's pixels.
void QtGLWidget::draw_legend()
{
    if (legend.empty() || legend_placement != document.placement) return;
    const qreal ratio = devicePixelRatioF();
    if (legend_image.isNull() || legend_ratio != ratio) {
        legend_image = legend.picture(ratio).mirrored();  // GL rows run bottom-up
        legend_ratio = ratio;
    }
    const int frame_w = last_paint.viewport[2], frame_h = last_paint.viewport[3];
    const int margin = int(std::lround(8 * ratio));
    const int x = std::max(frame_w - legend_image.width() - margin, 0);
    const int y = std::max(frame_h - legend_image.height() - margin, 0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, frame_w, 0.0, frame_h, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glRasterPos2i(x, y);
    glDrawPixels(legend_image.width(), legend_image.height(), GL_RGBA, GL_UNSIGNED_BYTE, legend_image.constBits());
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void QtGLWidget::follow_document(bool new_file)
{
    const Mesh& mesh = document.mesh;
    if (new_file || document.placement != seen_placement) {
        seen_placement = document.placement;
        fit_view();
        if (new_file || fitted_extents != box_extents) {
            cube.fit_around(fitted_extents);
            box_extents = fitted_extents;
            plane_interaction = 0;
            emit cutplanes_reset_signal();
        }
        shown_patch = -1;
        // A new mesh's faces have no colours of their own yet.
        show_vertex_colours();
    }
    if (mesh.nv != seen_nv || mesh.nf != seen_nf || document.file_name != seen_name) {
        seen_nv = mesh.nv;
        seen_nf = mesh.nf;
        seen_name = document.file_name;
        emit meshchanged_signal();
    }
}

void QtGLWidget::fit_view()
{
    float radius = 0.0f;
    fitted_extents = {0.0f, 0.0f, 0.0f};
    // A point or an empty mesh is framed as a unit sphere.
    const bool bounded = mesh_bounds(document.mesh, fitted_extents, radius) && radius > 0.0f;
    frame_radius = bounded ? radius : 1.0f;
    magnification = 1.0f;
    pan = Vector(0.0f, 0.0f, 0.0f, 0.0f);
    camera = ArcBall();
    camera.set_bounds(float(std::max(view_width, 1)), float(std::max(view_height, 1)));
    best_rotation(fitted_extents, camera.transform);
    update_zoom();
    update();
}

void QtGLWidget::zoom_by(float factor)
{
    if (!(factor > 0.0f) || !std::isfinite(factor)) return;
    magnification = std::clamp(magnification * factor, 1e-4f, 1e5f);
    update_zoom();
}

void QtGLWidget::show_vertex_colours()
{
    if (render_mode == RENDER_FACE_COLOURS) set_render_mode(RENDER_POLYGONS);
}

void QtGLWidget::set_render_mode(int mode)
{
    if (mode < RENDER_WIREFRAME || mode > RENDER_FACE_COLOURS) return;
    render_mode = mode;
    emit rendermode_signal(mode);
}

void QtGLWidget::mousePressEvent(QMouseEvent* event)
{
    const Vector p = mouse_point(event);
    // While a clipping plane is selected every button drags the selected planes.
    const int plane_button = clipping_button(event->button());
    if (plane_interaction == 1 && plane_button != 0) {
        drag_mode = 1;
        cube.mouse_press(p, plane_button);
        last_mouse = p;
        return;
    }
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier)) {
        drag_mode = -1;
        drag_pan = 1;
    } else if (event->button() == Qt::LeftButton) {
        drag_mode = 0;
        camera.click(p);
    } else if (event->button() == Qt::MiddleButton) {
        drag_mode = 0;
        if (refused_while_busy()) return;
        pick(int(p.x), int(p.y));
        document.messages.info(format_text("\nSelected: %d \n", document.mesh.picked_face));
        if (document.mesh.picked_face >= 1) document.traverse(document.traversal.depth, document.traversal.angle);
    } else if (event->button() == Qt::RightButton) {
        drag_mode = 2;
        zoom_step = 0.0f;
    }
    last_mouse = p;
}

void QtGLWidget::mouseMoveEvent(QMouseEvent* event)
{
    const Vector p = mouse_point(event);
    if (drag_pan) {
        const float step = pixels_per_unit();
        pan.x += (p.x - last_mouse.x) / step;
        pan.y -= (p.y - last_mouse.y) / step;
    }
    switch (drag_mode) {
    case 0: camera.move(p); break;
    case 1: cube.mouse_move(p); break;
    case 2:
        // Up zooms in, down out: twice as large per 200 pixels, whatever the size.
        zoom_step = last_mouse.y - p.y;
        zoom_by(std::exp2(zoom_step / 200.0f));
        break;
    default: break;
    }
    last_mouse = p;
}

void QtGLWidget::mouseReleaseEvent(QMouseEvent*)
{
    drag_mode = -1;
    drag_pan = 0;
    camera.dragging = false;
    camera.zooming = false;
    camera.panning = false;
    cube.mouse_release();
}

// Each notch away from the user zooms in by a fifth, towards the user out.
void QtGLWidget::wheelEvent(QWheelEvent* event)
{
    const float notches = float(event->angleDelta().y()) / 120.0f;
    if (notches == 0.0f) return;
    last_wheel.start();
    zoom_by(std::pow(1.2f, notches));
    event->accept();
}

void QtGLWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasText() || event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void QtGLWidget::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty()) return;
    event->acceptProposedAction();
    emit dragndrop_signal(urls.first().toLocalFile());
}

bool QtGLWidget::run_long(const QString& name, const DocumentParts& parts, std::function<void(MeshDocument&)> work,
                          std::function<void()> then)
{
    if (runner) return runner->run(name, parts, std::move(work), std::move(then));
    work(document);
    if (then) then();
    return true;
}

bool QtGLWidget::refused_while_busy()
{
    if (!runner || !runner->busy()) return false;
    runner->refuse();
    return true;
}

LoadResult QtGLWidget::load_mesh(const QString& name, std::function<void(LoadResult)> opened)
{
    const std::string path = local_path(name);
    auto result = std::make_shared<LoadResult>(LoadResult::Loaded);
    auto ended = std::make_shared<bool>(false);
    // Opening replaces the copy for reload() and forgets the table: the copy
    // needs neither.
    const bool started = run_long(
        "Opening", DocumentParts{false, false}, [path, result](MeshDocument& d) { *result = d.open(path); },
        [this, path, result, opened, ended] {
            // Formats that can carry morphogens; the net format leaves the list.
            const MeshFormat format = mesh_format_of(path);
            if (format == MeshFormat::Obj || format == MeshFormat::Ply)
                emit buildtree_signal(document.mesh.morphogen_names);
            // Framed, with every clipping plane back on a box around the mesh, unselected.
            follow_document(true);
            *ended = true;
            if (opened) opened(*result);
        });
    if (!started) return LoadResult::Failed;
    return *ended ? *result : LoadResult::Loaded;
}

bool QtGLWidget::save_mesh(const QString& name)
{
    QString target = name;
    if (!target.contains(".obj") && !target.endsWith(".ply", Qt::CaseInsensitive)) target += ".obj";
    auto written = std::make_shared<bool>(false);
    const std::string path = local_path(target);
    run_long("Saving", DocumentParts{false, false}, [path, written](MeshDocument& d) { *written = d.save(path); });
    return *written;
}

// The frame buffer's pixels: twice the logical size on a screen of ratio 2.
QImage QtGLWidget::grab_image()
{
    if (!isValid()) return QImage(view_width, view_height, QImage::Format_ARGB32);
    grabbing = true;
    QImage image = grabFramebuffer().convertToFormat(QImage::Format_ARGB32);
    grabbing = false;
    image.setDevicePixelRatio(1.0);
    return image;
}

// The magnification carries over, so the mesh keeps its size on screen.
void QtGLWidget::update_projection()
{
    update();
}

bool QtGLWidget::pick(int x, int y)
{
    if (!isValid()) return false;
    const qreal ratio = devicePixelRatioF();
    Vector near_point, far_point;
    return pointer_segment(last_paint, x * ratio, y * ratio, projection_mode == 1, near_point, far_point) &&
           document.pick(near_point, far_point);
}

int QtGLWidget::save_all()
{
    auto failed = std::make_shared<int>(0);
    run_long("Exporting the groups", DocumentParts{false, false},
             [failed](MeshDocument& d) { *failed = d.export_groups(); });
    return *failed;
}

void QtGLWidget::reload_slot()
{
    run_long(
        "Reloading", DocumentParts{true, false}, [](MeshDocument& d) { d.reload(); }, [this] { follow_document(); });
}

void QtGLWidget::undo_slot()
{
    // The running operation's copy would be adopted over the step taken back.
    if (runner && runner->busy()) {
        runner->refuse();
        return;
    }
    if (document.undo()) follow_step();
}

void QtGLWidget::redo_slot()
{
    if (runner && runner->busy()) {
        runner->refuse();
        return;
    }
    if (document.redo()) follow_step();
}

void QtGLWidget::follow_step()
{
    // The patch browsed belonged to the classification taken back or put
    // again; a legend explains colours only while the mesh has some.
    shown_patch = -1;
    if (!document.mesh.has_colours) legend.clear();
    follow_document();
    update();
}

void QtGLWidget::fitview_slot()
{
    fit_view();
}

// Subdivision and simplification.
void QtGLWidget::subdivide_slot(int subdiv, float weight)
{
    run_long(
        "Subdividing", DocumentParts{false, false}, [=](MeshDocument& d) { d.subdivide(subdiv, weight); },
        [this] { follow_document(); });
}

void QtGLWidget::simplify_slot(float lod)
{
    run_long(
        "Simplifying", DocumentParts{false, false}, [=](MeshDocument& d) { d.simplify(lod); },
        [this] { follow_document(); });
}

// Classification.
// The patches show in their face colours when the classification ends.
void QtGLWidget::meshclassify_slot()
{
    auto classified = std::make_shared<bool>(false);
    run_long(
        "Classifying", DocumentParts{false, true}, [classified](MeshDocument& d) { *classified = d.classify(); },
        [this, classified] {
            shown_patch = -1;
            if (!*classified) return;
            emit numbpatches_signal(document.classifier.num_patches);
            set_render_mode(RENDER_FACE_COLOURS);
        });
}

void QtGLWidget::numpatches_slot(int k)
{
    if (refused_while_busy()) return;
    document.show_patches(k);
    if (shown_patch >= int(document.classifier.probabilities.size())) shown_patch = -1;
}

// Browsing: patch n lit in its colour, the faces of other patches whose
// membership in it exceeds the threshold at half strength, the rest faded.
void QtGLWidget::previouspatch_slot(int patch)
{
    nextpatch_slot(patch);
}

void QtGLWidget::nextpatch_slot(int patch)
{
    if (patch < 0 || patch >= int(document.classifier.probabilities.size())) return;
    shown_patch = patch;
    if (render_mode != RENDER_POLYGONS && render_mode != RENDER_POLYGONS_WIREFRAME)
        set_render_mode(RENDER_FACE_COLOURS);
}

void QtGLWidget::patchthresh_slot(int threshold)
{
    patch_threshold = threshold;
}

void QtGLWidget::weight_slot(float weight)
{
    if (refused_while_busy()) return;
    document.classifier.weight = weight;
}

void QtGLWidget::sp_mode_slot(int mode)
{
    if (refused_while_busy()) return;
    document.classifier.sp_mode = mode;
}

void QtGLWidget::loadsp_slot(QString name)
{
    const std::string path = local_path(name);
    run_long("Loading the table", DocumentParts{false, true}, [path](MeshDocument& d) { d.load_table(path); });
}

void QtGLWidget::savesp_slot(QString name)
{
    const std::string path = local_path(name);
    run_long("Saving the table", DocumentParts{false, true}, [path](MeshDocument& d) { d.save_table(path); });
}

// Lighting: paintGL hands the values to OpenGL.
void QtGLWidget::light_colour_slot(Vector amb, Vector diff, Vector specular)
{
    if (!isValid()) return;
    light_ambient = amb;
    light_diffuse = diff;
    light_specular = specular;
}

// The light stays where the model-view matrix of the last paint puts it:
// fixed to the eye from then on.
void QtGLWidget::light_position_slot(float alti, float azim)
{
    light_position = light_direction(alti, azim);
    std::copy(last_paint.model, last_paint.model + 16, light_matrix);
}

// Clipping planes.
void QtGLWidget::cutplane_select_slot(int selected)
{
    cube.toggle_plane(selected);
    plane_interaction = cube.any_selected() ? 1 : 0;
}

void QtGLWidget::cutplane_invert_slot(int selected)
{
    cube.invert = selected;
    if (selected == 1) cube.show_all = 1;
    if (selected == 0) {
        cube.show_all = 0;
        plane_interaction = 0;
    }
}

void QtGLWidget::cutplane_showall_slot(int selected)
{
    cube.show_all = selected;
    cube.update_outlines();
}

void QtGLWidget::cutplane_resetall_slot()
{
    cube.reset_all();
    plane_interaction = 0;
}

void QtGLWidget::cutplane_resetcurrent_slot()
{
    cube.reset_selected();
}

void QtGLWidget::cutplane_load_slot(QString fn)
{
    cube.load(local_path(fn), document.messages);
}

void QtGLWidget::cutplane_save_slot(QString fn)
{
    cube.save(local_path(fn), document.messages);
}

// Smoothing.
void QtGLWidget::mshift_slot(Vector v, int mode)
{
    run_long("Smoothing", DocumentParts{false, false}, [=](MeshDocument& d) { d.smooth(v.x, mode); });
}

void QtGLWidget::mshiftrad_slot(Vector v, int mode)
{
    if (refused_while_busy()) return;
    document.set_smoothing(v.x, mode);
}

void QtGLWidget::mshiftstep_slot(Vector v)
{
    run_long("Smoothing a step", DocumentParts{false, false}, [=](MeshDocument& d) { d.smooth_step(v.x); });
}

void QtGLWidget::function_slot(std::vector<Vector> func, int sizey)
{
    if (refused_while_busy()) return;
    document.smoother.set_weight_curve(func, sizey);
}

void QtGLWidget::smooth_slot(float, float) {}

// Edge traversal. The depth and angle are kept even while no face is
// picked, so the next middle click grows its region with the values the
// panel shows.
void QtGLWidget::edgetraversal_slot(int depth, int angle)
{
    if (refused_while_busy()) return;
    document.traverse(depth, angle);
}

void QtGLWidget::markcurrent_slot()
{
    if (refused_while_busy()) return;
    document.mark_current();
}

// Colouring.
void QtGLWidget::buildvertexcolour_slot(int mixmode, std::vector<int> tooglestates, std::vector<QColor> colours,
                                        QColor defaultcolour)
{
    if (refused_while_busy()) return;
    document.colour_by_morphogens(mixmode, tooglestates, to_rgb(colours), to_rgb(defaultcolour));
    show_vertex_colours();
    legend.show_morphogens(document.mesh, mixmode, tooglestates, to_rgb(colours), to_rgb(defaultcolour));
    legend_placement = document.placement;
    legend_image = QImage();
}

void QtGLWidget::build_vertexcoloursterrain_slot(std::vector<QColor> colours, std::vector<float> values)
{
    if (refused_while_busy()) return;
    // A terrain built just before is framed before its legend is made.
    follow_document();
    show_vertex_colours();
    if (document.colour_by_height(to_rgb(colours), values))
        legend.show_height_map(document.mesh, to_rgb(colours), values);
    else
        legend.clear();
    legend_placement = document.placement;
    legend_image = QImage();
}

Vector light_direction(float alti, float azim)
{
    const float pi = 3.1415927f;
    const float a = alti * pi / 180.0f, b = azim * pi / 180.0f;
    return Vector(std::cos(b) * std::sin(a), std::sin(b) * std::sin(a), std::cos(a), 0.0f);
}
