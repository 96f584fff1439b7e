// The processing panels on Qt's offscreen platform: what each control sends,
// and the classification table's way through the main window.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include "app/QtMainWindow.h"
#include "panels/QtFunctionWidget.h"
#include "panels/QtMeshClassifierWidget.h"
#include "panels/QtMeshEditorDialogue.h"
#include "panels/QtMeshSubdivideWidget.h"
#include "panels/QtMeshTraversalWidget.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"
#include "toolkit/ScriptedDialogs.h"
#include "view/QtGLWidget.h"

namespace {

// Argument `a` of the i-th signal caught (negative i counts from the end).
QVariant arg(const QSignalSpy& spy, int i, int a = 0)
{
    return spy.at(i < 0 ? spy.count() + i : i).at(a);
}

}  // namespace

TEST(ClassifierPanel, ControlsSendTheirValues)
{
    ScriptedDialogs dialogs;
    QtMeshClassifierWidget panel(dialogs);
    QSignalSpy weight(&panel, &QtMeshClassifierWidget::weight_signal);
    QSignalSpy threshold(&panel, &QtMeshClassifierWidget::patchthresh_signal);
    QSignalSpy previous(&panel, &QtMeshClassifierWidget::previouspatch_signal);
    QSignalSpy next(&panel, &QtMeshClassifierWidget::nextpatch_signal);
    QSignalSpy mode(&panel, &QtMeshClassifierWidget::sp_mode_signal);
    QSignalSpy patches(&panel, &QtMeshClassifierWidget::numpatches_signal);

    panel.weight_slider->setValue(37);
    panel.threshold_slider->setValue(42);
    ASSERT_EQ(weight.count() + threshold.count(), 2);
    EXPECT_EQ(arg(weight, 0).toFloat(), 0.37f);
    EXPECT_EQ(arg(threshold, 0).toInt(), 42);

    // Browsing stays within 0 ... num_patches - 1, each step followed by the threshold.
    panel.previous_button->click();
    EXPECT_EQ(arg(previous, 0).toInt(), 0);
    panel.num_patches = 3;
    for (int i = 0; i < 4; ++i) panel.next_button->click();
    ASSERT_EQ(next.count(), 4);
    EXPECT_EQ(arg(next, 1).toInt(), 2);
    EXPECT_EQ(arg(next, 3).toInt(), 2);
    EXPECT_EQ(threshold.count(), 6);
    EXPECT_EQ(arg(threshold, -1).toInt(), 42);

    panel.floyd_button->click();
    panel.dijkstra_button->click();
    ASSERT_EQ(mode.count(), 2);
    EXPECT_EQ(arg(mode, 0).toInt(), 0);
    EXPECT_EQ(arg(mode, 1).toInt(), 1);

    // A count from the view moves the slider, which comes back through the
    // same handler: the view hears it twice, and once when nothing moves.
    panel.numbpatchesEvent(7);
    EXPECT_EQ(panel.patches_slider->value(), 7);
    ASSERT_EQ(patches.count(), 2);
    EXPECT_EQ(arg(patches, 0).toInt() + arg(patches, 1).toInt(), 14);
    panel.numbpatchesEvent(7);
    EXPECT_EQ(patches.count(), 3);
    panel.patches_slider->setValue(12);
    EXPECT_EQ(arg(patches, -1).toInt(), 12);
}

TEST(ClassifierPanel, TableFileNamesGetTheirExtension)
{
    EXPECT_EQ(table_file_name("table"), "table.spt");
    EXPECT_EQ(table_file_name("/data/table.spt"), "/data/table.spt");
    EXPECT_EQ(table_file_name("/data/table.bin"), "/data/table.bin");
    EXPECT_EQ(table_file_name("/data/table.sp"), "/data/table.sp.spt");
    EXPECT_EQ(table_file_name("a.b"), "a.b.spt");

    ScriptedDialogs dialogs;
    QtMeshClassifierWidget panel(dialogs);
    QSignalSpy load(&panel, &QtMeshClassifierWidget::loadsp_signal);
    QSignalSpy save(&panel, &QtMeshClassifierWidget::savesp_signal);
    dialogs.file_answers = {"/tmp/one", "/tmp/two.spt"};
    panel.load_button->click();
    panel.save_button->click();
    panel.load_button->click();  // cancelled: nothing is sent
    ASSERT_EQ(load.count() + save.count(), 2);
    EXPECT_EQ(arg(load, 0).toString(), "/tmp/one.spt");
    EXPECT_EQ(arg(save, 0).toString(), "/tmp/two.spt");
}

