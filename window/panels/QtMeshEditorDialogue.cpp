#include "panels/QtMeshEditorDialogue.h"

#include "core/Messages.h"
#include "panels/QtCLippingWidget.h"
#include "panels/QtMeanShiftWidget.h"
#include "panels/QtMeshClassifierWidget.h"
#include "panels/QtMeshSimplifierWidget.h"
#include "panels/QtMeshSubdivideWidget.h"
#include "panels/QtMeshTerrainWidget.h"
#include "panels/QtMeshTraversalWidget.h"
#include "panels/QtMorphogenWidget.h"
#include "toolkit/Dialogs.h"

QtMeshEditorDialogue::QtMeshEditorDialogue(Dialogs& dialogs_, Messages& messages_, QWidget* parent, const QString& name)
    : TabDialog(parent), dialogs(dialogs_), messages(messages_)
{
    setObjectName(name);
    // Panels are created in this order: clipping, morphogens, simplifier,
    // classifier, subdivision, terrain, traversal, smoothing. Each gets
    // `dialogs` for its file and colour questions; those that read or write
    // files report on `messages`.
    clipping = new QtCLippingWidget(dialogs, messages, this, "clippingtab");
    add_tab(clipping, "Clipping Planes");
    morphogen_panel = new QtMorphogenWidget(dialogs, messages, this, "morphotab");
    add_tab(morphogen_panel, "Morphogens");
    simplification = new QtMeshSimplifierWidget(this, "simplifytab");
    add_tab(simplification, "Simplification");
    add_apply_action(simplification, [this] { simplification->apply(); });
    classifier = new QtMeshClassifierWidget(dialogs, this, "classifytab");
    add_tab(classifier, "Classification");
    add_apply_action(classifier, [this] { classifier->apply(); });
    subdivision = new QtMeshSubdivideWidget(this, "subdividetab");
    add_tab(subdivision, "Subdivision");
    add_apply_action(subdivision, [this] { subdivision->apply(); });
    terrain_panel = new QtMeshTerrainWidget(dialogs, messages, this, "terraintab");
    add_tab(terrain_panel, "Terrain");
    add_apply_action(terrain_panel, [this] { terrain_panel->apply_terrain(); });
    traversal_panel = new QtMeshTraversalWidget(this, "traversetab");
    add_tab(traversal_panel, "Edge Traversal");
    add_apply_action(traversal_panel, [this] { traversal_panel->apply(); });
    smoothing = new QtMeanShiftWidget(this, "meanshftab");
    add_tab(smoothing, "Smoothing");
    add_apply_action(smoothing, [this] { smoothing->apply(); });

    set_apply_button("Apply");
    set_default_button("Reload");
    set_ok_button(QString());
    set_cancel_button("Close");
    connect(this, &TabDialog::applyButtonPressed, this, &QtMeshEditorDialogue::apply_event);
    connect(this, &TabDialog::defaultButtonPressed, this, &QtMeshEditorDialogue::reset_event);
}

void QtMeshEditorDialogue::add_apply_action(QWidget* panel, std::function<void()> action)
{
    apply_actions.push_back({panel, std::move(action)});
}

void QtMeshEditorDialogue::reset_event()
{
    emit reset_signal();
}

void QtMeshEditorDialogue::apply_event()
{
    QWidget* page = current_page();
    for (const ApplyAction& action : apply_actions)
        if (page != nullptr && action.panel == page) {
            action.run();
            break;
        }
    update();
}
