#pragma once

#include <deque>
#include <vector>

#include "toolkit/Dialogs.h"

// Dialogs for tests: answers come from the queues (an empty queue answers
// as a cancelled dialog would) and every question is recorded.
class ScriptedDialogs : public Dialogs {
public:
    struct Question {
        QString kind;  // "open", "save", "colour" or "message"
        QWidget* parent = nullptr;
        QString caption;  // file caption, or message title
        QString start;    // file start directory or name, or message text
        QString filter;
        QColor initial;
    };

    std::deque<QString> file_answers;
    std::deque<QColor> colour_answers;
    std::vector<Question> asked;

    QString open_file(QWidget* parent, const QString& caption, const QString& start,
                      const QString& filter) override;
    QString save_file(QWidget* parent, const QString& caption, const QString& start,
                      const QString& filter) override;
    QColor colour(QWidget* parent, const QColor& initial) override;
    void message(QWidget* parent, const QString& title, const QString& text) override;

private:
    QString next_file();
};
