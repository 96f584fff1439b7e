#include "toolkit/QtDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

QString QtDialogs::open_file(QWidget* parent, const QString& caption, const QString& start, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, start, filter);
}

QString QtDialogs::save_file(QWidget* parent, const QString& caption, const QString& start, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, start, filter);
}

QColor QtDialogs::colour(QWidget* parent, const QColor& initial)
{
    return QColorDialog::getColor(initial, parent);
}

void QtDialogs::message(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::about(parent, title, text);
}

bool QtDialogs::confirm(QWidget* parent, const QString& title, const QString& text)
{
    return QMessageBox::warning(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

int QtDialogs::exec(QDialog& dialog)
{
    return dialog.exec();
}
