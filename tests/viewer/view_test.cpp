// The view on a virtual display: real frames read back from OpenGL.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "tests/support/TempDir.h"
#include "viewer/MeshDrawing.h"
#include "viewer/QtGLWidget.h"

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

int count(const QImage& image, bool (*test)(QRgb))
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

void deliver(QObject& target, QEvent& event)
{
    target.event(&event);
}

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.resize(300, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        ASSERT_TRUE(view.isValid()) << "no OpenGL context";
        const std::string path = dir.write("square.obj", red_square);
        testing::internal::CaptureStdout();
        EXPECT_EQ(view.load_mesh(QString::fromStdString(path)), LoadResult::Loaded);
        testing::internal::GetCapturedStdout();
    }

    // Lets the timer paint at least once more, then reads the frame back.
    QImage frame()
    {
        QTest::qWait(60);
        return view.grab_image();
    }

    TempDir dir;
    QtGLWidget view;
};

}  // namespace

TEST_F(ViewTest, StartsAsDesigned)
{
    EXPECT_EQ(view.render_mode, 4);
    EXPECT_EQ(view.projection_mode, 1);
    EXPECT_EQ(view.drag_mode, -1);
    EXPECT_EQ(view.view_width, 300);
    EXPECT_EQ(view.view_height, 300);
    EXPECT_FLOAT_EQ(view.zoom, -200.0f);
    EXPECT_EQ(view.mesh.picked_face, -1);
    EXPECT_EQ(view.backup.nf, 2);
}

TEST_F(ViewTest, PolygonsFillTheSquareWithItsVertexColour)
{
    view.render_mode = RENDER_POLYGONS;
    const QImage image = frame();
    ASSERT_EQ(image.size(), QSize(300, 300));
    EXPECT_TRUE(is_reddish(image.pixel(150, 150)));
    EXPECT_TRUE(is_reddish(image.pixel(60, 60)));
    EXPECT_TRUE(is_white(image.pixel(40, 150)));
    EXPECT_TRUE(is_white(image.pixel(150, 260)));
    // About 200 x 200 filled pixels.
    const int filled = count(image, is_reddish);
    EXPECT_GT(filled, 190 * 190);
    EXPECT_LT(filled, 210 * 210);
}

TEST_F(ViewTest, WireframeDrawsOnlyBlackEdges)
{
    view.render_mode = RENDER_WIREFRAME;
    const QImage image = frame();
    EXPECT_TRUE(is_white(image.pixel(120, 150)));
    EXPECT_EQ(count(image, is_reddish), 0);
    // The square's left edge and the diagonal are drawn.
    EXPECT_TRUE(is_dark(image.pixel(50, 150)) || is_dark(image.pixel(51, 150)));
    EXPECT_TRUE(is_dark(image.pixel(150, 150)) || is_dark(image.pixel(151, 150)));
    const int dark = count(image, is_dark);
    EXPECT_GT(dark, 4 * 200);
    EXPECT_LT(dark, 20 * 200);
}

