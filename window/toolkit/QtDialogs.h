#pragma once

#include "toolkit/Dialogs.h"

// The program's dialogs: Qt's file, colour and message dialogs.
class QtDialogs : public Dialogs {
public:
    QString open_file(QWidget* parent, const QString& caption, const QString& start, const QString& filter) override;
    QString save_file(QWidget* parent, const QString& caption, const QString& start, const QString& filter) override;
    QColor colour(QWidget* parent, const QColor& initial) override;
    void message(QWidget* parent, const QString& title, const QString& text) override;
    bool confirm(QWidget* parent, const QString& title, const QString& text) override;
    int exec(QDialog& dialog) override;
};
