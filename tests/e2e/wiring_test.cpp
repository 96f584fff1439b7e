// Every connection the main window makes between the dialogues and the view,
// read back from the objects themselves: each signal has exactly the
// receivers listed here, each in the listed direction, and every other
// signal of these classes stays unconnected.
#include <string>

#include <gtest/gtest.h>

#include <QMetaMethod>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

#include "app/QtMainWindow.h"
#include "panels/QtCLippingWidget.h"
#include "panels/QtFunctionWidget.h"
#include "panels/QtLightEditorDialogue.h"
#include "panels/QtLightSettingsWidget.h"
#include "panels/QtMeanShiftWidget.h"
#include "panels/QtMeshClassifierWidget.h"
#include "panels/QtMeshEditorDialogue.h"
#include "panels/QtMeshSimplifierWidget.h"
#include "panels/QtMeshSubdivideWidget.h"
#include "panels/QtMeshTerrainWidget.h"
#include "panels/QtMeshTraversalWidget.h"
#include "panels/QtMorphogenWidget.h"
#include "tests/support/Printed.h"
#include "toolkit/Menu.h"
#include "toolkit/ScriptedDialogs.h"
#include "view/QtGLWidget.h"

namespace {

// QObject::receivers is protected; a pointer to it taken through a derived
// class can be called on any object.
struct ReceiverCount : QObject {
    static int of(const QObject* sender, const QMetaMethod& signal)
    {
        const QByteArray name = QByteArray::number(QSIGNAL_CODE) + signal.methodSignature();
        return (sender->*(&ReceiverCount::receivers))(name.constData());
    }
};

template <typename Signal>
int receivers(const QObject* sender, Signal signal)
{
    return ReceiverCount::of(sender, QMetaMethod::fromSignal(signal));
}

class Wiring : public ::testing::Test {
protected:
    // One table row: the sender's signal has one receiver, and it is this
    // slot of this receiver. Disconnecting the exact pair proves both ends
    // and the direction; afterwards nothing is left on the signal.
    template <typename Sender, typename Signal, typename Receiver, typename Slot>
    void expect_row(int row, Sender* sender, Signal signal, Receiver* receiver, Slot slot)
    {
        SCOPED_TRACE("connection " + std::to_string(row));
        EXPECT_EQ(receivers(sender, signal), 1);
        EXPECT_TRUE(QObject::disconnect(sender, signal, receiver, slot));
        EXPECT_EQ(receivers(sender, signal), 0);
    }

