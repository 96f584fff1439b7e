#pragma once

#include <QGroupBox>
#include <QString>

class QAbstractButton;
class QButtonGroup;
class QGridLayout;
class QLayout;

// A titled box that lays what is added to it in strips: a horizontal box
// has `strips` rows and fills them column by column (one strip: everything
// in one row); a vertical box has `strips` columns and fills them row by
// row (one strip: everything in one column). Buttons added to an exclusive
// group behave as radio buttons through a QButtonGroup. In a group that is
// not exclusive, its radio buttons still exclude each other, as radio
// buttons do anywhere.
class ButtonGroup : public QGroupBox {
    Q_OBJECT
public:
    ButtonGroup(int strips, Qt::Orientation orientation, const QString& title, QWidget* parent = nullptr);
    ButtonGroup(int strips, Qt::Orientation orientation, QWidget* parent = nullptr);

    // Places the widget in the next cell; a button also joins the button
    // group with the given id (-1: its position among the buttons).
    void add(QWidget* widget);
    void add(QAbstractButton* button, int id = -1);
    void add(QLayout* layout);

    // Made before the buttons are added.
    void set_exclusive(bool exclusive);
    QButtonGroup* buttons() const { return group; }

private:
    void next_cell(int& row, int& column);

    int strips;
    Qt::Orientation orientation;
    int cells = 0;
    QGridLayout* grid;
    QButtonGroup* group;
    QButtonGroup* radios;  // the radio buttons of a group that is not exclusive
    int next_id = 0;
};
