// The classification panel on its own and wired into the main window, on
// Qt's offscreen platform (nothing here draws).
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>

#include "processing/QtMeshClassifierWidget.h"
#include "processing/QtMeshEditorDialogue.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"
#include "toolkit/ScriptedDialogs.h"
#include "viewer/QtGLWidget.h"
#include "viewer/QtMainWindow.h"

TEST(ClassifierPanel, SlidersAndButtonsSendTheirValues)
{
    ScriptedDialogs dialogs;
    QtMeshClassifierWidget panel(dialogs);
    QSignalSpy weight(&panel, &QtMeshClassifierWidget::weight_signal);
    QSignalSpy threshold(&panel, &QtMeshClassifierWidget::patchthresh_signal);
    QSignalSpy previous(&panel, &QtMeshClassifierWidget::previouspatch_signal);
    QSignalSpy next(&panel, &QtMeshClassifierWidget::nextpatch_signal);
    QSignalSpy mode(&panel, &QtMeshClassifierWidget::sp_mode_signal);
    QSignalSpy classify(&panel, &QtMeshClassifierWidget::meshclassify_signal);

    panel.weight_slider->setValue(37);
    ASSERT_EQ(weight.count(), 1);
    EXPECT_EQ(weight.at(0).at(0).toFloat(), 0.37f);
    EXPECT_EQ(panel.weight_label->text(), "Weight:\t0.37");

    panel.threshold_slider->setValue(42);
    ASSERT_EQ(threshold.count(), 1);
    EXPECT_EQ(threshold.at(0).at(0).toInt(), 42);
    EXPECT_EQ(panel.threshold_label->text(), "Patch Threshold:\t42");

    // Browsing stays within 0 ... num_patches - 1, each step followed by the threshold.
    panel.previous_button->click();
    ASSERT_EQ(previous.count(), 1);
    EXPECT_EQ(previous.at(0).at(0).toInt(), 0);
    EXPECT_EQ(threshold.count(), 2);
    panel.num_patches = 3;
    for (int i = 0; i < 4; ++i) panel.next_button->click();
    ASSERT_EQ(next.count(), 4);
    EXPECT_EQ(next.at(1).at(0).toInt(), 2);
    EXPECT_EQ(next.at(3).at(0).toInt(), 2);
    EXPECT_EQ(threshold.last().at(0).toInt(), 42);

    panel.floyd_button->click();
    panel.djikstra_button->click();
    ASSERT_EQ(mode.count(), 2);
    EXPECT_EQ(mode.at(0).at(0).toInt(), 0);
    EXPECT_EQ(mode.at(1).at(0).toInt(), 1);
    panel.announce_mode();
    EXPECT_EQ(mode.last().at(0).toInt(), 1);

    panel.apply();
    EXPECT_EQ(classify.count(), 1);
}

TEST(ClassifierPanel, CountFromTheViewMovesTheSlider)
{
    ScriptedDialogs dialogs;
    QtMeshClassifierWidget panel(dialogs);
    QSignalSpy patches(&panel, &QtMeshClassifierWidget::numpatches_signal);

    // The slider moves, comes back through the same handler, and the view
    // hears the count twice.
    panel.numbpatchesEvent(7);
    EXPECT_EQ(panel.num_patches, 7);
    EXPECT_EQ(panel.patches_slider->value(), 7);
    EXPECT_EQ(panel.patches_label->text(), "Number of Patches:\t7");
    ASSERT_EQ(patches.count(), 2);
    EXPECT_EQ(patches.at(0).at(0).toInt(), 7);
    EXPECT_EQ(patches.at(1).at(0).toInt(), 7);

    patches.clear();
    panel.numbpatchesEvent(7);
    EXPECT_EQ(patches.count(), 1);

    patches.clear();
    panel.patches_slider->setValue(12);
    ASSERT_EQ(patches.count(), 1);
    EXPECT_EQ(patches.at(0).at(0).toInt(), 12);
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
    ASSERT_EQ(load.count(), 1);
    ASSERT_EQ(save.count(), 1);
    EXPECT_EQ(load.at(0).at(0).toString(), "/tmp/one.spt");
    EXPECT_EQ(save.at(0).at(0).toString(), "/tmp/two.spt");
}

TEST(ClassifierPanel, WiredToTheView)
{
    ScriptedDialogs dialogs;
    QtMainWindow window(dialogs);
    QtGLWidget* view = window.view();
    QtMeshClassifierWidget* panel = window.mesh_editor->classifier;
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(window.mesh_editor->tabs()->tabText(window.mesh_editor->tabs()->indexOf(panel)), "Classification");

    // The view starts measuring distances as the panel shows.
    EXPECT_EQ(view->classifier.sp_mode, 1);
    panel->floyd_button->click();
    EXPECT_EQ(view->classifier.sp_mode, 0);
    panel->weight_slider->setValue(30);
    EXPECT_EQ(view->classifier.weight, 0.3f);

    TempDir dir;
    auto grid = named::folded_grid(8);
    printed([&] {
        grid->write_obj(dir.file("grid.obj"));
        view->load_mesh(QString::fromStdString(dir.file("grid.obj")));
    });
    EXPECT_EQ(view->classifier.weight, 0.5);  // a new mesh starts from the default weight

    // Apply on the Classification tab: the count is back in the panel, and
    // the patches assigned, before the call returns.
    window.mesh_editor->tabs()->setCurrentWidget(panel);
    QSignalSpy patches(panel, &QtMeshClassifierWidget::numpatches_signal);
    const std::string out = printed([&] { window.mesh_editor->apply_event(); });
    EXPECT_NE(out.find("Using Floyd Shortest Path"), std::string::npos) << out;
    const int k = view->classifier.num_patches;
    ASSERT_GE(k, 2);
    EXPECT_EQ(panel->num_patches, k);
    EXPECT_EQ(panel->patches_slider->value(), k);
    ASSERT_GE(patches.count(), 1);
    EXPECT_EQ(patches.last().at(0).toInt(), k);
    EXPECT_EQ(view->classifier.face_patch.size(), std::size_t(view->mesh.nf));

    // The slider reassigns at once.
    printed([&] { panel->patches_slider->setValue(1); });
    EXPECT_EQ(view->classifier.num_patches, 1);
    for (int p : view->classifier.face_patch) EXPECT_EQ(p, 0);

    // Tables through the panel's buttons.
    dialogs.file_answers = {QString::fromStdString(dir.file("grid")), QString::fromStdString(dir.file("grid.spt"))};
    printed([&] { panel->save_button->click(); });
    EXPECT_EQ(slurp(dir.file("grid.spt")).size(), 4u * (128 * 128 / 2 + 128));
    printed([&] { view->reload_slot(); });
    EXPECT_TRUE(view->classifier.rebuild);
    EXPECT_TRUE(view->classifier.seeds.empty());
    const std::string loaded = printed([&] { panel->load_button->click(); });
    EXPECT_NE(loaded.find("Loading Shortest Path Table"), std::string::npos) << loaded;
    EXPECT_FALSE(view->classifier.rebuild);
}
