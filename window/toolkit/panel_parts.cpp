#include "toolkit/panel_parts.h"

#include <QBoxLayout>
#include <QLabel>
#include <QSlider>

#include "toolkit/ButtonGroup.h"

QSlider* panel_slider(QWidget* parent, const char* name, int low, int high, int page_step, int value, int tick_interval)
{
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(low, high);
    s->setPageStep(page_step);
    s->setValue(value);
    s->setTickPosition(QSlider::TicksBelow);
    s->setTickInterval(tick_interval);
    s->setTracking(true);
    return s;
}

QLayout* slider_row(QLabel* label, QSlider* slider)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    label->setMinimumWidth(170);
    row->addWidget(label);
    row->addWidget(slider, 1);
    return row;
}

QString rounded(double value, int digits)
{
    return QString::number(value, 'g', digits);
}

ButtonGroup* panel_group(QWidget* panel)
{
    auto* group = new ButtonGroup(1, Qt::Vertical, panel);
    auto* layout = new QBoxLayout(QBoxLayout::TopToBottom, panel);
    layout->setObjectName("smoothertab_blayout");
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(group, 10);
    return group;
}
