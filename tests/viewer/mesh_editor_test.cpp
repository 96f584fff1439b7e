// The mesh tools dialogue's own behaviour, off screen.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

#include "processing/QtMeshEditorDialogue.h"
#include "toolkit/ScriptedDialogs.h"

TEST(MeshEditorDialogue, ApplyRunsOnlyThePanelOnShow)
{
    ScriptedDialogs dialogs;
    QtMeshEditorDialogue editor(dialogs, nullptr, "mesheditor");
    EXPECT_EQ(editor.objectName(), "mesheditor");
    auto* first = new QLabel("first");
    auto* second = new QLabel("second");
    editor.add_tab(first, "First");
    editor.add_tab(second, "Second");
    int first_runs = 0, second_runs = 0;
    editor.add_apply_action(first, [&] { ++first_runs; });
    editor.add_apply_action(second, [&] { ++second_runs; });
    // A hidden panel with an apply action is never the page on show.
    editor.add_apply_action(new QLabel("hidden", &editor), [] { FAIL() << "hidden panel applied"; });

    editor.tabs()->setCurrentWidget(first);
    editor.apply_button()->click();
    EXPECT_EQ(first_runs, 1);
    EXPECT_EQ(second_runs, 0);
    editor.tabs()->setCurrentWidget(second);
    editor.apply_event();
    EXPECT_EQ(first_runs, 1);
    EXPECT_EQ(second_runs, 1);
}

TEST(MeshEditorDialogue, ReloadSendsResetAndApplyWithoutPagesDoesNothing)
{
    ScriptedDialogs dialogs;
    QtMeshEditorDialogue editor(dialogs);
    QSignalSpy reset(&editor, &QtMeshEditorDialogue::reset_signal);
    editor.apply_event();
    editor.default_button()->click();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_TRUE(dialogs.asked.empty());
}
