// The view on a virtual display: real frames read back from OpenGL.
#include <gtest/gtest.h>

#include "tests/support/GLViewTest.h"
#include "view/mesh_drawing.h"

namespace {

// A unit square of two red triangles in the z = 0 plane, centred on (5, 5):
// 200 x 200 pixels at the starting zoom, whatever its position.
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

class ViewTest : public GLViewTest {
protected:
    ViewTest() { first_mesh = red_square; }
    int red() { return count_pixels(frame(), is_reddish); }
};

}  // namespace

TEST_F(ViewTest, EveryModeDrawsAndLeavesLightingOnPolygonsWireframeAndBoxAsTheyShould)
{
    for (int mode = 0; mode <= 7; ++mode) {
        view.render_mode = mode;
        EXPECT_LT(count_pixels(frame(), is_white), 300 * 300) << "mode " << mode;
        view.makeCurrent();
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << "mode " << mode;
        view.doneCurrent();
    }

    view.render_mode = RENDER_POLYGONS;
    QImage image = frame();
    ASSERT_EQ(image.size(), QSize(300, 300));
    EXPECT_TRUE(is_white(image.pixel(40, 150)));
    const int filled = count_pixels(image, is_reddish);  // about 200 x 200
    EXPECT_GT(filled, 190 * 190);
    EXPECT_LT(filled, 210 * 210);

    // Only black edges: the left one and the diagonal.
    view.render_mode = RENDER_WIREFRAME;
    image = frame();
    EXPECT_EQ(count_pixels(image, is_reddish), 0);
    EXPECT_TRUE(is_dark(image.pixel(50, 150)) || is_dark(image.pixel(51, 150)));
    EXPECT_TRUE(is_dark(image.pixel(150, 150)) || is_dark(image.pixel(151, 150)));
    const int dark = count_pixels(image, is_dark);
    EXPECT_GT(dark, 4 * 200);
    EXPECT_LT(dark, 20 * 200);

    view.render_mode = RENDER_BOUNDING_BOX;
    view.background = QColor(0, 0, 255);
    image = frame();
    EXPECT_EQ(count_pixels(image, is_reddish), 0);
    EXPECT_EQ(image.pixel(150, 150), qRgb(0, 0, 255));
    EXPECT_GT(count_pixels(image, is_greenish), 4 * 190);
}

TEST_F(ViewTest, DottedHiddenLineModesDrawVisibleEdgesSolid)
{
    // Tilted away from the viewer, so lines and fill differ in depth slope.
    load("v 4.5 4.5 -0.7\nv 5.5 4.5 -0.7\nv 4.5 5.5 0.7\nv 5.5 5.5 0.7\nf 1 2 3\nf 2 4 3\n");
    for (int mode : {RENDER_WIREFRAME_DOTTED, RENDER_FACE_NORMALS}) {
        view.render_mode = mode;
        const QImage image = frame();
        // Every row along the square's left edge has a dark pixel: no dashes.
        int gaps = 0;
        for (int y = 60; y < 240; ++y) {
            bool dark = false;
            for (int x = 47; x <= 53; ++x) dark = dark || is_dark(image.pixel(x, y));
            gaps += !dark;
        }
        EXPECT_EQ(gaps, 0) << "mode " << mode;
        EXPECT_TRUE(is_white(image.pixel(120, 150))) << "mode " << mode;
    }
}

TEST_F(ViewTest, DragsTurnAndZoomPerspectiveResizes)
{
    // Ten pixels up raise the zoom by one; in orthographic mode the picture
    // shrinks with it.
    drag(view, Qt::RightButton, QPoint(100, 150), QPoint(100, 140));
    EXPECT_FLOAT_EQ(view.zoom, -199.0f);
    EXPECT_EQ(view.drag_mode, -1);
    view.zoom = -100.0f;
    const int small = red();
    EXPECT_GT(small, 95 * 95);
    EXPECT_LT(small, 105 * 105);

    // Turned about the vertical axis, the square looks narrower.
    drag(view, Qt::LeftButton, QPoint(150, 150), QPoint(220, 150));
    EXPECT_FALSE(view.camera.dragging);
    const int turned = red();
    EXPECT_LT(turned, small * 9 / 10);

    view.projection_mode = 0;
    view.update_projection();
    const int persp = red();
    EXPECT_GT(persp, 0);
    EXPECT_NE(persp, turned);
}

TEST_F(ViewTest, UnreadableFileLeavesAnEmptyViewOtherNamesKeepTheMesh)
{
    view.zoom = -50.0f;
    printed(console, [&] { EXPECT_EQ(view.load_mesh("notes.txt"), LoadResult::NotAMesh); });
    EXPECT_EQ(view.document.mesh.nf, 2);
    EXPECT_FLOAT_EQ(view.zoom, -200.0f);

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
