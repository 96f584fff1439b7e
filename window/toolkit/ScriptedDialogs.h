#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "toolkit/Dialogs.h"

// Dialogs for tests: answers come from the queues (an empty queue answers
// as a cancelled dialog would) and every question is recorded.
class ScriptedDialogs : public Dialogs {
public:
    struct Question {
        QString kind;  // "open", "save", "colour", "message", "confirm" or "dialog"
        QWidget* parent = nullptr;
        QString caption;  // file caption, or message, confirm or dialog title
        QString start;    // file start directory or name, or message text
        QString filter;
        QColor initial;
    };

    std::deque<QString> file_answers;
    std::deque<QColor> colour_answers;
    std::deque<bool> confirm_answers;
    // Each runs inside exec() on the dialog shown, as a user would (fill in,
    // press a button); a dialog still open afterwards counts as cancelled.
    std::deque<std::function<void(QDialog&)>> dialog_scripts;
    std::vector<Question> asked;

    QString open_file(QWidget* parent, const QString& caption, const QString& start, const QString& filter) override;
    QString save_file(QWidget* parent, const QString& caption, const QString& start, const QString& filter) override;
    QColor colour(QWidget* parent, const QColor& initial) override;
    void message(QWidget* parent, const QString& title, const QString& text) override;
    bool confirm(QWidget* parent, const QString& title, const QString& text) override;
    int exec(QDialog& dialog) override;

private:
    QString next_file();
};
