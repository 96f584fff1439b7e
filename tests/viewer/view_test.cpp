// The view on a virtual display: real frames read back from OpenGL.
#include <gtest/gtest.h>

#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

#include "tests/support/GLViewTest.h"
#include "viewer/MeshDrawing.h"

namespace {

// A unit square of two red triangles in the z = 0 plane, centred on (5, 5):
// 200 x 200 pixels at the starting zoom, whatever its position.
const char* const red_square =
    "v 4.5 4.5 0\nv 5.5 4.5 0\nv 4.5 5.5 0\nv 5.5 5.5 0\n"
    "vc 1 0 0\nvc 1 0 0\nvc 1 0 0\nvc 1 0 0\n"
    "f 1 2 3\nf 2 4 3\n";

bool is_white(QRgb p) { return qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255; }
bool is_reddish(QRgb p) { return qRed(p) > 100 && qGreen(p) < 40 && qBlue(p) < 40; }
bool is_dark(QRgb p) { return qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100; }
bool is_greenish(QRgb p) { return qGreen(p) > 150 && qRed(p) < 100 && qBlue(p) < 100; }

class ViewTest : public GLViewTest {
protected:
    void SetUp() override
    {
        GLViewTest::SetUp();
        if (!HasFatalFailure()) {
            ASSERT_EQ(load(red_square), LoadResult::Loaded);
        }
    }
};

}  // namespace

TEST_F(ViewTest, PolygonsWireframeAndBoxDrawWhatTheyShould)
{
    view.render_mode = RENDER_POLYGONS;
    QImage image = frame();
    ASSERT_EQ(image.size(), QSize(300, 300));
    EXPECT_TRUE(is_reddish(image.pixel(60, 60)));
    EXPECT_TRUE(is_white(image.pixel(40, 150)));
    const int filled = count_pixels(image, is_reddish);  // about 200 x 200
    EXPECT_GT(filled, 190 * 190);
    EXPECT_LT(filled, 210 * 210);

    // Only black edges: the left one and the diagonal.
    view.render_mode = RENDER_WIREFRAME;
    image = frame();
    EXPECT_TRUE(is_white(image.pixel(120, 150)));
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
            gaps += dark ? 0 : 1;
        }
        EXPECT_EQ(gaps, 0) << "mode " << mode;
        EXPECT_TRUE(is_white(image.pixel(120, 150))) << "mode " << mode;
    }
}

TEST_F(ViewTest, EveryModeDrawsSomethingAndLeavesLightingOn)
{
    for (int mode = 0; mode <= 7; ++mode) {
        view.render_mode = mode;
        const QImage image = frame();
        EXPECT_LT(count_pixels(image, is_white), 300 * 300) << "mode " << mode;
        view.makeCurrent();
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << "mode " << mode;
        view.doneCurrent();
    }
}

TEST_F(ViewTest, LeftDragTurnsTheModel)
{
    const QImage before = frame();
    QTest::mouseMove(&view, QPoint(150, 150));
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(150, 150));
    EXPECT_EQ(view.drag_mode, 0);
    QTest::mouseMove(&view, QPoint(220, 150));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(220, 150));
    EXPECT_EQ(view.drag_mode, -1);
    EXPECT_FALSE(view.camera.dragging);
    const QImage after = frame();
    EXPECT_NE(before, after);
    // Turned about the vertical axis, the square looks narrower.
    EXPECT_LT(count_pixels(after, is_reddish), count_pixels(before, is_reddish) * 9 / 10);
}

TEST_F(ViewTest, RightDragOfTenPixelsUpRaisesZoomByOne)
{
    QTest::mouseMove(&view, QPoint(100, 150));
    QTest::mousePress(&view, Qt::RightButton, {}, QPoint(100, 150));
    EXPECT_EQ(view.drag_mode, 2);
    EXPECT_FLOAT_EQ(view.zoom, -200.0f);
    QTest::mouseMove(&view, QPoint(100, 140));
    QTest::mouseRelease(&view, Qt::RightButton, {}, QPoint(100, 140));
    EXPECT_FLOAT_EQ(view.zoom, -199.0f);
    EXPECT_FLOAT_EQ(view.zoom_step, 10.0f);
    // In orthographic mode the picture shrinks with it.
    view.zoom = -100.0f;
    const int small = count_pixels(frame(), is_reddish);
    EXPECT_GT(small, 95 * 95);
    EXPECT_LT(small, 105 * 105);
}

