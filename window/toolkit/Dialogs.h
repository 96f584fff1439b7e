#pragma once

#include <QColor>
#include <QString>

class QDialog;
class QWidget;

// Every modal question the program asks goes through here, so tests can
// answer with prepared replies instead of blocking on a real dialog.
// File questions return an empty name and colour questions an invalid
// colour when the user cancels.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual QString open_file(QWidget* parent, const QString& caption, const QString& start, const QString& filter) = 0;
    virtual QString save_file(QWidget* parent, const QString& caption, const QString& start, const QString& filter) = 0;
    virtual QColor colour(QWidget* parent, const QColor& initial) = 0;
    virtual void message(QWidget* parent, const QString& title, const QString& text) = 0;
    // A warning with Yes and No, No the default: true only for Yes.
    virtual bool confirm(QWidget* parent, const QString& title, const QString& text) = 0;
    // Runs one of the program's own modal dialogs; QDialog::Accepted or Rejected.
    virtual int exec(QDialog& dialog) = 0;
};

// Where a fixed start directory points: the folder of that name in the
// working directory when there is one ("\Data" and "\data" take either
// spelling), else the working directory itself, so that a dialog never
// takes a missing folder's name for a file name.
QString data_directory(const QString& name);

// A file name as the panels save it: one whose fourth character from the
// end is not "." (or that is shorter than four characters) gets `extension`
// (".mor", ".map", ...) appended.
QString with_extension(const QString& name, const QString& extension);
