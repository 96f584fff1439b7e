// Middle-click picking in the view, edge traversal from the picked face and
// the red overlay, on a virtual display with the matrices the view really
// paints with.
#include <cmath>

#include <GL/glu.h>
#include <gtest/gtest.h>

#include "tests/support/GLViewTest.h"
#include "tests/support/NamedMeshes.h"
#include "view/mesh_drawing.h"

namespace {

// Two unit triangles, one above the other: face 1 at z = 0, face 2 at z = 1.
const char* const stacked = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 0 1 1\nf 1 2 3\nf 4 5 6\n";

// A blue unit square far from the origin, split along its diagonal.
const char* const far_square =
    "v 1000 -2000 500\nv 1001 -2000 500\nv 1000 -1999 500\nv 1001 -1999 500\n"
    "vc 0 0 1\nvc 0 0 1\nvc 0 0 1\nvc 0 0 1\nf 1 2 3\nf 2 4 3\n";

bool is_red(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
}

struct OnScreen {
    QPoint pixel;  // widget (logical) pixels, y downwards
    double depth;  // window depth, smaller is nearer
};

// Where the view draws the model point p, from the viewport and matrices
// its last paint left; the viewport counts the screen's pixels, which at a
// device pixel ratio of 2 are half a widget pixel each.
OnScreen project(QtGLWidget& view, const Vector& p)
{
    view.makeCurrent();
    GLint viewport[4];
    GLdouble model[16], projection[16];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    view.doneCurrent();
    const Vector q = p - view.document.mesh.centre;
    double wx = 0, wy = 0, wz = 0;
    gluProject(q.x, q.y, q.z, model, projection, viewport, &wx, &wy, &wz);
    const double ratio = view.devicePixelRatioF();
    return {QPoint(int(std::floor(wx / ratio)), int(std::floor((viewport[3] - wy) / ratio))), wz};
}

Vector centroid(const Mesh& m, int face)
{
    const Face& f = m.faces[face];
    return (*f.v[0] + *f.v[1] + *f.v[2]) / 3.0f;
}

class PickingTest : public GLViewTest {
protected:
    void load_and_paint(const char* text)
    {
        ASSERT_EQ(load(text), LoadResult::Loaded);
        paint();
    }

    void paint() { QTest::qWait(60); }

    // A middle click at the pixel; what it printed.
    std::string middle_click(QPoint at)
    {
        return printed(console, [&] {
            QTest::mousePress(&view, Qt::MiddleButton, {}, at);
            QTest::mouseRelease(&view, Qt::MiddleButton, {}, at);
        });
    }
};

}  // namespace

TEST_F(PickingTest, OverlappingFacesPickTheNearer)
{
    load_and_paint(stacked);
    const OnScreen low = project(view, centroid(view.document.mesh, 0));
    const OnScreen high = project(view, centroid(view.document.mesh, 1));
    EXPECT_LE((low.pixel - high.pixel).manhattanLength(), 1);
    const int nearer = high.depth < low.depth ? 2 : 1;
    EXPECT_EQ(middle_click(low.pixel), "\nSelected: " + std::to_string(nearer) + " \n");
    EXPECT_EQ(view.document.mesh.picked_face, nearer);

    // Seen from the other side, the other face is nearer.
    const float half_turn[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
    std::copy(half_turn, half_turn + 16, view.camera.transform);
    paint();
    const OnScreen turned = project(view, centroid(view.document.mesh, 0));
    EXPECT_EQ(middle_click(turned.pixel), "\nSelected: " + std::to_string(3 - nearer) + " \n");

    // And in perspective.
    load_and_paint("v 0 0 0\nv 50 0 0\nv 0 50 0\nv 0 0 20\nv 50 0 20\nv 0 50 20\nf 1 2 3\nf 4 5 6\n");
    view.projection_mode = 0;
    view.update_projection();
    paint();
    const OnScreen a = project(view, centroid(view.document.mesh, 0)),
                   b = project(view, centroid(view.document.mesh, 1));
    middle_click(b.depth < a.depth ? b.pixel : a.pixel);
    EXPECT_EQ(view.document.mesh.picked_face, b.depth < a.depth ? 2 : 1);
}

TEST_F(PickingTest, FarFromTheOriginTheFaceUnderThePointerIsPickedRedAndGrown)
{
    load_and_paint(far_square);
    // Sent before anything was picked: still kept for the click. A miss
    // picks nothing and grows nothing.
    view.edgetraversal_slot(1, 10);
    EXPECT_EQ(middle_click(QPoint(5, 5)), "\nSelected: -1 \n");
    for (const Face& f : view.document.mesh.faces) EXPECT_EQ(f.marked, 0);
    for (int face : {1, 0}) {
        const OnScreen at = project(view, centroid(view.document.mesh, face));
        EXPECT_EQ(middle_click(at.pixel), "\nSelected: " + std::to_string(face + 1) + " \n");
        EXPECT_EQ(view.document.mesh.picked_face, face + 1);
        EXPECT_EQ(view.document.mesh.faces[std::size_t(1 - face)].marked, 1);  // grown over the flat edge
    }
    // A later miss keeps the pick.
    EXPECT_EQ(middle_click(QPoint(295, 5)), "\nSelected: 1 \n");
    view.markcurrent_slot();
    EXPECT_EQ(view.document.traversal.group_count, 1);
    EXPECT_EQ(view.document.mesh.faces[1].group, 1);

    const QPoint at = project(view, centroid(view.document.mesh, 0)).pixel;
    for (int mode = 0; mode <= 7; ++mode) {
        view.render_mode = mode;
        paint();
        EXPECT_TRUE(is_red(view.grab_image().pixel(at))) << "render mode " << mode;
    }
}

TEST_F(PickingTest, APickAfterTheFacesChangedFindsTheFaceUnderThePointer)
{
    load_and_paint(far_square);
    // Replace the faces as subdivision does, leaving the derived data alone.
    Mesh grid;
    grid.allocate_vertices(9);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) grid.vertices[j * 3 + i] = Vector(1000.0f + i * 0.5f, -2000.0f + j * 0.5f, 500.0f);
    grid.allocate_faces(8);
    for (int f = 0; f < 8; ++f) {
        const int a = (f / 4) * 3 + (f / 2) % 2;  // corner of quad f / 2
        grid.set_face(f, a, f % 2 ? a + 4 : a + 1, f % 2 ? a + 3 : a + 4);
    }
    view.document.mesh.assign(grid);
    paint();
    for (int face : {5, 2}) {
        middle_click(project(view, centroid(view.document.mesh, face)).pixel);
        EXPECT_EQ(view.document.mesh.picked_face, face + 1);
    }
}

