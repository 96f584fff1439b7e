#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTabWidget;

// A dialog of pages on tabs with a row of buttons below: OK, Apply,
// Default and Cancel. Only buttons given a text are shown; OK starts as
// "OK" and a null text removes it. Apply and Default only emit their
// signals; OK emits applyButtonPressed() and hides; Cancel hides. Pages and
// settings survive hiding.
class TabDialog : public QDialog {
    Q_OBJECT
public:
    explicit TabDialog(QWidget* parent = nullptr);

    void add_tab(QWidget* page, const QString& label);
    QWidget* current_page() const;
    QTabWidget* tabs() const { return tab_widget; }

    void set_ok_button(const QString& text);
    void set_apply_button(const QString& text);
    void set_default_button(const QString& text);
    void set_cancel_button(const QString& text);

    QPushButton* ok_button() const { return ok; }
    QPushButton* apply_button() const { return apply; }
    QPushButton* default_button() const { return defaults; }
    QPushButton* cancel_button() const { return cancel; }

signals:
    void applyButtonPressed();
    void defaultButtonPressed();
    void cancelButtonPressed();

private:
    QTabWidget* tab_widget;
    QPushButton* ok;
    QPushButton* apply;
    QPushButton* defaults;
    QPushButton* cancel;
};
