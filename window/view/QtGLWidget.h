#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QOpenGLFramebufferObject>
#include <QOpenGLWidget>
#include <QString>
#include <QTimer>

#include "clipping/PlaneWidgetInCube.h"
#include "core/ArcBall.h"
#include "core/load_mesh_file.h"
#include "core/Vector.h"
#include "toolkit/meta_types.h"
#include "view/ColourLegend.h"
#include "view/MeshBuffers.h"
#include "view/ViewMatrices.h"

class DocumentRunner;
class MeshDocument;
struct DocumentParts;

// The OpenGL view of a mesh document. A 10 ms timer looks for changes and
// repaints when what the frame shows changed (the document's revision, the
// camera, a setting, the size); an idle view draws nothing. It turns the model with the left mouse button, zooms with
// the right and the wheel, pans with Shift and the left button, opens dropped files through the main window, and offers
// the slots through which the tool panels reach the document. A slot forwards its request to the document (or changes a
// setting of the view) and returns; the next tick paints the result. Each
// mesh the document puts in a new place (open, reload, terrain) is framed:
// its bounding sphere fills 90 % of the view's shorter side. GL calls happen
// only in initializeGL, resizeGL and paintGL.
class QtGLWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit QtGLWidget(MeshDocument& document, QWidget* parent = nullptr, const QString& name = QString());
    ~QtGLWidget() override;

    MeshDocument& document;
    // Runs the long operations aside with progress and Cancel; without one
    // (a view on its own) they run at once on the document.
    DocumentRunner* runner = nullptr;

    QColor background{255, 255, 255, 255};
    int projection_mode = 1;    // 1 orthographic, 0 perspective
    int drag_mode = -1;         // -1 none, 0 camera rotation, 1 clipping-plane drag, 2 zoom
    int plane_interaction = 0;  // 1 while a clipping plane is selected
    PlaneWidgetInCube cube;     // the six clipping planes
    int render_mode = 4;        // 0..8, see RenderMode
    // Viewport size in logical pixels (QWidget already owns width() and height()).
    int view_width = 0;
    int view_height = 0;
    // Camera distance (perspective) or negated scale in pixels per unit
    // (orthographic) of the last paint; follows from the framing below.
    float zoom = -200.0f;
    float zoom_step = 0.0f;
    // The framing: the radius of the sphere fitted to the view, the
    // magnification over that fit (always above 0) and the pan, in model
    // units along the screen's x and y.
    float frame_radius = 1.0f;
    float magnification = 1.0f;
    Vector pan{0.0f, 0.0f, 0.0f, 0.0f};
    // The patch Previous and Next browse (-1: none) and the membership,
    // in percent, above which its faces are lit.
    int shown_patch = -1;
    int patch_threshold = 1;
    ColourLegend legend;
    Vector last_mouse{0.0f, 0.0f, 0.0f, 0.0f};
    // Light 0: its direction, fixed to the eye as it was when last set, and
    // its colours; paintGL hands them to OpenGL.
    Vector light_position{0.0f, 0.0f, 1.0f, 0.0f};
    Vector light_ambient{0.5f, 0.5f, 0.5f, 1.0f};
    Vector light_diffuse{0.125f, 0.125f, 0.125f, 1.0f};
    Vector light_specular{0.0f, 0.0f, 0.0f, 1.0f};
    ArcBall camera;

    // Drawing from buffers kept per mesh revision (MeshBuffers), or with
    // draw_immediate vertex by vertex, as the buffers are checked against.
    bool draw_immediate = false;
    // While a drag is on (or the wheel turns), a mesh whose last full frame
    // took longer than this is drawn light (a share of its elements); in
    // full once the mouse is let go (or the wheel rests).
    double slow_frame_ms = 50.0;
    // Smaller meshes are always drawn in full: a busy machine may make any
    // frame slow, and there is little to leave out.
    int light_frame_min_faces = 10000;
    // What the last frames were: the paints so far, whether the last one was
    // light, and the time of the last full one.
    unsigned long paints = 0;
    bool light_frame = false;
    double full_frame_ms = 0.0;
    // Once the mouse rests, a mesh whose full frame took longer than
    // slow_frame_ms is drawn in steps of about half that time, one step a
    // tick, into a frame of its own; the screen shows the light picture
    // until the frame is whole, so input is answered between steps.
    bool frames_in_steps = true;
    struct SteppedFrame {
        std::unique_ptr<QOpenGLFramebufferObject> target;
        std::vector<double> key;  // scene_key() of the frame being drawn
        long long done = 0;       // primitives drawn so far
        int steps = 0;
        double ms = 0.0;  // drawing time of the steps so far
        bool complete = false;
        bool shown = false;  // the last paint came from here
    } stepped;
    MeshBuffers buffers;

    // Opens a mesh file through the document (the reader is chosen by
    // name), tells the morphogen panel the names of an OBJ or PLY mesh, puts the
    // clipping planes back on a box around it and resets the zoom. A rejected
    // file leaves an empty mesh; a name no reader takes keeps the old mesh.
    // `opened` gets the reader's result once the mesh is on show; the
    // return value is that result when the open ended before returning (no
    // runner, or one that is not threaded), Loaded while it runs on, and
    // Failed when it was refused because another operation runs.
    LoadResult load_mesh(const QString& name, std::function<void(LoadResult)> opened = {});
    // Writes the mesh as binary PLY when the name ends in ".ply", else as
    // OBJ, adding ".obj" when the name lacks it; false when nothing was
    // written (the writer says why on the console).
    bool save_mesh(const QString& name);
    // A frame painted now, in the view's pixels.
    QImage grab_image();
    // Paints with the projection of projection_mode from the next frame on;
    // the mesh keeps its size on screen.
    void update_projection();
    // Frames the mesh: its bounding sphere at 90 % of the shorter side, no
    // pan, the rotation that shows it best (straight on, or from above at a
    // slant for a mesh flat in y such as a terrain; flat in x: turned to
    // face the viewer).
    void fit_view();
    // Multiplies the magnification, keeping it within reach of float.
    void zoom_by(float factor);
    // Pixels of the view per model unit at the rotation centre's depth.
    float pixels_per_unit() const;
    // Sets the render mode (0..8) and tells the main window.
    void set_render_mode(int mode);
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
    // The render mode changed (the menu checks it).
    void rendermode_signal(int mode);
    // The clipping planes went back to their box, none selected (the
    // clipping panel unchecks its buttons).
    void cutplanes_reset_signal();
    // The mesh on show changed (counts, name or place).
    void meshchanged_signal();

    // Each subsystem's slots form one block below, headed by its name.
