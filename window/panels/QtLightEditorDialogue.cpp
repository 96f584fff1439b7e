#include "panels/QtLightEditorDialogue.h"

#include "app/icons.h"
#include "panels/QtLightSettingsWidget.h"

QtLightEditorDialogue::QtLightEditorDialogue(Dialogs& dialogs, Messages& messages, QWidget* parent, const QString& name)
    : TabDialog(parent)
{
    setObjectName(name);
    setModal(false);
    setWindowTitle("Lighting Editor");
    setWindowIcon(load_icon("icons/lights.png"));
    settings = new QtLightSettingsWidget(dialogs, messages, this, "lightettings_tab");
    add_tab(settings, "Lighting");
    set_ok_button(QString());
    set_cancel_button("Close");
}

// Light settings live only as long as the run; there is nothing to reset
// or apply beyond what each control sends at once.
void QtLightEditorDialogue::reset_event() {}

void QtLightEditorDialogue::apply_event() {}