    ScriptedDialogs dialogs;
    Captured console;
    QtMainWindow window{dialogs, console};
    QtGLWidget* view = window.view();
    QtMeshEditorDialogue* editor = window.mesh_editor;
};

TEST_F(Wiring, EachConnectionExistsOnceFromPanelToView)
{
    auto* traversal = editor->traversal_panel;
    auto* classifier = editor->classifier;
    auto* smoothing = editor->smoothing;
    auto* clipping = editor->clipping;
    auto* morphogens = editor->morphogen_panel;
    auto* lights = window.light_editor->settings;
    using G = QtGLWidget;
    using C = QtMeshClassifierWidget;
    using P = QtCLippingWidget;

    expect_row(1, editor, &QtMeshEditorDialogue::reset_signal, view, &G::reload_slot);
    expect_row(2, traversal, &QtMeshTraversalWidget::edgetraversal_signal, view, &G::edgetraversal_slot);
    expect_row(3, traversal, &QtMeshTraversalWidget::markcurrent_signal, view, &G::markcurrent_slot);
    expect_row(4, editor->subdivision, &QtMeshSubdivideWidget::subdivide_signal, view, &G::subdivide_slot);
    expect_row(5, classifier, &C::meshclassify_signal, view, &G::meshclassify_slot);
    expect_row(6, classifier, &C::numpatches_signal, view, &G::numpatches_slot);
    expect_row(7, classifier, &C::previouspatch_signal, view, &G::previouspatch_slot);
    expect_row(8, classifier, &C::nextpatch_signal, view, &G::nextpatch_slot);
    expect_row(9, classifier, &C::patchthresh_signal, view, &G::patchthresh_slot);
    expect_row(10, classifier, &C::weight_signal, view, &G::weight_slot);
    expect_row(11, classifier, &C::sp_mode_signal, view, &G::sp_mode_slot);
    expect_row(12, classifier, &C::loadsp_signal, view, &G::loadsp_slot);
    expect_row(13, classifier, &C::savesp_signal, view, &G::savesp_slot);
    expect_row(14, smoothing, &QtMeanShiftWidget::rad_signal, view, &G::mshiftrad_slot);
    expect_row(15, smoothing, &QtMeanShiftWidget::mshift_signal, view, &G::mshift_slot);
    expect_row(16, smoothing, &QtMeanShiftWidget::step_signal, view, &G::mshiftstep_slot);
    expect_row(17, editor->simplification, &QtMeshSimplifierWidget::simplifySignal, view, &G::simplify_slot);
    expect_row(18, smoothing->function, &QtFunctionWidget::signal_function, view, &G::function_slot);
    expect_row(19, view, &G::numbpatches_signal, classifier, &C::numbpatchesEvent);
    expect_row(20, view, &G::dragndrop_signal, &window, &QtMainWindow::dragndrop_slot);
    expect_row(21, view, &G::buildtree_signal, morphogens, &QtMorphogenWidget::buildtree_slot);
    expect_row(22, clipping, &P::cutplane_resetall_signal, view, &G::cutplane_resetall_slot);
    expect_row(23, clipping, &P::cutplane_resetcurrent_signal, view, &G::cutplane_resetcurrent_slot);
    expect_row(24, clipping, &P::cutplane_select_signal, view, &G::cutplane_select_slot);
    expect_row(25, clipping, &P::cutplane_invert_signal, view, &G::cutplane_invert_slot);
    expect_row(26, clipping, &P::cutplane_showall_signal, view, &G::cutplane_showall_slot);
    expect_row(27, clipping, &P::cutplane_load_signal, view, &G::cutplane_load_slot);
    expect_row(28, clipping, &P::cutplane_save_signal, view, &G::cutplane_save_slot);
    expect_row(29, morphogens, &QtMorphogenWidget::buildvertexcolour_signal, view, &G::buildvertexcolour_slot);
    expect_row(30, editor->terrain_panel, &QtMeshTerrainWidget::build_vertexcolours_signal, view,
               &G::build_vertexcoloursterrain_slot);
    expect_row(31, lights, &QtLightSettingsWidget::light_colour_signal, view, &G::light_colour_slot);
    expect_row(32, lights, &QtLightSettingsWidget::light_position_signal, view, &G::light_position_slot);
    // The Render Mode menu reaches the window's own slot.
    expect_row(33, window.render_menu, &Menu::activated, &window, &QtMainWindow::rendermodeEvent);
    // What the view shows goes back to the menu, the title and status bar, and the clipping panel.
    expect_row(34, view, &G::rendermode_signal, &window, &QtMainWindow::rendermodeshownEvent);
    expect_row(35, view, &G::meshchanged_signal, &window, &QtMainWindow::meshchangedEvent);
    expect_row(36, view, &G::cutplanes_reset_signal, clipping, &P::planes_reset_event);

    // With the table's connections gone no signal these classes declare has a
    // receiver left: a connection made without a row here shows up.
    const QObject* senders[] = {&window,
                                view,
                                editor,
                                traversal,
                                classifier,
                                smoothing,
                                smoothing->function,
                                editor->subdivision,
                                editor->simplification,
                                editor->terrain_panel,
                                clipping,
                                morphogens,
                                lights,
                                window.light_editor,
                                window.render_menu};
    for (const QObject* sender : senders) {
        const QMetaObject* meta = sender->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            EXPECT_TRUE(method.methodType() != QMetaMethod::Signal || ReceiverCount::of(sender, method) == 0)
                << meta->className() << "::" << method.name().toStdString();
        }
    }
}

// The assembled mesh tools dialogue: its eight panels, Apply reaching the
// panel on show and nothing else, and Reload asked for from any page.
TEST(MeshTools, EightPanelsOnTabsApplyRunsThePageOnShowReloadAnyPage)
{
    ScriptedDialogs dialogs;
    Captured console;
    QtMeshEditorDialogue editor(dialogs, console, nullptr, "mesheditor");
    ASSERT_EQ(editor.tabs()->count(), 8);

    QSignalSpy simplify(editor.simplification, &QtMeshSimplifierWidget::simplifySignal);
    QSignalSpy classify(editor.classifier, &QtMeshClassifierWidget::meshclassify_signal);
    QSignalSpy subdivide(editor.subdivision, &QtMeshSubdivideWidget::subdivide_signal);
    QSignalSpy terrain(editor.terrain_panel, &QtMeshTerrainWidget::build_vertexcolours_signal);
    QSignalSpy traverse(editor.traversal_panel, &QtMeshTraversalWidget::edgetraversal_signal);
    QSignalSpy smooth(editor.smoothing, &QtMeanShiftWidget::mshift_signal);
    QSignalSpy clip_select(editor.clipping, &QtCLippingWidget::cutplane_select_signal);
    QSignalSpy colour(editor.morphogen_panel, &QtMorphogenWidget::buildvertexcolour_signal);
    QSignalSpy reset(&editor, &QtMeshEditorDialogue::reset_signal);
    const std::vector<QSignalSpy*> spies{&clip_select, &colour,  &simplify, &classify,
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
