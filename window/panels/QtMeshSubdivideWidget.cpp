#include "panels/QtMeshSubdivideWidget.h"

#include <QLabel>
#include <QSlider>

#include "toolkit/ButtonGroup.h"
#include "toolkit/panel_parts.h"

QtMeshSubdivideWidget::QtMeshSubdivideWidget(QWidget* parent, const char* name) : QWidget(parent)
{
    setObjectName(name);
    ButtonGroup* group = panel_group(this);
    level_label = new QLabel("Subdivision Level:\t0", group);
    subdivlevel_slider = panel_slider(group, "subdivlevel_slider", 0, 10, 1, 0, 1);
    weight_label = new QLabel("Weight:\t0.0", group);
    weight_slider = panel_slider(group, "weight_slider", 0, 100, 5, 50, 10);
    group->add(slider_row(level_label, subdivlevel_slider));
    group->add(slider_row(weight_label, weight_slider));

    connect(subdivlevel_slider, &QSlider::valueChanged, this, &QtMeshSubdivideWidget::subdivlevel_event);
    connect(weight_slider, &QSlider::valueChanged, this, &QtMeshSubdivideWidget::weight_event);
}

void QtMeshSubdivideWidget::apply()
{
    if (level != 0) emit subdivide_signal(level, weight);
}

void QtMeshSubdivideWidget::subdivlevel_event(int value)
{
    level = value;
    level_label->setText("Subdivision Level:\t" + QString::number(value));
}

void QtMeshSubdivideWidget::weight_event(int value)
{
    // (0.5 - v/100) x (-0.25): -0.125 at 0, 0 at 50, 0.125 at 100. Written
    // this way round so the middle gives 0 rather than -0 in the label.
    weight = (float(value) / 100.0f - 0.5f) * 0.25f;
    weight_label->setText("Weight:\t" + rounded(weight));
}
