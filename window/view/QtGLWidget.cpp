#include "view/QtGLWidget.h"

#include <algorithm>
#include <cmath>

#include <GL/glu.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include "core/format_text.h"
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
    connect(&timer, &QTimer::timeout, this, qOverload<>(&QtGLWidget::update));
    timer.start(10);
    setMouseTracking(true);
    setAcceptDrops(true);
}

QtGLWidget::~QtGLWidget() = default;

void QtGLWidget::initializeGL()
{
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
    glViewport(0, 0, w, h);
    camera.set_bounds(float(w), float(h));
    view_width = w;
    view_height = h;
}

void QtGLWidget::paintGL()
{
    const double w = std::max(view_width, 1), h = std::max(view_height, 1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (projection_mode == 1)
        glOrtho(-w / 2.0, w / 2.0, -h / 2.0, h / 2.0, -512.0, 512.0);
    else
        gluPerspective(45.0, w / h, 0.1, 10000.0);

    // The light's position goes through the matrix it was set under.
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(light_matrix);
    set_light(GL_POSITION, light_position);
    set_light(GL_AMBIENT, light_ambient);
    set_light(GL_DIFFUSE, light_diffuse);
    set_light(GL_SPECULAR, light_specular);

    glClearColor(background.red() / 255.0f, background.green() / 255.0f, background.blue() / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glLoadIdentity();
    if (projection_mode == 1)
        glScalef(-zoom, -zoom, -zoom);
    else
        gluLookAt(0.0, 0.0, -zoom, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glMultMatrixf(camera.transform);

    // Outlines unclipped; the clip planes defined under the full model-view
    // matrix and in force for the mesh and its overlays.
    draw_plane_outlines(cube);
    set_clip_planes(cube);
    enable_clip_planes();

    // The mesh and its overlays are drawn with the mesh's centre at the
    // origin of the rotation.
    const Mesh& mesh = document.mesh;
    glPushMatrix();
    glTranslatef(-mesh.centre.x, -mesh.centre.y, -mesh.centre.z);
    draw_mesh(mesh, render_mode);
    glDisable(GL_LIGHTING);
    draw_picked_face(mesh);
    draw_patch_seeds(document.classifier);
    glPopMatrix();

    // The smoother's kernel ball.
    glPushMatrix();
    glTranslatef(-mesh.centre.x, -mesh.centre.y, -mesh.centre.z);
    draw_kernel_ball(document.smoother);
    glPopMatrix();

    disable_clip_planes();
    glEnable(GL_LIGHTING);

    glGetIntegerv(GL_VIEWPORT, last_paint.viewport);
    glGetDoublev(GL_MODELVIEW_MATRIX, last_paint.model);
    glGetDoublev(GL_PROJECTION_MATRIX, last_paint.projection);
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
    if (event->button() == Qt::LeftButton) {
        drag_mode = 0;
        camera.click(p);
    } else if (event->button() == Qt::MiddleButton) {
        drag_mode = 0;
        pick(int(p.x), int(p.y));
        document.messages.info(format_text("\nSelected: %d \n", document.mesh.picked_face));
        if (document.mesh.picked_face >= 1) document.traverse(document.traversal.depth, document.traversal.angle);
    } else if (event->button() == Qt::RightButton) {
        drag_mode = 2;
        zoom_step = last_mouse.y - p.y;
        zoom += zoom_step * 0.1f;
    }
    last_mouse = p;
}

void QtGLWidget::mouseMoveEvent(QMouseEvent* event)
{
    const Vector p = mouse_point(event);
    switch (drag_mode) {
    case 0: camera.move(p); break;
    case 1: cube.mouse_move(p); break;
    case 2:
        zoom_step = last_mouse.y - p.y;
        zoom += zoom_step * 0.1f;
        break;
    default: break;
    }
    last_mouse = p;
}

void QtGLWidget::mouseReleaseEvent(QMouseEvent*)
{
    drag_mode = -1;
    camera.dragging = false;
    camera.zooming = false;
    camera.panning = false;
    cube.mouse_release();
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

LoadResult QtGLWidget::load_mesh(const QString& name)
{
    const std::string path = local_path(name);
    const LoadResult result = document.open(path);
    // Formats that can carry morphogens; the net format leaves the list.
    const MeshFormat format = mesh_format_of(path);
    if (format == MeshFormat::Obj || format == MeshFormat::Ply) emit buildtree_signal(document.mesh.morphogen_names);
    // A box four times the mesh's largest positive coordinate; every plane
    // goes back on its face, unselected.
    const Mesh& mesh = document.mesh;
    float box = 0.0f;
    for (const float c : {mesh.bbox[1].x, mesh.bbox[1].y, mesh.bbox[1].z})
        if (4.0f * c > box) box = 4.0f * c;
    cube.resize_cube(box);
    plane_interaction = 0;
    zoom = -200.0f;
    update();
    return result;
}

bool QtGLWidget::save_mesh(const QString& name)
{
    QString target = name;
    if (!target.contains(".obj") && !target.endsWith(".ply", Qt::CaseInsensitive)) target += ".obj";
    return document.save(local_path(target));
}

QImage QtGLWidget::grab_image()
{
    if (!isValid()) return QImage(view_width, view_height, QImage::Format_ARGB32);
    return grabFramebuffer().convertToFormat(QImage::Format_ARGB32);
}

void QtGLWidget::update_projection()
{
    update();
}

bool QtGLWidget::pick(int x, int y)
{
    if (!isValid()) return false;
    Vector near_point, far_point;
    return pointer_segment(last_paint, x, y, view_height, projection_mode == 1, near_point, far_point) &&
           document.pick(near_point, far_point);
}

int QtGLWidget::save_all()
{
    return document.export_groups();
}

void QtGLWidget::reload_slot()
{
    document.reload();
}

// Subdivision and simplification.
void QtGLWidget::subdivide_slot(int subdiv, float weight)
{
    document.subdivide(subdiv, weight);
}

void QtGLWidget::simplify_slot(float lod)
{
    document.simplify(lod);
}

// Classification.
void QtGLWidget::meshclassify_slot()
{
    if (document.classify()) emit numbpatches_signal(document.classifier.num_patches);
}

void QtGLWidget::numpatches_slot(int k)
{
    document.show_patches(k);
}

// Browsing patches and the patch threshold have no effect on the view.
void QtGLWidget::previouspatch_slot(int) {}
void QtGLWidget::nextpatch_slot(int) {}
void QtGLWidget::patchthresh_slot(int) {}

void QtGLWidget::weight_slot(float weight)
{
    document.classifier.weight = weight;
}

void QtGLWidget::sp_mode_slot(int mode)
{
    document.classifier.sp_mode = mode;
}

void QtGLWidget::loadsp_slot(QString name)
{
    document.load_table(local_path(name));
}

void QtGLWidget::savesp_slot(QString name)
{
    document.save_table(local_path(name));
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
    document.smooth(v.x, mode);
}

void QtGLWidget::mshiftrad_slot(Vector v, int mode)
{
    document.set_smoothing(v.x, mode);
}

void QtGLWidget::mshiftstep_slot(Vector v)
{
    document.smooth_step(v.x);
}

void QtGLWidget::function_slot(std::vector<Vector> func, int sizey)
{
    document.smoother.set_weight_curve(func, sizey);
}

void QtGLWidget::smooth_slot(float, float) {}

// Edge traversal. The depth and angle are kept even while no face is
// picked, so the next middle click grows its region with the values the
// panel shows.
void QtGLWidget::edgetraversal_slot(int depth, int angle)
{
    document.traverse(depth, angle);
}

void QtGLWidget::markcurrent_slot()
{
    document.mark_current();
}

// Colouring.
void QtGLWidget::buildvertexcolour_slot(int mixmode, std::vector<int> tooglestates, std::vector<QColor> colours,
                                        QColor defaultcolour)
{
    document.colour_by_morphogens(mixmode, tooglestates, to_rgb(colours), to_rgb(defaultcolour));
}

void QtGLWidget::build_vertexcoloursterrain_slot(std::vector<QColor> colours, std::vector<float> values)
{
    document.colour_by_height(to_rgb(colours), values);
}

Vector light_direction(float alti, float azim)
{
    const float pi = 3.1415927f;
    const float a = alti * pi / 180.0f, b = azim * pi / 180.0f;
    return Vector(std::cos(b) * std::sin(a), std::sin(b) * std::sin(a), std::cos(a), 0.0f);
}