TEST(ClassifierPanel, TablesThroughTheMainWindow)
{
    ScriptedDialogs dialogs;
    Captured out;
    QtMainWindow window(dialogs, out);
    QtGLWidget* view = window.view();
    QtMeshClassifierWidget* panel = window.mesh_editor->classifier;
    EXPECT_EQ(view->document.classifier.sp_mode, 1);  // the view starts measuring as the panel shows
    panel->weight_slider->setValue(30);

    TempDir dir;
    auto grid = named::folded_grid(8);
    printed(out, [&] {
        grid->write_obj(dir.file("grid.obj"), out);
        view->load_mesh(QString::fromStdString(dir.file("grid.obj")));
    });
    EXPECT_EQ(view->document.classifier.weight, 0.5);  // a new mesh starts from the default weight

    printed(out, [&] { view->meshclassify_slot(); });
    dialogs.file_answers = {QString::fromStdString(dir.file("grid")), QString::fromStdString(dir.file("grid.spt"))};
    printed(out, [&] { panel->save_button->click(); });
    EXPECT_EQ(slurp(dir.file("grid.spt")).size(), 4u * (128 * 128 / 2 + 128));
    printed(out, [&] { view->reload_slot(); });
    EXPECT_TRUE(view->document.classifier.rebuild);
    EXPECT_TRUE(view->document.classifier.seeds.empty());
    const std::string loaded = printed(out, [&] { panel->load_button->click(); });
    EXPECT_NE(loaded.find("Loading Shortest Path Table"), std::string::npos) << loaded;
    EXPECT_FALSE(view->document.classifier.rebuild);
}

TEST(ProcessingPanels, SlidersMapToToolValues)
{
    QtMeshSubdivideWidget subdivision;
    for (auto [slider, tension] : {std::pair{0, -0.125f}, {75, 0.0625f}}) {
        subdivision.weight_slider->setValue(slider);
        EXPECT_FLOAT_EQ(subdivision.weight, tension) << slider;
    }
    // The label shows the value rounded, without the float's noise.
    subdivision.weight_slider->setValue(53);
    EXPECT_EQ(subdivision.weight_label->text(), "Weight:\t0.0075");

    // Depth runs to 5000, one signal per change; angle and Apply send both.
    QtMeshTraversalWidget traversal;
    QSignalSpy traverse(&traversal, &QtMeshTraversalWidget::edgetraversal_signal);
    QSignalSpy mark(&traversal, &QtMeshTraversalWidget::markcurrent_signal);
    for (int v : {1, 2, 5000, 5000, 9999}) traversal.depth_slider->setValue(v);
    ASSERT_EQ(traverse.count(), 3);
    EXPECT_EQ(arg(traverse, -1).toInt(), 5000);
    EXPECT_EQ(arg(traverse, -1, 1).toInt(), 1);
    traversal.stepsize_slider->setValue(45);
    traversal.apply();
    ASSERT_EQ(traverse.count(), 5);
    EXPECT_EQ(arg(traverse, 3).toInt(), 5000);
    EXPECT_EQ(arg(traverse, 3, 1).toInt(), 45);
    EXPECT_EQ(arg(traverse, 4, 1).toInt(), 45);
    traversal.findChild<QPushButton*>()->click();
    EXPECT_EQ(mark.count(), 1);
    EXPECT_EQ(traverse.count(), 5);
}

TEST(ProcessingPanels, DraggingDrawsASmoothingCurveOf101Points)
{
    QtFunctionWidget plot(100.0f, nullptr, "histogram");
    plot.resize(206, 104);  // a 202 x 100 drawing area inside the frame
    plot.show();
    QSignalSpy curve(&plot, &QtFunctionWidget::signal_function);
    const QRect area = plot.contentsRect();
    auto stroke = [&](QPoint from, QPoint to) {
        const int sent = int(curve.count());
        QTest::mousePress(&plot, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(&plot, (from + to) / 2);
        EXPECT_EQ(curve.count(), sent);  // nothing is sent while drawing
        QTest::mouseRelease(&plot, Qt::LeftButton, Qt::NoModifier, to);
    };

    // From the bottom left to the top right: a rising line.
    stroke(area.bottomLeft(), area.topRight());
    ASSERT_EQ(curve.count(), 1);
    const auto points = arg(curve, 0).value<std::vector<Vector>>();
    const int height = arg(curve, 0, 1).toInt();
    EXPECT_EQ(height, area.height());
    ASSERT_EQ(points.size(), 101u);
    EXPECT_EQ(points[0].y, 0.0f);
    EXPECT_EQ(points[100].y, float(height));
    EXPECT_EQ(points[100].x, 100.0f);
    EXPECT_NEAR(points[50].y, height / 2.0f, 2.0f);
    for (std::size_t k = 1; k < points.size(); ++k) EXPECT_GE(points[k].y, points[k - 1].y) << k;

    // A second stroke changes only the samples it passes over; other buttons draw nothing.
    stroke(area.topLeft(), area.topLeft());
    QTest::mouseClick(&plot, Qt::RightButton, Qt::NoModifier, area.center());
    ASSERT_EQ(curve.count(), 2);
    const auto again = arg(curve, 1).value<std::vector<Vector>>();
    EXPECT_EQ(again[0].y, float(height));
    EXPECT_EQ(again[50].y, points[50].y);
}
