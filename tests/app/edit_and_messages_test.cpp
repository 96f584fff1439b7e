// The main window's Edit menu, its Messages window and status bar, and the
// recent files of the File menu, on a virtual display.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include "app/QtMessagesWindow.h"
#include "tests/support/GLViewTest.h"
#include "toolkit/Menu.h"

namespace {

bool is_red(QRgb p)
{
    return qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90;
}

const std::string square = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nf 1 2 3\nf 2 4 3\n";

// The error lines the console got from `step`, without their line ends.
template <class Step>
QStringList console_errors(Captured& console, Step step)
{
    const std::size_t before = console.log.messages.size();
    step();
    QStringList errors;
    for (std::size_t i = before; i < console.log.messages.size(); ++i)
        if (console.log.messages[i].severity == Message::Severity::Error)
            errors << QString::fromStdString(console.log.messages[i].text).trimmed();
    return errors;
}

QStringList listed_errors(const QTreeWidget& list, int from)
{
    QStringList errors;
    for (int i = from; i < list.topLevelItemCount(); ++i)
        if (list.topLevelItem(i)->text(QtMessagesWindow::Kind) == "error")
            errors << list.topLevelItem(i)->text(QtMessagesWindow::Text);
    return errors;
}

}  // namespace

class EditMenu : public GLWindowTest {};

