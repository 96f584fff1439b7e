// The assembled mesh tools dialogue: its eight panels, its tabs and buttons,
// and Apply reaching the panel on show and nothing else.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

#include "clipping/QtCLippingWidget.h"
#include "colouring/QtMeshTerrainWidget.h"
#include "colouring/QtMorphogenWidget.h"
#include "processing/QtMeanShiftWidget.h"
#include "processing/QtMeshClassifierWidget.h"
#include "processing/QtMeshEditorDialogue.h"
#include "processing/QtMeshSimplifierWidget.h"
#include "processing/QtMeshSubdivideWidget.h"
#include "processing/QtMeshTraversalWidget.h"
#include "toolkit/ScriptedDialogs.h"

namespace {

class MeshTools : public ::testing::Test {
protected:
    ScriptedDialogs dialogs;
    QtMeshEditorDialogue editor{dialogs, nullptr, "mesheditor"};
};

TEST_F(MeshTools, EightPanelsInCreationOrderOnTabs)
{
    const std::vector<QString> order{"clippingtab", "morphotab",  "simplifytab", "classifytab",
                                     "subdividetab", "terraintab", "traversetab", "meanshftab"};

    const std::vector<QWidget*> panels{editor.clipping,     editor.morphogen_panel, editor.simplification,
                                       editor.classifier,   editor.subdivision,     editor.terrain_panel,
                                       editor.traversal_panel, editor.smoothing};
    QTabWidget* tabs = editor.tabs();
    ASSERT_EQ(tabs->count(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(tabs->widget(i), panels[i]) << i;
        EXPECT_EQ(panels[i]->objectName(), order[i]);
    }
    EXPECT_EQ(tabs->tabText(0), "Clipping Planes");
    EXPECT_EQ(tabs->tabText(1), "Morphogens");

    EXPECT_EQ(editor.apply_button()->text(), "Apply");
    EXPECT_EQ(editor.default_button()->text(), "Reload");
    EXPECT_EQ(editor.cancel_button()->text(), "Close");
    EXPECT_TRUE(editor.ok_button() == nullptr || editor.ok_button()->isHidden());
}

TEST_F(MeshTools, ApplyRunsThePanelOnShowOnly)
{
    QSignalSpy simplify(editor.simplification, &QtMeshSimplifierWidget::simplifySignal);
    QSignalSpy classify(editor.classifier, &QtMeshClassifierWidget::meshclassify_signal);
    QSignalSpy subdivide(editor.subdivision, &QtMeshSubdivideWidget::subdivide_signal);
    QSignalSpy terrain(editor.terrain_panel, &QtMeshTerrainWidget::build_vertexcolours_signal);
    QSignalSpy traverse(editor.traversal_panel, &QtMeshTraversalWidget::edgetraversal_signal);
    QSignalSpy smooth(editor.smoothing, &QtMeanShiftWidget::mshift_signal);
    QSignalSpy clip_select(editor.clipping, &QtCLippingWidget::cutplane_select_signal);
    QSignalSpy colour(editor.morphogen_panel, &QtMorphogenWidget::buildvertexcolour_signal);
    const std::vector<QSignalSpy*> spies{&simplify, &classify, &subdivide, &terrain,
                                         &traverse, &smooth,   &clip_select, &colour};
    auto counts = [&] {
        std::vector<int> out;
        for (const QSignalSpy* spy : spies) out.push_back(int(spy->count()));
        return out;
    };

    // The first two pages have no apply action of their own.
    editor.tabs()->setCurrentWidget(editor.clipping);
    editor.apply_button()->click();
    editor.tabs()->setCurrentWidget(editor.morphogen_panel);
    editor.apply_button()->click();
    EXPECT_EQ(counts(), std::vector<int>(8, 0));

    // Subdivision at level 0 has nothing to do.
    editor.tabs()->setCurrentWidget(editor.subdivision);
    editor.apply_button()->click();
    EXPECT_EQ(counts(), std::vector<int>(8, 0));
    editor.subdivision->subdivlevel_event(1);

    const std::vector<QWidget*> tools{editor.simplification, editor.classifier,      editor.subdivision,
                                      editor.terrain_panel,  editor.traversal_panel, editor.smoothing};
    std::vector<int> expected(8, 0);
    for (std::size_t i = 0; i < tools.size(); ++i) {
        editor.tabs()->setCurrentWidget(tools[i]);
        editor.apply_button()->click();
        ++expected[i];
        EXPECT_EQ(counts(), expected) << "page " << i;
    }
    ASSERT_EQ(simplify.count(), 1);
    EXPECT_EQ(simplify.at(0).at(0).toFloat(), 75.0f);
    ASSERT_EQ(subdivide.count(), 1);
    EXPECT_EQ(subdivide.at(0).at(0).toInt(), 1);
    ASSERT_EQ(traverse.count(), 1);
    EXPECT_EQ(traverse.at(0).at(0).toInt(), 0);
    EXPECT_EQ(traverse.at(0).at(1).toInt(), 1);
}

TEST_F(MeshTools, ReloadAsksForTheLoadedMeshFromAnyPage)
{
    QSignalSpy reset(&editor, &QtMeshEditorDialogue::reset_signal);
    for (int i = 0; i < editor.tabs()->count(); ++i) {
        editor.tabs()->setCurrentIndex(i);
        editor.default_button()->click();
    }
    EXPECT_EQ(reset.count(), editor.tabs()->count());
    EXPECT_TRUE(dialogs.asked.empty());
}

}  // namespace
