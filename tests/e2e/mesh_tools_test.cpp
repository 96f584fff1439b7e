// The assembled mesh tools dialogue: its eight panels, Apply reaching the
// panel on show and nothing else, and Reload asked for from any page.
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

TEST_F(MeshTools, EightPanelsOnTabsApplyRunsThePageOnShowReloadAnyPage)
{
    const std::vector<QWidget*> panels{editor.clipping,   editor.morphogen_panel, editor.simplification,
                                       editor.classifier, editor.subdivision,     editor.terrain_panel,
                                       editor.traversal_panel, editor.smoothing};
    ASSERT_EQ(editor.tabs()->count(), 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(editor.tabs()->widget(i), panels[i]) << i;

    QSignalSpy simplify(editor.simplification, &QtMeshSimplifierWidget::simplifySignal);
    QSignalSpy classify(editor.classifier, &QtMeshClassifierWidget::meshclassify_signal);
    QSignalSpy subdivide(editor.subdivision, &QtMeshSubdivideWidget::subdivide_signal);
    QSignalSpy terrain(editor.terrain_panel, &QtMeshTerrainWidget::build_vertexcolours_signal);
    QSignalSpy traverse(editor.traversal_panel, &QtMeshTraversalWidget::edgetraversal_signal);
    QSignalSpy smooth(editor.smoothing, &QtMeanShiftWidget::mshift_signal);
    QSignalSpy clip_select(editor.clipping, &QtCLippingWidget::cutplane_select_signal);
    QSignalSpy colour(editor.morphogen_panel, &QtMorphogenWidget::buildvertexcolour_signal);
    QSignalSpy reset(&editor, &QtMeshEditorDialogue::reset_signal);
    const std::vector<QSignalSpy*> spies{&clip_select, &colour, &simplify, &classify,
                                         &subdivide,   &terrain, &traverse, &smooth};
    auto counts = [&] {
        std::vector<int> out;
        for (const QSignalSpy* spy : spies) out.push_back(int(spy->count()));
        return out;
    };
    // The clipping and morphogen pages have no apply action, and subdivision
    // at level 0 has nothing to do.
    std::vector<int> expected(8, 0);
    for (int i = 0; i < 8; ++i) {
        editor.tabs()->setCurrentIndex(i);
        editor.apply_button()->click();
        expected[std::size_t(i)] += i >= 2 && i != 4;
        EXPECT_EQ(counts(), expected) << "page " << i;
        editor.default_button()->click();
    }
    editor.subdivision->subdivlevel_event(1);
    editor.tabs()->setCurrentWidget(editor.subdivision);
    editor.apply_button()->click();
    EXPECT_EQ(subdivide.count(), 1);
    EXPECT_EQ(reset.count(), 8);
    EXPECT_TRUE(dialogs.asked.empty());
}

}  // namespace
