// The view on a virtual display: real frames read back from OpenGL.
#include <cmath>

#include <gtest/gtest.h>

#include <QWheelEvent>

#include "tests/support/GLViewTest.h"
#include "tests/support/NamedMeshes.h"
#include "view/mesh_drawing.h"

namespace {

// A unit square of two red triangles in the z = 0 plane, centred on (5, 5).
// Framed, its bounding circle (radius 0.707) spans 90 % of the 300 pixels:
// the square is 191 pixels wide, from x = 54.5 to 245.5.
const char* const red_square =
    "v 4.5 4.5 0\nv 5.5 4.5 0\nv 4.5 5.5 0\nv 5.5 5.5 0\nvc 1 0 0\nvc 1 0 0\nvc 1 0 0\nvc 1 0 0\nf 1 2 3\nf 2 4 3\n";

bool is_white(QRgb p)
{
    return qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255;
}
bool is_reddish(QRgb p)
{
    return qRed(p) > 100 && qGreen(p) < 40 && qBlue(p) < 40;
}
bool is_dark(QRgb p)
{
    return qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100;
}
bool is_greenish(QRgb p)
{
    return qGreen(p) > 150 && qRed(p) < 100 && qBlue(p) < 100;
}
// Neutral and light: the colour of a mesh read without colours.
bool is_light_grey(QRgb p)
{
    return qRed(p) > 140 && qRed(p) < 250 && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
}

class ViewTest : public GLViewTest {
protected:
    ViewTest() { first_mesh = red_square; }
    int red() { return count_pixels(frame(), is_reddish); }

    void wheel(int notches)
    {
        const QPointF at(150, 150);
        QWheelEvent event(at, view.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
    }
};

}  // namespace

TEST_F(ViewTest, EveryModeDrawsAndLeavesLightingOnPolygonsWireframeAndBoxAsTheyShould)
{
    for (int mode = 0; mode <= 8; ++mode) {
        view.set_render_mode(mode);
        EXPECT_LT(count_pixels(frame(), is_white), 300 * 300) << "mode " << mode;
        view.makeCurrent();
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << "mode " << mode;
        view.doneCurrent();
    }

    view.set_render_mode(RENDER_POLYGONS);
    QImage image = frame();
    ASSERT_EQ(image.size(), QSize(300, 300));
    EXPECT_TRUE(is_white(image.pixel(40, 150)));
    const int filled = count_pixels(image, is_reddish);  // about 191 x 191
    EXPECT_GT(filled, 185 * 185);
    EXPECT_LT(filled, 197 * 197);

    // Only black edges: the left one and the diagonal.
    view.set_render_mode(RENDER_WIREFRAME);
    image = frame();
    EXPECT_EQ(count_pixels(image, is_reddish), 0);
    bool left_edge = false;
    for (int x = 52; x <= 57; ++x) left_edge = left_edge || is_dark(image.pixel(x, 150));
    EXPECT_TRUE(left_edge);
    EXPECT_TRUE(is_dark(image.pixel(150, 150)) || is_dark(image.pixel(151, 150)));
    const int dark = count_pixels(image, is_dark);
    EXPECT_GT(dark, 4 * 190);
    EXPECT_LT(dark, 20 * 190);

    view.set_render_mode(RENDER_BOUNDING_BOX);
    view.background = QColor(0, 0, 255);
    image = frame();
    EXPECT_EQ(count_pixels(image, is_reddish), 0);
    EXPECT_EQ(image.pixel(150, 150), qRgb(0, 0, 255));
    EXPECT_GT(count_pixels(image, is_greenish), 4 * 180);
}

TEST_F(ViewTest, DottedHiddenLineModesDrawVisibleEdgesSolid)
{
    // Tilted away from the viewer, so lines and fill differ in depth slope.
    load("v 4.5 4.5 -0.7\nv 5.5 4.5 -0.7\nv 4.5 5.5 0.7\nv 5.5 5.5 0.7\nf 1 2 3\nf 2 4 3\n");
    const int half = int(std::lround(0.5f * view.pixels_per_unit()));
    for (int mode : {RENDER_WIREFRAME_DOTTED, RENDER_FACE_NORMALS}) {
        view.set_render_mode(mode);
        const QImage image = frame();
        // Every row along the square's left edge has a dark pixel: no dashes.
        int gaps = 0;
        for (int y = 150 - half + 10; y < 150 + half - 10; ++y) {
            bool dark = false;
            for (int x = 150 - half - 3; x <= 150 - half + 3; ++x) dark = dark || is_dark(image.pixel(x, y));
            gaps += !dark;
        }
        EXPECT_EQ(gaps, 0) << "mode " << mode;
        EXPECT_TRUE(is_white(image.pixel(120, 150))) << "mode " << mode;
    }
}

TEST_F(ViewTest, MeshesOfAnySizeAndPlaceOpenFramedInBothProjections)
{
    // A mesh 1,000 units across, and the same far from the origin, seen
    // straight on: the octahedron's corners lie on its bounding sphere, so
    // it spans 90 % of the 300 pixels.
    auto octahedron = named::octahedron();
    for (const Vector& offset : {Vector(0, 0, 0), Vector(5000, -3000, 800)}) {
        ASSERT_EQ(load(obj_text(*octahedron, 500.0f, offset)), LoadResult::Loaded);
        for (int projection : {1, 0}) {
            view.projection_mode = projection;
            const QRect drawn = bounding_box(frame(), is_drawn);
            // In perspective the corners in the middle plane look in from
            // the sphere's outline by the cosine of its half angle (20.4 degrees).
            const int across = projection == 1 ? 270 : 253;
            EXPECT_NEAR(drawn.width(), across, 4) << projection;
            EXPECT_NEAR(drawn.height(), across, 4) << projection;
            EXPECT_NEAR(drawn.center().x(), 150, 3) << projection;
            EXPECT_NEAR(drawn.center().y(), 150, 3) << projection;
        }
        view.projection_mode = 1;
    }

    // Turned, zoomed and panned away; Fit View brings it back straight on.
    drag(view, Qt::LeftButton, QPoint(150, 150), QPoint(200, 120));
    drag(view, Qt::RightButton, QPoint(150, 150), QPoint(150, 250));
    QTest::mouseMove(&view, QPoint(150, 150));
    QTest::mousePress(&view, Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 150));
    QTest::mouseMove(&view, QPoint(60, 150));
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::ShiftModifier, QPoint(60, 150));
    EXPECT_LT(bounding_box(frame(), is_drawn).center().x(), 120);
    view.fitview_slot();
    EXPECT_FLOAT_EQ(view.camera.transform[0], 1.0f);
    const QRect fitted = bounding_box(frame(), is_drawn);
    EXPECT_NEAR(fitted.width(), 270, 4);
    EXPECT_NEAR(fitted.center().x(), 150, 3);

    // A flat mesh lying in y (a terrain) is seen from above at a slant.
    std::string flat;
    for (int r = 0; r <= 4; ++r)
        for (int c = 0; c <= 4; ++c) flat += "v " + std::to_string(c * 60) + " 0 " + std::to_string(r * 60) + "\n";
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const std::string a = std::to_string(r * 5 + c + 1), b = std::to_string(r * 5 + c + 2),
                              d = std::to_string(r * 5 + c + 6), e = std::to_string(r * 5 + c + 7);
            flat += "f " + a + " " + d + " " + e + "\nf " + a + " " + e + " " + b + "\n";
        }
    ASSERT_EQ(load(flat), LoadResult::Loaded);
    const QRect ground = bounding_box(frame(), is_drawn);
    EXPECT_GT(ground.height(), 60);
    EXPECT_GT(ground.width(), 150);
}

