#include "toolkit/ScriptedDialogs.h"

QString ScriptedDialogs::next_file()
{
    if (file_answers.empty()) return QString();
    QString answer = file_answers.front();
    file_answers.pop_front();
    return answer;
}

QString ScriptedDialogs::open_file(QWidget* parent, const QString& caption, const QString& start,
                                   const QString& filter)
{
    asked.push_back({"open", parent, caption, start, filter, QColor()});
    return next_file();
}

QString ScriptedDialogs::save_file(QWidget* parent, const QString& caption, const QString& start,
                                   const QString& filter)
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
