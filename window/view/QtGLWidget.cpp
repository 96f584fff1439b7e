#include "view/QtGLWidget.h"

#include <cmath>
#include <cstdio>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <GL/glu.h>

#include "traversal/pick_face.h"
#include "view/pointer_segment.h"
#include "toolkit/qt_colour.h"
#include "colouring/vertex_colouring.h"
#include "remeshing/simplify.h"
#include "view/classifier_drawing.h"
#include "view/clipping_drawing.h"
#include "view/mesh_drawing.h"
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

}  // namespace

QtGLWidget::QtGLWidget(QWidget* parent, const QString& name) : QOpenGLWidget(parent)
{
    setObjectName(name);
    connect(&timer, &QTimer::timeout, this, qOverload<>(&QtGLWidget::update));
    timer.start(10);
    setMouseTracking(true);
    setAcceptDrops(true);
    view_width = 0;
    view_height = 0;
    background = QColor(255, 255, 255, 255);
    smoother.mesh = &mesh;
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

    const GLfloat ambient[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat diffuse[] = {0.125f, 0.125f, 0.125f, 1.0f};
    const GLfloat specular[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    light_position = Vector(0.0f, 0.0f, 1.0f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    light_position = light_direction(0.0f, 180.0f);
    apply_light_position();

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
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (projection_mode == 1)
        glOrtho(-w / 2.0, w / 2.0, -h / 2.0, h / 2.0, -512.0, 512.0);
    else
        gluPerspective(45.0, double(w) / double(h), 0.1, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera.set_bounds(float(w), float(h));
    view_width = w;
    view_height = h;
}

void QtGLWidget::update_projection()
{
    if (!isValid()) return;
    makeCurrent();
    resizeGL(view_width, view_height);
    doneCurrent();
}

void QtGLWidget::paintGL()
{
    glClearColor(background.red() / 255.0f, background.green() / 255.0f, background.blue() / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_MODELVIEW);
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
    glPushMatrix();
    glTranslatef(-mesh.centre.x, -mesh.centre.y, -mesh.centre.z);
    draw_mesh(mesh, render_mode);
    glDisable(GL_LIGHTING);
    draw_picked_face(mesh);
    draw_patch_seeds(classifier);
    glPopMatrix();

    // The smoother's kernel ball.
    glPushMatrix();
    glTranslatef(-mesh.centre.x, -mesh.centre.y, -mesh.centre.z);
    draw_kernel_ball(smoother);
    glPopMatrix();

    disable_clip_planes();
    glEnable(GL_LIGHTING);
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
        std::printf("\nSelected: %d \n", mesh.picked_face);
        std::fflush(stdout);
        if (mesh.picked_face >= 1) traversal.traverse(traversal.depth, traversal.angle);
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
    case 0:
        camera.move(p);
        break;
    case 1:
        cube.mouse_move(p);
        break;
    case 2:
        zoom_step = last_mouse.y - p.y;
        zoom += zoom_step * 0.1f;
        break;
    default:
        break;
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
    file_name = name;
    classifier.reset();
    mesh.picked_face = -1;
    const std::string path = local_path(name);
    const LoadResult result = load_mesh_file(mesh, path);
    mesh.picked_face = -1;
    if (mesh_format_of(path) == MeshFormat::Obj) emit buildtree_signal(mesh.morphogen_names);
    backup.assign(mesh);
    // Tools rebuild the vertex arrays and carry the morphogen values along;
    // the kept copy keeps them as read, for reload_slot.
    backup.morphogen_values = mesh.morphogen_values;
    // A box four times the mesh's largest positive coordinate; every plane
    // goes back on its face, unselected.
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
    file_name = name;
    QString target = name;
    if (!target.contains(".obj")) target += ".obj";
    return mesh.write_obj(local_path(target));
}

QImage QtGLWidget::grab_image()
{
    QImage image(view_width, view_height, QImage::Format_ARGB32);
    if (!isValid() || image.isNull()) return image;
    makeCurrent();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, view_width, view_height, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    doneCurrent();
    // Blended drawing leaves the frame's alpha below one in places; the
    // picture on screen is opaque.
    for (int y = 0; y < image.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) row[4 * x + 3] = 255;
    }
    return image.rgbSwapped().mirrored();
}

void QtGLWidget::reload_slot()
{
    classifier.reset();
    mesh.assign(backup);
    mesh.morphogen_values = backup.morphogen_values;
    mesh.build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB});
}

// Subdivision and simplification.
void QtGLWidget::subdivide_slot(int subdiv, float weight)
{
    subdivider.subdivide(mesh, subdiv, weight);
}

void QtGLWidget::simplify_slot(float lod)
{
    simplify_mesh(mesh, lod);
}

void QtGLWidget::meshclassify_slot()
{
    if (mesh.nv == 0) return;
    mesh.build({MESH_VERTEX_NORMALS, MESH_EDGE_LIST});
    if (classifier.classify()) emit numbpatches_signal(classifier.num_patches);
}

void QtGLWidget::numpatches_slot(int k)
{
    if (mesh.nv == 0) return;
    classifier.set_patch_count(k);
}

// Browsing patches and the patch threshold have no effect on the view.
void QtGLWidget::previouspatch_slot(int) {}
void QtGLWidget::nextpatch_slot(int) {}
void QtGLWidget::patchthresh_slot(int) {}

void QtGLWidget::weight_slot(float weight)
{
    classifier.weight = weight;
}

void QtGLWidget::sp_mode_slot(int mode)
{
    classifier.sp_mode = mode;
}

void QtGLWidget::loadsp_slot(QString name)
{
    if (mesh.nv == 0) return;
    classifier.load(local_path(name));
}

void QtGLWidget::savesp_slot(QString name)
{
    if (mesh.nv == 0) return;
    classifier.save(local_path(name));
}

void QtGLWidget::light_colour_slot(Vector amb, Vector diff, Vector specular)
{
    if (!isValid()) return;
    makeCurrent();
    const GLfloat a[] = {amb.x, amb.y, amb.z, amb.w};
    const GLfloat d[] = {diff.x, diff.y, diff.z, diff.w};
    const GLfloat s[] = {specular.x, specular.y, specular.z, specular.w};
    glLightfv(GL_LIGHT0, GL_AMBIENT, a);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, d);
    glLightfv(GL_LIGHT0, GL_SPECULAR, s);
    doneCurrent();
}

