// Colouring through the main window on a virtual display: the panels'
// signals reach the view and the frame shows the colours.
#include <gtest/gtest.h>

#include <QImage>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "colouring/QtMeshTerrainWidget.h"
#include "colouring/QtMorphogenWidget.h"
#include "processing/QtMeshEditorDialogue.h"
#include "tests/support/TempDir.h"
#include "toolkit/ScriptedDialogs.h"
#include "viewer/QtGLWidget.h"
#include "viewer/QtMainWindow.h"

namespace {

// A flat n by n grid in z = 0 over 0..1, with "heat" = x and "cold" = 1 - x.
std::string heat_grid(int n)
{
    std::string obj = "mn heat cold\n";
    for (int r = 0; r <= n; ++r)
        for (int c = 0; c <= n; ++c)
            obj += "v " + std::to_string(double(c) / n) + " " + std::to_string(double(r) / n) + " 0\n";
    for (int r = 0; r <= n; ++r)
        for (int c = 0; c <= n; ++c)
            obj += "m " + std::to_string(double(c) / n) + " " + std::to_string(1.0 - double(c) / n) + "\n";
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            const int a = r * (n + 1) + c + 1, b = a + 1, d = a + n + 1, e = d + 1;
            obj += "f " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(e) + "\n";
            obj += "f " + std::to_string(a) + " " + std::to_string(e) + " " + std::to_string(d) + "\n";
        }
    return obj;
}

struct Band {
    double red = 0, green = 0, blue = 0;
};

// Mean colour of the mesh's pixels (those not white) in a vertical band
// from fraction `from` to `to` of the mesh's width on screen.
Band band(const QImage& image, double from, double to)
{
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    Band b;
    int n = 0;
    const int x0 = left + int((right - left) * from), x1 = left + int((right - left) * to);
    for (int y = 0; y < image.height(); ++y)
        for (int x = x0; x < x1; ++x) {
            const QRgb p = image.pixel(x, y);
            if (p == qRgb(255, 255, 255)) continue;
            b.red += qRed(p);
            b.green += qGreen(p);
            b.blue += qBlue(p);
            ++n;
        }
    if (n > 0) {
        b.red /= n;
        b.green /= n;
        b.blue /= n;
    }
    return b;
}

class ColouringView : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::internal::CaptureStdout();
        ASSERT_TRUE(window.start({"halvane"}));
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(view().isValid()) << "no OpenGL context";
    }

    QtGLWidget& view() { return *window.view(); }
    QtMorphogenWidget& morphogens() { return *window.mesh_editor->morphogen_panel; }

    QImage frame()
    {
        QTest::qWait(80);
        return view().grab_image();
    }

    TempDir dir;
    ScriptedDialogs dialogs;
    QtMainWindow window{dialogs};
};

}  // namespace

TEST_F(ColouringView, AMorphogenSwitchedOnInRedReddensTheMeshWhereItIsHigh)
{
    const QString path = QString::fromStdString(dir.write("heat.obj", heat_grid(8)));
    testing::internal::CaptureStdout();
    ASSERT_EQ(view().load_mesh(path), LoadResult::Loaded);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(morphogens().tree->topLevelItemCount(), 2);
    EXPECT_EQ(morphogens().tree->topLevelItem(0)->text(1), "heat");

    // Every morphogen off: the base colour (black) everywhere.
    morphogens().tree->topLevelItem(1)->setCheckState(0, Qt::Checked);
    morphogens().tree->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    const QImage before = frame();
    const Band cool_before = band(before, 0.05, 0.3), hot_before = band(before, 0.7, 0.95);
    EXPECT_LT(std::abs(hot_before.red - cool_before.red), 10.0);

    // "heat" on, in red.
    morphogens().tree->topLevelItem(0)->setCheckState(0, Qt::Checked);
    const QImage after = frame();
    const Band cool = band(after, 0.05, 0.3), hot = band(after, 0.7, 0.95);
    EXPECT_GT(hot.red, cool.red + 30.0) << hot.red << " " << cool.red;
    EXPECT_GT(hot.red, hot_before.red + 30.0);
    EXPECT_LT(hot.green, 30.0);
    EXPECT_LT(hot.blue, 30.0);
    EXPECT_FLOAT_EQ(view().mesh.vertex_colours[8].x, 0.5f);  // heat 1: black + red / 2

    // A net file keeps the list; its mesh has no values, so every vertex takes the base colour.
    const QString net = QString::fromStdString(dir.write("tri.net", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n"));
    testing::internal::CaptureStdout();
    ASSERT_EQ(view().load_mesh(net), LoadResult::Loaded);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(morphogens().tree->topLevelItemCount(), 2);
    EXPECT_EQ(morphogens().tree->topLevelItem(0)->checkState(0), Qt::Checked);
    morphogens().tree->topLevelItem(1)->setCheckState(0, Qt::Checked);
    for (const Vector& c : view().mesh.vertex_colours) EXPECT_EQ(c.x + c.y + c.z, 0.0f);
}

TEST_F(ColouringView, ApplyOnTheTerrainTabBuildsAndColoursTheViewsMesh)
{
    QtMeshEditorDialogue& editor = *window.mesh_editor;
    editor.show();
    editor.tabs()->setCurrentWidget(editor.terrain_panel);
    // A ramp from blue to red over a heightmap brighter on the right.
    Heightmap& h = editor.terrain_panel->heightmap;
    for (int y = 0; y < Heightmap::size; ++y)
        for (int x = 0; x < Heightmap::size; ++x)
            for (int ch = 0; ch < 3; ++ch) h.rgb[(std::size_t(y) * Heightmap::size + x) * 3 + ch] = (unsigned char)x;
    editor.terrain_panel->colour_map.map_colours = {Rgb{0, 0, 255}, Rgb{255, 0, 0}};
    testing::internal::CaptureStdout();
    editor.apply_button()->click();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("4096, 7938 \n"), std::string::npos) << out;
    EXPECT_NE(out.find("terrain vertex colours...\n"), std::string::npos) << out;
    ASSERT_EQ(view().mesh.nv, 4096);
    EXPECT_FLOAT_EQ(view().mesh.vertex_colours[0].z, 1.0f);  // lowest: blue
    float reddest = 0.0f;
    for (const Vector& c : view().mesh.vertex_colours) reddest = std::max(reddest, c.x);
    EXPECT_GT(reddest, 0.95f);
}