TEST_F(ViewTest, DottedHiddenLineModesDrawVisibleEdgesSolid)
{
    // Tilted away from the viewer, so lines and fill differ in depth slope.
    const std::string path = dir.write("tilted.obj", "v 4.5 4.5 -0.7\nv 5.5 4.5 -0.7\nv 4.5 5.5 0.7\nv 5.5 5.5 0.7\n"
                                                     "f 1 2 3\nf 2 4 3\n");
    testing::internal::CaptureStdout();
    view.load_mesh(QString::fromStdString(path));
    testing::internal::GetCapturedStdout();
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

TEST_F(ViewTest, BoundingBoxIsGreen)
{
    view.render_mode = RENDER_BOUNDING_BOX;
    const QImage image = frame();
    EXPECT_EQ(count(image, is_reddish), 0);
    EXPECT_TRUE(is_white(image.pixel(150, 150)));
    EXPECT_GT(count(image, is_greenish), 4 * 190);
}

TEST_F(ViewTest, EveryModeDrawsSomethingAndLeavesLightingOn)
{
    for (int mode = 0; mode <= 7; ++mode) {
        view.render_mode = mode;
        const QImage image = frame();
        EXPECT_LT(count(image, is_white), 300 * 300) << "mode " << mode;
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
    EXPECT_LT(count(after, is_reddish), count(before, is_reddish) * 9 / 10);
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
    const int small = count(frame(), is_reddish);
    EXPECT_GT(small, 95 * 95);
    EXPECT_LT(small, 105 * 105);
}

TEST_F(ViewTest, PerspectiveShowsTheModelAtAnotherSize)
{
    const int ortho = count(frame(), is_reddish);
    view.projection_mode = 0;
    view.update_projection();
    const int persp = count(frame(), is_reddish);
    EXPECT_GT(persp, 0);
    EXPECT_NE(persp, ortho);
}

TEST_F(ViewTest, BackgroundColourClearsTheFrame)
{
    view.background = QColor(0, 0, 255);
    const QImage image = frame();
    EXPECT_EQ(image.pixel(5, 5), qRgb(0, 0, 255));
}

TEST_F(ViewTest, ReloadRestoresTheMeshAsLoaded)
{
    view.mesh.vertices[0] = Vector(100.0f, 100.0f, 100.0f);
    view.mesh.vertex_colours[0] = Vector(0.0f, 1.0f, 0.0f);
    testing::internal::CaptureStdout();
    view.reload_slot();
    testing::internal::GetCapturedStdout();
    EXPECT_FLOAT_EQ(view.mesh.vertices[0].x, 4.5f);
    EXPECT_FLOAT_EQ(view.mesh.vertex_colours[0].x, 1.0f);
    EXPECT_FLOAT_EQ(view.mesh.centre.x, 5.0f);
    EXPECT_TRUE(is_reddish(frame().pixel(60, 240)));
}

TEST_F(ViewTest, ReloadAfterSimplifyingRestoresMorphogenValues)
{
    const std::string path = dir.write("m.obj", std::string("mn a\n") + red_square + "m 1\nm 2\nm 3\nm 4\n");
    testing::internal::CaptureStdout();
    view.load_mesh(QString::fromStdString(path));
    view.simplify_slot(50.0f);
    ASSERT_EQ(view.mesh.morphogen_values.size(), std::size_t(view.mesh.nv));
    view.reload_slot();
    testing::internal::GetCapturedStdout();
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
    EXPECT_EQ(count(frame(), is_white), 300 * 300);
}

TEST_F(ViewTest, NameWithoutMeshExtensionKeepsTheMeshButResetsZoom)
{
    view.zoom = -50.0f;
    testing::internal::CaptureStdout();
    EXPECT_EQ(view.load_mesh("notes.txt"), LoadResult::NotAMesh);
    testing::internal::GetCapturedStdout();
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
    deliver(view, drop);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), "/tmp/a.obj");

    QMimeData text;
    text.setText("not a list of files");
    QDropEvent plain(QPointF(10, 10), Qt::CopyAction, &text, Qt::NoButton, Qt::NoModifier);
    deliver(view, plain);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(ViewTest, LightPositionFollowsAltitudeAndAzimuth)
{
    view.light_position_slot(90.0f, 0.0f);
    EXPECT_NEAR(view.light_position.x, 1.0f, 1e-6f);
    EXPECT_NEAR(view.light_position.y, 0.0f, 1e-6f);
    EXPECT_NEAR(view.light_position.z, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(view.light_position.w, 0.0f);
}

TEST_F(ViewTest, LightColoursChangeTheNextFrame)
{
    const QRgb before = frame().pixel(150, 150);
    view.light_colour_slot(Vector(1.0f, 1.0f, 1.0f, 1.0f), Vector(0.0f, 0.0f, 0.0f, 1.0f), Vector(0.0f, 0.0f, 0.0f, 1.0f));
    const QRgb after = frame().pixel(150, 150);
    EXPECT_GT(qRed(after), qRed(before));
}
