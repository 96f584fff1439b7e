#pragma once

#include <string>
#include <vector>

#include <QColor>
#include <QImage>
#include <QOpenGLWidget>
#include <QString>
#include <QTimer>

#include "clipping/PlaneWidgetInCube.h"
#include "core/Mesh.h"
#include "core/load_mesh_file.h"
#include "core/Vector.h"
#include "smoothing/NormalSmoother.h"
#include "traversal/EdgeTraversal.h"
#include "remeshing/ButterflySubdivider.h"
#include "classification/Mesh_Classifier.h"
#include "toolkit/meta_types.h"
#include "core/ArcBall.h"

// The OpenGL view and owner of the mesh on show. It repaints itself from a
// 10 ms timer, turns the model with the left mouse button and zooms with the
// right, opens dropped files through the main window, and offers the slots
// through which the tool panels reach the mesh. Every slot changes the mesh
// and its derived data and returns; the next tick paints the result.
class QtGLWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit QtGLWidget(QWidget* parent = nullptr, const QString& name = QString());
    ~QtGLWidget() override;

    QColor background{255, 255, 255, 255};
    int projection_mode = 1;  // 1 orthographic, 0 perspective
    int drag_mode = -1;       // -1 none, 0 camera rotation, 1 clipping-plane drag, 2 zoom
    int plane_interaction = 0;  // 1 while a clipping plane is selected
    PlaneWidgetInCube cube;     // the six clipping planes
    QString file_name;
    int render_mode = 4;
    // Viewport size in pixels (QWidget already owns width() and height()).
    int view_width = 0;
    int view_height = 0;
    float zoom = -200.0f;  // camera distance (perspective) or negated scale (orthographic)
    float zoom_step = 0.0f;
    Vector last_mouse{0.0f, 0.0f, 0.0f, 0.0f};
    Vector light_position{0.0f, 0.0f, 1.0f, 0.0f};
    ArcBall camera;
    Mesh mesh;
    Mesh backup;  // the mesh as loaded, restored by reload_slot
    NormalSmoother smoother;  // face-normal smoothing of `mesh`
    EdgeTraversal traversal{&mesh};
    ButterflySubdivider subdivider;  // subdivision of `mesh`, with its last level and weight
    Mesh_Classifier classifier{&mesh};  // patches of `mesh`, reset with each load

    // Reads a mesh file into the view (the reader is chosen by name), keeps a
    // copy for reload_slot and resets the zoom. A rejected file leaves an
    // empty mesh; a name no reader takes keeps the old mesh.
    LoadResult load_mesh(const QString& name);
    // Writes the mesh as OBJ, adding ".obj" when the name lacks it; false
    // when nothing was written (the writer says why on the console).
    bool save_mesh(const QString& name);
    // The last painted frame, view_width x view_height.
    QImage grab_image();
    // Rebuilds the projection for the stored size (after a projection toggle).
    void update_projection();
    // Picks the face under the pointer at (x, y) in widget pixels with the
    // matrices of the last paint; a miss keeps the previous pick.
    bool pick(int x, int y);
    // The segmented export of the traversal's groups into the working
    // directory; the number of files that could not be written.
    int save_all();

signals:
    void dragndrop_signal(QString filename);
    // After an OBJ read: the mesh's own list of morphogen names.
    void buildtree_signal(std::vector<std::string>& names);
    // After a classification: the number of patches chosen.
    void numbpatches_signal(int n);

    // Each subsystem's slots form one block below, headed by its name.
public slots:
    // The mesh as loaded.
    void reload_slot();

    // Subdivision and simplification: each replaces `mesh` by its result.
    void subdivide_slot(int subdiv, float weight);
    void simplify_slot(float lod);
    // Classification. Without vertices a classification or a table file
    // does nothing; the mode and weight are kept for the next mesh.
    void meshclassify_slot();
    void numpatches_slot(int k);
    void previouspatch_slot(int patch);
    void nextpatch_slot(int patch);
    void patchthresh_slot(int threshold);
    void weight_slot(float weight);
    void sp_mode_slot(int mode);
    void loadsp_slot(QString name);
    void savesp_slot(QString name);

    // Lighting.
    void light_colour_slot(Vector amb, Vector diff, Vector specular);
    void light_position_slot(float alti, float azim);

    // Clipping planes.
    void cutplane_select_slot(int selected);
    void cutplane_invert_slot(int selected);
    void cutplane_showall_slot(int selected);
    void cutplane_resetall_slot();
    void cutplane_resetcurrent_slot();
    void cutplane_load_slot(QString fn);
    void cutplane_save_slot(QString fn);
    // Smoothing: the panel's radius value v.x (0 to 100) becomes a ball of
    // v.x / 200 of the mesh extent.
    void mshift_slot(Vector v, int mode);
    void mshiftrad_slot(Vector v, int mode);
    void mshiftstep_slot(Vector v);
    void function_slot(std::vector<Vector> func, int sizey);
    // Reached by no control; kept for the panel wiring that names it.
    void smooth_slot(float kernelsize, float kernelstrength);
    // Edge traversal.
    void edgetraversal_slot(int depth, int angle);
    void markcurrent_slot();

    // Colouring: morphogen mixing and the terrain's height colours.
    void buildvertexcolour_slot(int mixmode, std::vector<int> tooglestates, std::vector<QColor> colours,
                                QColor defaultcolour);
    void build_vertexcoloursterrain_slot(std::vector<QColor> colours, std::vector<float> values);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void apply_light_position();
    // The smoothing kernel for a panel value, with the mesh's box current.
    Vector smoothing_kernel_for(const Vector& v);

    QTimer timer;
};

// Direction of a light at an altitude (degrees from +z) and an azimuth
// (degrees about z from +x towards +y), as a directional GL position.
Vector light_direction(float alti, float azim);