TEST_F(ViewTest, PerspectiveShowsTheModelAtAnotherSize)
{
    const int ortho = count_pixels(frame(), is_reddish);
    view.projection_mode = 0;
    view.update_projection();
    const int persp = count_pixels(frame(), is_reddish);
    EXPECT_GT(persp, 0);
    EXPECT_NE(persp, ortho);
}

TEST_F(ViewTest, ReloadRestoresTheMeshAsLoaded)
{
    view.mesh.vertices[0] = Vector(100.0f, 100.0f, 100.0f);
    view.mesh.vertex_colours[0] = Vector(0.0f, 1.0f, 0.0f);
    printed([&] { view.reload_slot(); });
    EXPECT_FLOAT_EQ(view.mesh.vertices[0].x, 4.5f);
    EXPECT_FLOAT_EQ(view.mesh.vertex_colours[0].x, 1.0f);
    EXPECT_FLOAT_EQ(view.mesh.centre.x, 5.0f);
    EXPECT_TRUE(is_reddish(frame().pixel(60, 240)));
}

TEST_F(ViewTest, ReloadAfterSimplifyingRestoresMorphogenValues)
{
    ASSERT_EQ(load(std::string("mn a\n") + red_square + "m 1\nm 2\nm 3\nm 4\n"), LoadResult::Loaded);
    printed([&] { view.simplify_slot(50.0f); });
    ASSERT_EQ(view.mesh.morphogen_values.size(), std::size_t(view.mesh.nv));
    printed([&] { view.reload_slot(); });
    ASSERT_EQ(view.mesh.nv, 4);
    ASSERT_EQ(view.mesh.morphogen_values.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(view.mesh.morphogen_values[i][0], float(i + 1));
}

TEST_F(ViewTest, UnreadableFileLeavesAnEmptyViewAndBackup)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(view.load_mesh(QString::fromStdString(dir.file("missing.obj"))), LoadResult::Failed);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("missing.obj"), std::string::npos);
    EXPECT_EQ(view.mesh.nf, 0);
    EXPECT_EQ(view.backup.nf, 0);
    EXPECT_EQ(count_pixels(frame(), is_white), 300 * 300);
}

TEST_F(ViewTest, NameWithoutMeshExtensionKeepsTheMeshButResetsZoom)
{
    view.zoom = -50.0f;
    printed([&] { EXPECT_EQ(view.load_mesh("notes.txt"), LoadResult::NotAMesh); });
    EXPECT_EQ(view.mesh.nf, 2);
    EXPECT_FLOAT_EQ(view.zoom, -200.0f);
}

TEST_F(ViewTest, SaveMeshAddsObjOnlyWhenMissingAndReportsFailure)
{
    testing::internal::CaptureStdout();
    EXPECT_TRUE(view.save_mesh(QString::fromStdString(dir.file("copy"))));
    EXPECT_TRUE(view.save_mesh(QString::fromStdString(dir.file("a.obj.bak"))));
    EXPECT_FALSE(view.save_mesh(QString::fromStdString(dir.file("no/such/folder/x.obj"))));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(slurp(dir.file("copy.obj")).empty());
    EXPECT_FALSE(slurp(dir.file("a.obj.bak")).empty());
    EXPECT_NE(out.find("ERROR"), std::string::npos);
    EXPECT_EQ(view.file_name, QString::fromStdString(dir.file("no/such/folder/x.obj")));
}

TEST_F(ViewTest, DropSendsTheFirstFileOnly)
{
    QSignalSpy spy(&view, &QtGLWidget::dragndrop_signal);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/a.obj"), QUrl::fromLocalFile("/tmp/b.obj")});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
    // Straight to the widget: the application only passes drops on during a
    // real drag.
    static_cast<QObject&>(view).event(&drop);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), "/tmp/a.obj");

    QMimeData text;
    text.setText("not a list of files");
    QDropEvent plain(QPointF(10, 10), Qt::CopyAction, &text, Qt::NoButton, Qt::NoModifier);
    static_cast<QObject&>(view).event(&plain);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(ViewTest, LightColoursChangeTheNextFrame)
{
    const QRgb before = frame().pixel(150, 150);
    view.light_colour_slot(Vector(1.0f, 1.0f, 1.0f, 1.0f), Vector(0.0f, 0.0f, 0.0f, 1.0f), Vector(0.0f, 0.0f, 0.0f, 1.0f));
    const QRgb after = frame().pixel(150, 150);
    EXPECT_GT(qRed(after), qRed(before));
}