void QtGLWidget::light_position_slot(float alti, float azim)
{
    light_position = light_direction(alti, azim);
    if (!isValid()) return;
    makeCurrent();
    apply_light_position();
    doneCurrent();
}

// OpenGL transforms the position by the model-view matrix in force now:
// the one the last paint left, so the light stays fixed to the eye.
void QtGLWidget::apply_light_position()
{
    const GLfloat p[] = {light_position.x, light_position.y, light_position.z, light_position.w};
    glLightfv(GL_LIGHT0, GL_POSITION, p);
}

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
    cube.load(local_path(fn));
}

void QtGLWidget::cutplane_save_slot(QString fn)
{
    cube.save(local_path(fn));
}

bool QtGLWidget::pick(int x, int y)
{
    if (!isValid()) return false;
    makeCurrent();
    Vector near_point, far_point;
    const bool unprojected = pointer_segment(x, y, view_height, projection_mode == 1, near_point, far_point);
    doneCurrent();
    return unprojected && pick_face(mesh, near_point, far_point);
}

int QtGLWidget::save_all()
{
    return traversal.export_groups();
}

// The depth and angle are kept even while no face is picked, so the next
// middle click grows its region with the values the panel shows.
void QtGLWidget::edgetraversal_slot(int depth, int angle)
{
    traversal.traverse(depth, angle);
}

void QtGLWidget::markcurrent_slot()
{
    if (traversal.has_pick()) traversal.commit();
}

Vector light_direction(float alti, float azim)
{
    const float pi = 3.1415927f;
    const float a = alti * pi / 180.0f, b = azim * pi / 180.0f;
    return Vector(std::cos(b) * std::sin(a), std::sin(b) * std::sin(a), std::cos(a), 0.0f);
}

// Smoothing.
Vector QtGLWidget::smoothing_kernel_for(const Vector& v)
{
    // The extent is out of date after a tool replaced the mesh.
    mesh.build_stale({MESH_BB});
    return smoothing_kernel(v.x, mesh.extent);
}

void QtGLWidget::mshift_slot(Vector v, int mode)
{
    smoother.kernel = smoothing_kernel_for(v);
    smoother.run(smoother.kernel, NormalSmoother::RunMode::Full, mode);
}

void QtGLWidget::mshiftrad_slot(Vector v, int mode)
{
    smoother.kernel = smoothing_kernel_for(v);
    smoother.algorithm = mode;
}

void QtGLWidget::mshiftstep_slot(Vector v)
{
    smoother.kernel = smoothing_kernel_for(v);
    std::printf("Step\n");
    smoother.run(smoother.kernel, NormalSmoother::RunMode::Step, smoother.algorithm);
}

void QtGLWidget::function_slot(std::vector<Vector> func, int sizey)
{
    smoother.set_weight_curve(func, sizey);
}

void QtGLWidget::smooth_slot(float, float) {}
// Colouring.

void QtGLWidget::buildvertexcolour_slot(int mixmode, std::vector<int> tooglestates, std::vector<QColor> colours,
                                        QColor defaultcolour)
{
    colour_by_morphogens(mesh, mixmode, tooglestates, to_rgb(colours), to_rgb(defaultcolour));
}

void QtGLWidget::build_vertexcoloursterrain_slot(std::vector<QColor> colours, std::vector<float> values)
{
    colour_by_height(mesh, to_rgb(colours), values);
}
