// Long operations in the window: on a worker thread with progress and
// Cancel in the status bar, the view drawing the mesh as it was meanwhile,
// one operation at a time, and a cancel that leaves everything as it was.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>

#include "tests/support/DocumentState.h"
#include "tests/support/GLViewTest.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/WorkerGate.h"
#include "toolkit/Menu.h"

namespace {

class Runner : public GLWindowTest {
protected:
    void SetUp() override
    {
        GLWindowTest::SetUp();
        if (HasFatalFailure()) return;
        window.runner.threaded = true;
        ASSERT_TRUE(open(obj_text(*named::torus(40, 20))));
        ASSERT_EQ(document().mesh.nv, 800);
    }

    DocumentRunner& runner() { return window.runner; }
};

}  // namespace

TEST_F(Runner, ProgressAndCancelWhileTheViewDrawsTheMeshAsItWas)
{
    const std::string before = document_state(document());
    const int drawn = count_pixels(frame(), is_drawn);
    ASSERT_GT(drawn, 1000);
    QSignalSpy finished(&runner(), &DocumentRunner::operation_finished);
    QSignalSpy progressed(&runner(), &DocumentRunner::progressed);
    QAction* open_item = menu_item(window.file_menu, "Open...");
    ASSERT_NE(open_item, nullptr);

    {
        WorkerGate gate(console.channel);
        view().simplify_slot(10.0f);
        ASSERT_TRUE(gate.wait_until_held());
        EXPECT_TRUE(runner().busy());
        EXPECT_TRUE(runner().bar->isVisible());
        EXPECT_TRUE(runner().cancel_button->isVisible());
        EXPECT_EQ(runner().stage_label->text().left(11), "Simplifying");
        EXPECT_FALSE(open_item->isEnabled());

        // The view turns and draws the mesh on show while the copy changes.
        QTest::mousePress(&view(), Qt::LeftButton, {}, QPoint(150, 150));
        QTest::mouseMove(&view(), QPoint(170, 150));
        QTest::mouseRelease(&view(), Qt::LeftButton, {}, QPoint(170, 150));
        EXPECT_GT(count_pixels(frame(), is_drawn), drawn / 2);
        EXPECT_TRUE(document_state(document()) == before);

        // A second operation, or a setting the first would overwrite, waits.
        const int mode = document().classifier.sp_mode;
        view().subdivide_slot(1, 0.0f);
        view().sp_mode_slot(1 - mode);
        EXPECT_TRUE(window.statusBar()->currentMessage().contains("Simplifying is still running"));
        EXPECT_EQ(document().classifier.sp_mode, mode);

        QTest::mouseClick(runner().cancel_button, Qt::LeftButton);
        EXPECT_FALSE(runner().cancel_button->isEnabled());
    }
    // The log is read only once the worker has ended.
    runner().wait_for_idle();
    const std::string said = console.log.out();
    EXPECT_NE(said.find("Cancelled: Simplifying; the mesh is as it was\n"), std::string::npos) << said;
    EXPECT_TRUE(document_state(document()) == before);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished[0][0].toString(), "Simplifying");
    EXPECT_FALSE(finished[0][1].toBool());
    EXPECT_FALSE(runner().busy());
    EXPECT_FALSE(runner().bar->isVisible());
    EXPECT_TRUE(open_item->isEnabled());

    // Run to its end, the result is adopted and on show.
    printed(console, [&] {
        view().simplify_slot(10.0f);
        runner().wait_for_idle();
    });
    QApplication::processEvents();
    EXPECT_EQ(document().mesh.nv, 80);
    ASSERT_EQ(finished.size(), 2);
    EXPECT_TRUE(finished[1][1].toBool());
    EXPECT_GT(progressed.size(), 0);
    EXPECT_GT(count_pixels(frame(), is_drawn), 0);
}

// Opening runs aside like the rest: a cancelled open keeps the mesh on show
// and its copy for Reload; a finished one frames the new mesh.
TEST_F(Runner, OpenAndReloadGoThroughTheWorker)
{
    const std::string before = document_state(document());
    const std::string path = dir.write("other.obj", obj_text(*named::octahedron()));
    {
        WorkerGate gate(console.channel);
        window.dragndrop_slot(QString::fromStdString(path));
        ASSERT_TRUE(gate.wait_until_held());
        runner().cancel();
    }
    runner().wait_for_idle();
    EXPECT_TRUE(document_state(document()) == before);

    printed(console, [&] {
        window.dragndrop_slot(QString::fromStdString(path));
        runner().wait_for_idle();
    });
    EXPECT_EQ(document().mesh.nf, 8);
    EXPECT_EQ(window.counts->text(), "6 vertices, 8 faces");
    printed(console, [&] {
        view().subdivide_slot(1, 0.0f);
        runner().wait_for_idle();
        view().reload_slot();
        runner().wait_for_idle();
    });
    EXPECT_EQ(document().mesh.nf, 8);
}