public slots:
    // The mesh as loaded.
    void reload_slot();
    // Undoes or redoes the document's newest step; the camera stays unless
    // the step put the mesh elsewhere (a terrain, a reload).
    void undo_slot();
    void redo_slot();
    // "Fit View".
    void fitview_slot();

    // Subdivision and simplification: each replaces the mesh by its result.
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
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Runs `work` on the document through the runner, or at once without
    // one, then `then` (with the document showing the result). False when
    // the runner refused it.
    bool run_long(const QString& name, const DocumentParts& parts, std::function<void(MeshDocument&)> work,
                  std::function<void()> then = {});
    // True (after a status message) while a long operation runs: a request
    // that changes the document or its engines' settings would be lost
    // when the operation's result is adopted.
    bool refused_while_busy();
    // Repaints when the scene changed since the last paint.
    void tick();
    // Everything the frame shows, as numbers: equal keys, equal frames.
    std::vector<double> scene_key() const;
    // A drag of the mouse is on and the last full frame was slow.
    bool wants_light_frame() const;
    // The light level (MeshBuffers::draw) that fits the time allowed.
    int light_level() const;
    // The frame, or of the mesh's primitives (MeshBuffers::draw) those from
    // `from` up to `to`: the background and the plane outlines come with
    // the first, the overlays and the legend with the last. Returns the
    // primitives of the whole frame.
    long long render(long long from, long long to);
    // Draws the next step of a slow frame, or shows it once whole; false
    // when the frame is to be drawn at once.
    bool paint_in_steps(const std::vector<double>& key);
    // The mesh in its render mode, from buffers when they can be had;
    // returns the primitives of the whole mesh (0 when drawn directly).
    long long draw_mesh_now(const FaceTints& tints, long long from, long long to);
    // Deletes the buffers while their context is current.
    void release_buffers();

    // Frames a mesh the document put in a new place, fits the clipping box
    // around it when its size changed (always when `new_file`), and tells
    // the window when the mesh on show changed.
    void follow_document(bool new_file = false);
    // After an undo or a redo: what the view shows of the step taken.
    void follow_step();
    // The radius the depth range must hold: the mesh, the clipping box and
    // the smoother's ball around the rotation centre.
    float depth_radius() const;
    // Perspective: the eye's distance from the rotation centre.
    double eye_distance() const;
    // zoom as the designed camera value of the projection on show.
    void update_zoom();
    void draw_legend();
    // Leaves "Face Colours" for "Polygons", where vertex colours show.
    void show_vertex_colours();

    QTimer timer;
    QElapsedTimer last_wheel;                               // since the wheel last turned
    std::vector<double> painted_key;                        // scene_key() of the last paint
    long long frame_primitives = 0;                         // of the last whole frame
    bool grabbing = false;                                  // a grab wants a whole frame now
    unsigned long unbuffered_revision = ~0ul;               // the buffers did not fit this revision
    int drag_pan = 0;                                       // 1 while a Shift + left drag pans
    unsigned long seen_placement = 0;                       // the document's placement last framed
    std::array<float, 3> fitted_extents{0.0f, 0.0f, 0.0f};  // the mesh's box at the last fit
    std::array<float, 3> box_extents{-1.0f, -1.0f, -1.0f};  // what the clipping box was fitted to
    int seen_nv = -1, seen_nf = -1;
    std::string seen_name;
    unsigned long legend_placement = 0;  // the legend belongs to this placement
    QImage legend_image;
    qreal legend_ratio = 0.0;
    // What the last paint drew with; picking unprojects through it.
    ViewMatrices last_paint;
    // The model-view matrix in force when the light's direction was last set.
    double light_matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

// Direction of a light at an altitude (degrees from +z) and an azimuth
// (degrees about z from +x towards +y), as a directional GL position.
Vector light_direction(float alti, float azim);
