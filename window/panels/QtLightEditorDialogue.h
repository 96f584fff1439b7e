#pragma once

#include "toolkit/TabDialog.h"

class Dialogs;
class Messages;
class QtLightSettingsWidget;

// The lighting dialogue: one page of light settings; Close hides it.
class QtLightEditorDialogue : public TabDialog {
    Q_OBJECT
public:
    QtLightEditorDialogue(Dialogs& dialogs, Messages& messages, QWidget* parent = nullptr,
                          const QString& name = QString());

    QtLightSettingsWidget* settings;

signals:
    void reset_signal();

public slots:
    void reset_event();
    void apply_event();
};
