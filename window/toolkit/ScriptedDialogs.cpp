#include "toolkit/ScriptedDialogs.h"

#include <QDialog>

QString ScriptedDialogs::next_file()
{
    if (file_answers.empty()) return QString();
    QString answer = file_answers.front();
    file_answers.pop_front();
    return answer;
}

QString ScriptedDialogs::open_file(QWidget* parent, const QString& caption, const QString& start, const QString& filter)
{
    asked.push_back({"open", parent, caption, start, filter, QColor()});
    return next_file();
}

QString ScriptedDialogs::save_file(QWidget* parent, const QString& caption, const QString& start, const QString& filter)
{
    asked.push_back({"save", parent, caption, start, filter, QColor()});
    return next_file();
}

QColor ScriptedDialogs::colour(QWidget* parent, const QColor& initial)
{
    asked.push_back({"colour", parent, QString(), QString(), QString(), initial});
    if (colour_answers.empty()) return QColor();
    QColor answer = colour_answers.front();
    colour_answers.pop_front();
    return answer;
}

void ScriptedDialogs::message(QWidget* parent, const QString& title, const QString& text)
{
    asked.push_back({"message", parent, title, text, QString(), QColor()});
}

bool ScriptedDialogs::confirm(QWidget* parent, const QString& title, const QString& text)
{
    asked.push_back({"confirm", parent, title, text, QString(), QColor()});
    if (confirm_answers.empty()) return false;
    const bool answer = confirm_answers.front();
    confirm_answers.pop_front();
    return answer;
}

int ScriptedDialogs::exec(QDialog& dialog)
{
    asked.push_back({"dialog", dialog.parentWidget(), dialog.windowTitle(), QString(), QString(), QColor()});
    dialog.setResult(QDialog::Rejected);
    if (!dialog_scripts.empty()) {
        const auto script = dialog_scripts.front();
        dialog_scripts.pop_front();
        script(dialog);
    }
    return dialog.result();
}