TEST_F(ViewTest, WheelAndRightDragZoomByFactorsPanMovesAndTheDepthRangeFollows)
{
    const float fitted = view.pixels_per_unit();
    EXPECT_NEAR(fitted, 0.45f * 300.0f / std::sqrt(0.5f), 0.01f);
    EXPECT_FLOAT_EQ(view.magnification, 1.0f);

    // A notch away zooms in by a fifth, towards the user out again.
    wheel(1);
    EXPECT_FLOAT_EQ(view.magnification, 1.2f);
    wheel(-1);
    EXPECT_FLOAT_EQ(view.magnification, 1.0f);

    // 200 pixels up double the size, whatever the mesh's size; down halves it.
    drag(view, Qt::RightButton, QPoint(100, 250), QPoint(100, 50));
    EXPECT_NEAR(view.magnification, 2.0f, 1e-5f);
    EXPECT_EQ(view.drag_mode, -1);
    drag(view, Qt::RightButton, QPoint(100, 50), QPoint(100, 250));
    EXPECT_NEAR(view.magnification, 1.0f, 1e-5f);
    view.magnification = 0.5f;
    const int small = red();
    EXPECT_GT(small, 92 * 92);
    EXPECT_LT(small, 100 * 100);

    // Zoom never goes through zero: a long drag down leaves a speck, not a
    // mirrored picture.
    for (int i = 0; i < 20; ++i) drag(view, Qt::RightButton, QPoint(100, 10), QPoint(100, 290));
    EXPECT_GT(view.magnification, 0.0f);
    EXPECT_LT(red(), 50);
    EXPECT_GT(view.zoom, -1.0f);
    EXPECT_LT(view.zoom, 0.0f);

    // Zoomed far in, the mesh fills the view in both projections: no depth
    // range cuts it away.
    view.magnification = 40.0f;
    EXPECT_EQ(red(), 300 * 300);
    view.projection_mode = 0;
    view.update_projection();
    EXPECT_EQ(red(), 300 * 300);

    // Toggling the projection keeps the size on screen: the bounding
    // sphere's outline, that is; the square in its middle plane looks
    // smaller by the cosine of the outline's half angle (20.4 degrees), its
    // area by 0.88.
    view.magnification = 0.5f;
    const int persp = red();
    EXPECT_NEAR(persp, small * 0.88, small / 50);
    view.projection_mode = 1;

    // Shift and the left button pan: the square follows the pointer.
    QTest::mouseMove(&view, QPoint(150, 150));
    QTest::mousePress(&view, Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 150));
    QTest::mouseMove(&view, QPoint(200, 130));
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::ShiftModifier, QPoint(200, 130));
    const QRect moved = bounding_box(frame(), is_reddish);
    EXPECT_NEAR(moved.center().x(), 200, 2);
    EXPECT_NEAR(moved.center().y(), 130, 2);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(view.camera.transform[i], i % 5 == 0 ? 1.0f : 0.0f);

    // Turned about the vertical axis, the square looks narrower.
    view.fitview_slot();
    const int whole = red();
    drag(view, Qt::LeftButton, QPoint(150, 150), QPoint(220, 150));
    EXPECT_FALSE(view.camera.dragging);
    EXPECT_LT(red(), whole * 9 / 10);
}

