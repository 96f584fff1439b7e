#include "toolkit/PanelSlider.h"

#include <QSlider>

QSlider* panel_slider(QWidget* parent, const char* name, int low, int high, int page_step, int value,
                      int tick_interval)
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
