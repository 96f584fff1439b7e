#include "panels/QtMeshTraversalWidget.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "toolkit/ButtonGroup.h"
#include "toolkit/panel_parts.h"

namespace {

QString value_text(float v)
{
    return QString::number(double(v), 'g', 6);
}

}  // namespace

QtMeshTraversalWidget::QtMeshTraversalWidget(QWidget* parent, const QString& name) : QWidget(parent)
{
    setObjectName(name);
    ButtonGroup* group = panel_group(this);

    depth_label = new QLabel("Edge Depth:\t" + value_text(depth), group);
    depth_slider = panel_slider(group, "depth_slider", 0, 5000, 1, 0, 500);
    angle_label = new QLabel("Angle Size:\t" + value_text(angle), group);
    stepsize_slider = panel_slider(group, "stepsize_slider", 1, 360, 1, 1, 36);
    auto* mark = new QPushButton("Mark Current", group);
    group->add(slider_row(depth_label, depth_slider));
    group->add(slider_row(angle_label, stepsize_slider));
    group->add(mark);

    connect(depth_slider, &QSlider::valueChanged, this, &QtMeshTraversalWidget::depthEvent);
    connect(stepsize_slider, &QSlider::valueChanged, this, &QtMeshTraversalWidget::stepsizeEvent);
    connect(mark, &QPushButton::clicked, this, &QtMeshTraversalWidget::markcurrent_event);
}

void QtMeshTraversalWidget::apply()
{
    emit edgetraversal_signal(int(depth), int(angle));
}

void QtMeshTraversalWidget::depthEvent(int value)
{
    depth = float(value);
    depth_label->setText("Edge Depth:\t" + value_text(depth));
    emit edgetraversal_signal(int(depth), int(angle));
}

void QtMeshTraversalWidget::stepsizeEvent(int value)
{
    angle = float(value);
    angle_label->setText("Angle Size:\t" + value_text(angle));
    emit edgetraversal_signal(int(depth), int(angle));
}

void QtMeshTraversalWidget::markcurrent_event()
{
    emit markcurrent_signal();
}
