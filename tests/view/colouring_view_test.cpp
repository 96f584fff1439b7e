// Colouring through the main window on a virtual display: the morphogen
// panel's signals reach the view and the frame shows the colours. The terrain
// tab's colours are seen in the session test.
#include <gtest/gtest.h>

#include <QTreeWidget>

#include "panels/QtMeshEditorDialogue.h"
#include "panels/QtMorphogenWidget.h"
#include "tests/support/GLViewTest.h"

namespace {

// A flat n by n grid in z = 0 over 0..1, with "heat" = x and "cold" = 1 - x.
std::string heat_grid(int n)
{
    std::string v, m, f;
    for (int r = 0; r <= n; ++r)
        for (int c = 0; c <= n; ++c) {
            const double x = double(c) / n;
            v += "v " + std::to_string(x) + " " + std::to_string(double(r) / n) + " 0\n";
            m += "m " + std::to_string(x) + " " + std::to_string(1.0 - x) + "\n";
            if (r == n || c == n) continue;
            const int at = r * (n + 1) + c + 1;  // OBJ numbers from 1
            const std::string a = std::to_string(at), b = std::to_string(at + 1), d = std::to_string(at + n + 1),
                              e = std::to_string(at + n + 2);
            f += "f " + a + " " + b + " " + e + "\nf " + a + " " + e + " " + d + "\n";
        }
    return "mn heat cold\n" + v + m + f;
}

// Lit red of at least half strength; black and the white background are not.
bool is_red(QRgb p)
{
    return qRed(p) > 70 && qGreen(p) < 40 && qBlue(p) < 40;
}

// Drawn pixels in the view's top right corner, where the legend goes.
int corner_pixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < 90; ++y)
        for (int x = image.width() - 200; x < image.width(); ++x) n += is_drawn(image.pixel(x, y));
    return n;
}

}  // namespace

using ColouringView = GLWindowTest;

TEST_F(ColouringView, AMorphogenSwitchedOnInRedReddensTheMeshWhereItIsHigh)
{
    QtMorphogenWidget& morphogens = *window.mesh_editor->morphogen_panel;
    ASSERT_TRUE(open(heat_grid(8), "heat.obj"));
    ASSERT_EQ(morphogens.tree->topLevelItemCount(), 2);

    // Every morphogen off: the base colour (black) everywhere.
    morphogens.tree->topLevelItem(1)->setCheckState(0, Qt::Checked);
    morphogens.tree->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    QImage shown = frame();
    const int middle = shown.width() / 2;
    EXPECT_EQ(count_pixels(shown, is_red), 0);

    // "heat" on, in red: the high side (on the right) turns red, the low side stays dark.
    morphogens.tree->topLevelItem(0)->setCheckState(0, Qt::Checked);
    shown = frame();
    const int right = count_pixels(shown, is_red, middle), left = count_pixels(shown, is_red, 0, middle);
    EXPECT_GT(right, 2000) << left;
    EXPECT_LT(left, right / 10);
    EXPECT_FLOAT_EQ(document().mesh.vertex_colours[8].x, 0.5f);  // heat 1: black + red / 2

    // A net file keeps the list; its mesh has no values, so every vertex takes the base colour.
    ASSERT_TRUE(open("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n", "tri.net"));
    ASSERT_EQ(morphogens.tree->topLevelItemCount(), 2);
    EXPECT_EQ(morphogens.tree->topLevelItem(0)->checkState(0), Qt::Checked);
    morphogens.tree->topLevelItem(1)->setCheckState(0, Qt::Checked);
    for (const Vector& c : document().mesh.vertex_colours) EXPECT_EQ(c.x + c.y + c.z, 0.0f);
}

TEST_F(ColouringView, TheLegendShowsWhileColouringIsOnAndIsSavedWithTheRendering)
{
    work_in_test_folder();
    QtMorphogenWidget& morphogens = *window.mesh_editor->morphogen_panel;
    ASSERT_TRUE(open(heat_grid(8), "heat.obj"));
    EXPECT_EQ(corner_pixels(frame()), 0) << "the mesh keeps clear of the corner";

    morphogens.tree->topLevelItem(0)->setCheckState(0, Qt::Checked);
    const QImage on = frame();
    const int legend = corner_pixels(on);
    EXPECT_GT(legend, 2000);
    // A second bar for the second morphogen.
    morphogens.tree->topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_GT(corner_pixels(frame()), legend * 3 / 2);
    ASSERT_EQ(view().legend.bars.size(), 2u);
    EXPECT_EQ(view().legend.bars[0].title, "heat");
    EXPECT_EQ(view().legend.bars[0].ticks.back().text, "1");

    // In the saved picture too.
    dialogs.file_answers.push_back("picture.png");
    window.saveRenderImageEvent();
    QImage saved;
    ASSERT_TRUE(saved.load("picture.png"));
    EXPECT_GT(corner_pixels(saved.scaled(on.size())), legend);

    // Every morphogen off: gone.
    morphogens.tree->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    morphogens.tree->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(corner_pixels(frame()), 0);

    // A height ramp shows its own bar; Reload takes the colours and the legend away.
    printed(console, [&] {
        view().build_vertexcoloursterrain_slot({QColor(0, 0, 255), QColor(255, 0, 0)}, {0.0f, 1.0f});
    });
    EXPECT_GT(corner_pixels(frame()), 1000);
    ASSERT_EQ(view().legend.bars.size(), 1u);
    EXPECT_EQ(view().legend.bars[0].ticks.size(), 2u);
    printed(console, [&] { view().reload_slot(); });
    EXPECT_EQ(corner_pixels(frame()), 0);
}