namespace {

// The traversal's tint over the plain grey: clearly blue.
bool is_traversal_blue(QRgb p)
{
    return qBlue(p) > qRed(p) + 60 && qBlue(p) > qGreen(p) + 20;
}
bool is_plain_grey(QRgb p)
{
    return qRed(p) > 140 && qRed(p) < 250 && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
}

}  // namespace

TEST_F(PickingTest, TheTraversalAndTheMarkedGroupsAreTintedInTheFilledModes)
{
    // A flat grey 8 x 8 grid: every face the same size on screen.
    load_and_paint(obj_text(*named::open_grid(8)).c_str());
    const Mesh& mesh = view.document.mesh;
    const QPoint middle = project(view, centroid(mesh, 0)).pixel;
    middle_click(middle);
    ASSERT_EQ(mesh.picked_face, 1);
    view.edgetraversal_slot(3, 10);
    int marked = 0;
    for (const Face& f : mesh.faces) marked += f.marked;
    ASSERT_GT(marked, 3);
    ASSERT_LT(marked, mesh.nf / 2);

    // Each face is 1/128 of the framed grid's area.
    const double face_pixels = std::pow(view.pixels_per_unit() * 8.0, 2) / 128.0;
    for (int mode : {RENDER_POLYGONS, RENDER_POLYGONS_WIREFRAME, RENDER_FACE_COLOURS}) {
        view.set_render_mode(mode);
        const int blue = count_pixels(frame(), is_traversal_blue);
        EXPECT_GT(blue, (marked - 1) * face_pixels * 0.6) << mode;
        EXPECT_LT(blue, marked * face_pixels * 1.2) << mode;
    }

    // Marked as a group: tinted in the group's colour instead, and what
    // "Save ALL..." would write is what shows.
    view.set_render_mode(RENDER_POLYGONS);
    const int grey_before = count_pixels(frame(), is_plain_grey);
    view.markcurrent_slot();
    const QImage grouped = frame();
    EXPECT_LT(count_pixels(grouped, is_traversal_blue), face_pixels);
    const int grey_after = count_pixels(grouped, is_plain_grey);
    EXPECT_NEAR(grey_after, grey_before, face_pixels * 2) << "the group keeps its tint";
    EXPECT_LT(grey_after, mesh.nf * face_pixels - (marked - 1) * face_pixels * 0.6);
}

TEST_F(PickingTest, PicksTheFaceUnderThePointerAtThisDevicePixelRatio)
{
    // Small faces: a pick half the view off would find another one.
    load_and_paint(obj_text(*named::open_grid(10)).c_str());
    for (int face : {0, 57, 199, 120}) {
        const QPoint at = project(view, centroid(view.document.mesh, face)).pixel;
        EXPECT_EQ(middle_click(at), "\nSelected: " + std::to_string(face + 1) + " \n")
            << "at " << at.x() << ", " << at.y();
    }
}
