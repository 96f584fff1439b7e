#pragma once

#include <functional>
#include <vector>

#include "toolkit/TabDialog.h"

class Dialogs;
class Messages;
class QtCLippingWidget;
class QtMeshClassifierWidget;
class QtMeanShiftWidget;
class QtMeshTraversalWidget;
class QtMeshTerrainWidget;
class QtMorphogenWidget;
class QtMeshSimplifierWidget;
class QtMeshSubdivideWidget;

// The mesh tools dialogue. Its tool panels keep their own settings; Apply
// runs the apply action of the panel on show, Reload asks the view to
// restore the mesh as loaded.
class QtMeshEditorDialogue : public TabDialog {
    Q_OBJECT
public:
    QtMeshEditorDialogue(Dialogs& dialogs, Messages& messages, QWidget* parent = nullptr,
                         const QString& name = QString());

    // The panels.
    QtMeanShiftWidget* smoothing = nullptr;
    QtMeshTraversalWidget* traversal_panel = nullptr;
    QtMeshSimplifierWidget* simplification = nullptr;
    QtMeshSubdivideWidget* subdivision = nullptr;
    // Classification panel.
    QtMeshClassifierWidget* classifier = nullptr;

    // Registers what Apply does while `panel` is the current page.
    void add_apply_action(QWidget* panel, std::function<void()> action);

    QtCLippingWidget* clipping = nullptr;
    QtMorphogenWidget* morphogen_panel = nullptr;
    QtMeshTerrainWidget* terrain_panel = nullptr;

signals:
    void reset_signal();

public slots:
    void reset_event();
    void apply_event();

private:
    struct ApplyAction {
        QWidget* panel;
        std::function<void()> run;
    };

    Dialogs& dialogs;
    Messages& messages;
    std::vector<ApplyAction> apply_actions;
};
