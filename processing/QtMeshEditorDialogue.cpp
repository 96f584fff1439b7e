#include "processing/QtMeshEditorDialogue.h"

#include "clipping/QtCLippingWidget.h"
#include "processing/QtMeshClassifierWidget.h"
#include "processing/QtMeanShiftWidget.h"
#include "processing/QtMeshTraversalWidget.h"
#include "toolkit/Dialogs.h"

QtMeshEditorDialogue::QtMeshEditorDialogue(Dialogs& dialogs_, QWidget* parent, const QString& name)
    : TabDialog(parent), dialogs(dialogs_)
{
    setObjectName(name);
    // Panels are created in this order: clipping, morphogens, simplifier,
    // classifier, subdivision, terrain, traversal, smoothing. Each gets
    // `dialogs` for its file and colour questions.
    clipping = new QtCLippingWidget(dialogs, this, "clippingtab");
    add_tab(clipping, "Clipping Planes");

    classifier = new QtMeshClassifierWidget(dialogs, this, "classifytab");
    add_tab(classifier, "Classification");
    add_apply_action(classifier, [this] { classifier->apply(); });

    traversal_panel = new QtMeshTraversalWidget(this, "traversetab");

    add_tab(traversal_panel, "Edge Traversal");
    add_apply_action(traversal_panel, [this] { traversal_panel->apply(); });

    // Smoothing.
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
