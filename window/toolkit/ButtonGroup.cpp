#include "toolkit/ButtonGroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

ButtonGroup::ButtonGroup(int strip_count, Qt::Orientation orient, const QString& title, QWidget* parent)
    : QGroupBox(title, parent), strips(strip_count < 1 ? 1 : strip_count), orientation(orient),
      grid(new QGridLayout(this)), group(new QButtonGroup(this)), radios(new QButtonGroup(this))
{
    group->setExclusive(false);
}

ButtonGroup::ButtonGroup(int strip_count, Qt::Orientation orient, QWidget* parent)
    : ButtonGroup(strip_count, orient, QString(), parent)
{}

void ButtonGroup::next_cell(int& row, int& column)
{
    const int across = cells % strips, along = cells / strips;
    ++cells;
    if (orientation == Qt::Horizontal) {
        row = across;
        column = along;
    } else {
        row = along;
        column = across;
    }
}

void ButtonGroup::add(QWidget* widget)
{
    int row = 0, column = 0;
    next_cell(row, column);
    grid->addWidget(widget, row, column);
}

void ButtonGroup::add(QAbstractButton* button, int id)
{
    add(static_cast<QWidget*>(button));
    // A button belongs to one QButtonGroup at a time, and a group that is not
    // exclusive would let its radio buttons be on together, or all off.
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    QButtonGroup* joins = radio && !group->exclusive() ? radios : group;
    joins->addButton(button, id == -1 ? next_id : id);
    ++next_id;
}

void ButtonGroup::add(QLayout* layout)
{
    int row = 0, column = 0;
    next_cell(row, column);
    grid->addLayout(layout, row, column);
}

void ButtonGroup::set_exclusive(bool exclusive)
{
    group->setExclusive(exclusive);
}