TEST_F(ViewTest, AMeshWithoutColoursIsLightGreyAndShaded)
{
    load("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0.4\nf 1 2 3\nf 2 4 3\n");
    ASSERT_FALSE(view.document.mesh.has_colours);
    for (int mode : {RENDER_POLYGONS, RENDER_POLYGONS_WIREFRAME}) {
        view.set_render_mode(mode);
        const QImage image = frame();
        EXPECT_GT(count_pixels(image, is_light_grey), 150 * 150) << mode;
        EXPECT_EQ(count_pixels(image, is_reddish), 0) << mode;
    }
    // The two faces lean differently and shade differently.
    view.set_render_mode(RENDER_FACE_COLOURS);
    view.document.mesh.faces[0].colour = view.document.mesh.faces[1].colour = Vector(0.8f, 0.8f, 0.8f, 1.0f);
    view.light_position_slot(45.0f, 0.0f);
    const QImage image = frame();
    const QPoint first = bounding_box(image, is_drawn).center() + QPoint(-30, 30);
    const QPoint second = bounding_box(image, is_drawn).center() + QPoint(30, -30);
    EXPECT_NE(qRed(image.pixel(first)), qRed(image.pixel(second)));
}

TEST_F(ViewTest, UnreadableFileLeavesAnEmptyViewOtherNamesKeepTheMesh)
{
    view.magnification = 3.0f;
    printed(console, [&] { EXPECT_EQ(view.load_mesh("notes.txt"), LoadResult::NotAMesh); });
    EXPECT_EQ(view.document.mesh.nf, 2);
    EXPECT_FLOAT_EQ(view.magnification, 1.0f);

    const std::string err = printed_err(console, [&] {
        EXPECT_EQ(view.load_mesh(QString::fromStdString(dir.file("missing.obj"))), LoadResult::Failed);
    });
    EXPECT_NE(err.find("missing.obj"), std::string::npos);
    EXPECT_EQ(view.document.mesh.nf, 0);
    EXPECT_EQ(view.document.backup.nf, 0);
    EXPECT_EQ(count_pixels(frame(), is_white), 300 * 300);
}

TEST_F(ViewTest, SaveMeshAddsObjOnlyWhenMissingAndReportsFailure)
{
    const std::string out = printed(console, [&] {
        EXPECT_TRUE(view.save_mesh(QString::fromStdString(dir.file("copy"))));
        EXPECT_TRUE(view.save_mesh(QString::fromStdString(dir.file("a.obj.bak"))));
        EXPECT_FALSE(view.save_mesh(QString::fromStdString(dir.file("no/such/folder/x.obj"))));
    });
    EXPECT_FALSE(slurp(dir.file("copy.obj")).empty());
    EXPECT_FALSE(slurp(dir.file("a.obj.bak")).empty());
    EXPECT_NE(out.find("ERROR"), std::string::npos);
}

TEST_F(ViewTest, LightColoursChangeTheNextFrame)
{
    const QRgb before = frame().pixel(150, 150);
    view.light_colour_slot(Vector(1.0f, 1.0f, 1.0f, 1.0f), Vector(0.0f, 0.0f, 0.0f, 1.0f),
                           Vector(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_GT(qRed(frame().pixel(150, 150)), qRed(before));
}

TEST_F(ViewTest, TheFrameHasTheScreensPixels)
{
    const qreal ratio = view.devicePixelRatioF();
    QTest::qWait(60);
    const QImage raw = view.grab_image();
    EXPECT_EQ(raw.size(), QSize(int(300 * ratio), int(300 * ratio)));
    // The square sits in the middle of the whole frame, not in a corner of it.
    const QRect square = bounding_box(raw, is_reddish);
    EXPECT_NEAR(square.center().x(), raw.width() / 2, 3 * ratio);
    EXPECT_NEAR(square.center().y(), raw.height() / 2, 3 * ratio);
    EXPECT_NEAR(square.width(), 191 * ratio, 4 * ratio);
}