TEST_F(EditMenu, UndoAndRedoNameTheStepTakeItBackAndKeepTheCamera)
{
    ASSERT_TRUE(open(square));
    ASSERT_TRUE(window.undo_item && window.redo_item);
    EXPECT_EQ(window.undo_item->text(), "Undo");
    EXPECT_FALSE(window.undo_item->isEnabled());
    EXPECT_FALSE(window.redo_item->isEnabled());
    EXPECT_EQ(window.undo_item->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(window.redo_item->shortcut(), QKeySequence("Ctrl+Shift+Z"));

    view().magnification = 0.7f;
    view().pan = Vector(0.2f, 0.1f, 0.0f);
    const QImage grey = frame();
    ASSERT_EQ(count_pixels(grey, is_red), 0);
    printed(console, [&] { view().build_vertexcoloursterrain_slot({Qt::red, Qt::red}, {0.0f, 1.0f}); });
    EXPECT_EQ(window.undo_item->text(), "Undo Colour Height");
    EXPECT_TRUE(window.undo_item->isEnabled());
    ASSERT_GT(count_pixels(frame(), is_red), 1000);
    printed(console, [&] { view().subdivide_slot(1, 0.0f); });
    frame();
    EXPECT_EQ(window.counts->text(), "9 vertices, 8 faces");
    EXPECT_EQ(window.undo_item->text(), "Undo Subdivide 1");

    // From the keyboard, as a user would.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    frame();
    EXPECT_EQ(window.counts->text(), "4 vertices, 2 faces");
    EXPECT_EQ(window.undo_item->text(), "Undo Colour Height");
    EXPECT_EQ(window.redo_item->text(), "Redo Subdivide 1");
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(frame(), grey) << "the grey square where it was";
    EXPECT_FLOAT_EQ(view().magnification, 0.7f);
    EXPECT_FALSE(window.undo_item->isEnabled());
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_GT(count_pixels(frame(), is_red), 1000);
    EXPECT_EQ(window.redo_item->text(), "Redo Subdivide 1");
    menu_item(window.edit_menu, "Redo Subdivide 1")->trigger();
    frame();
    EXPECT_EQ(window.counts->text(), "9 vertices, 8 faces");
    EXPECT_FALSE(window.redo_item->isEnabled());

    // Another file: nothing to undo.
    ASSERT_TRUE(open(square, "other.obj"));
    EXPECT_FALSE(window.undo_item->isEnabled());
    EXPECT_EQ(window.undo_item->text(), "Undo");
}

TEST_F(EditMenu, TroublesShowInTheMessagesWindowAndTheStatusBar)
{
    QTreeWidget& list = *window.messages_window->list;
    QAction* show = menu_item(window.view_menu, "Messages");
    ASSERT_NE(show, nullptr);
    show->trigger();
    EXPECT_TRUE(window.messages_window->isVisible());
    struct Trouble {
        const char* what;
        std::function<void()> cause;
    };
    const Trouble troubles[] = {
        {"a rejected file", [&] { EXPECT_FALSE(open("v 0 0 0\nv 1 0 0\nf 1 2 7\n", "bad.obj")); }},
        {"a refused classification",
         [&] {
             ASSERT_TRUE(open(square));
             document().classifier.memory_limit = 1000.0;
             view().meshclassify_slot();
         }},
        {"a failed save",
         [&] {
             dialogs.file_answers.push_back(QString::fromStdString(dir.path() + "/no such folder/out.obj"));
             menu_item(window.file_menu, "Save As...")->trigger();
         }},
        {"an unknown file type",
         [&] { window.dragndrop_slot(QString::fromStdString(dir.write("points.xyz", "1 2 3\n"))); }},
    };
    for (const Trouble& t : troubles) {
        SCOPED_TRACE(t.what);
        const int before = list.topLevelItemCount();
        const QStringList said = console_errors(console, t.cause);
        ASSERT_EQ(said.size(), 1) << said.join("\n").toStdString();
        EXPECT_EQ(listed_errors(list, before), said);
        const QTreeWidgetItem* row = nullptr;
        for (int i = before; i < list.topLevelItemCount(); ++i)
            if (list.topLevelItem(i)->text(QtMessagesWindow::Kind) == "error") row = list.topLevelItem(i);
        ASSERT_NE(row, nullptr);
        if (std::string(t.what) != "a refused classification") {
            EXPECT_FALSE(row->text(QtMessagesWindow::File).isEmpty()) << "the file concerned is named";
        }
        // The unknown type keeps the window's own words in the status bar.
        if (std::string(t.what) == "an unknown file type")
            EXPECT_TRUE(window.status->currentMessage().startsWith("Not opened: "))
                << window.status->currentMessage().toStdString();
        else
            EXPECT_EQ(window.status->currentMessage(), said[0]);
    }
    // Lines that are not troubles are listed but leave the status bar alone.
    window.status->clearMessage();
    ASSERT_TRUE(open(square));
    EXPECT_TRUE(window.status->currentMessage().isEmpty());
    EXPECT_EQ(list.topLevelItem(list.topLevelItemCount() - 1)->text(QtMessagesWindow::Kind), "info");
}

TEST(RecentFiles, AreKeptBetweenWindowsAndAGoneFileLeavesTheList)
{
    QSettings("Halvane", "Halvane").clear();
    TempDir dir;
    ScriptedDialogs dialogs;
    Captured console;
    std::vector<QString> paths;
    for (int i = 1; i <= 10; ++i)
        paths.push_back(QString::fromStdString(dir.write("m" + std::to_string(i) + ".obj", square)));
    {
        QtMainWindow first(dialogs, console);
        for (int i = 0; i < 9; ++i) first.open_by_name(paths[std::size_t(i)]);
        // A file a reader rejects is no recent file.
        first.open_by_name(QString::fromStdString(dir.write("bad.obj", "f 1 2 3\n")));
        dialogs.file_answers.push_back(paths[9]);
        menu_item(first.file_menu, "Open...")->trigger();
    }
    QtMainWindow second(dialogs, console);
    ASSERT_EQ(second.recent_files.size(), QtMainWindow::max_recent_files);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(second.recent_files[i], paths[std::size_t(9 - i)]) << i;
    QAction* third = menu_item(second.file_menu, "&3 m8.obj");
    ASSERT_NE(third, nullptr);
    EXPECT_TRUE(third->isVisible());
    EXPECT_FALSE(menu_item(second.file_menu, "&9 m2.obj"));

    // Choosing one opens it and puts it first.
    printed(console, [&] { third->trigger(); });
    EXPECT_EQ(second.document.mesh.nf, 2);
    EXPECT_EQ(second.document.file_name, paths[7].toStdString());
    EXPECT_EQ(second.recent_files.first(), paths[7]);

    // A file gone since: said so, and off the list for good.
    ASSERT_TRUE(QFile::remove(paths[5]));
    const int listed = second.messages_window->list->topLevelItemCount();
    QAction* gone = menu_item(second.file_menu, "&5 m6.obj");
    ASSERT_NE(gone, nullptr);
    const std::string said = printed(console, [&] { gone->trigger(); });
    EXPECT_EQ(said,
              "ERROR: " + paths[5].toStdString() + ": the file no longer exists; it is taken off the recent files\n");
    EXPECT_EQ(second.messages_window->list->topLevelItemCount(), listed + 1);
    EXPECT_EQ(second.recent_files.size(), 7);
    EXPECT_FALSE(second.recent_files.contains(paths[5]));
    QtMainWindow third_window(dialogs, console);
    EXPECT_EQ(third_window.recent_files, second.recent_files);
    EXPECT_FALSE(third_window.recent_items[7]->isVisible());
}
