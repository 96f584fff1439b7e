#include "processing/QtMeshTraversalWidget.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace {

QSlider* make_slider(QWidget* parent, const char* name, int low, int high, int value, int ticks)
{
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(low, high);
    s->setPageStep(1);
    s->setValue(value);
    s->setTickPosition(QSlider::TicksBelow);
    s->setTickInterval(ticks);
    s->setTracking(true);
    return s;
}

QString value_text(float v) { return QString::number(double(v), 'g', 6); }

}  // namespace

QtMeshTraversalWidget::QtMeshTraversalWidget(QWidget* parent, const char* name) : QWidget(parent)
{
    setObjectName(name);
    auto* group = new QGroupBox(this);
    auto* inner = new QVBoxLayout(group);

    depth_label = new QLabel("Edge Depth:\t" + value_text(depth), group);
    depth_slider = make_slider(group, "depth_slider", 0, 5000, 0, 500);
    angle_label = new QLabel("Angle Size:\t" + value_text(angle), group);
    stepsize_slider = make_slider(group, "stepsize_slider", 1, 360, 1, 36);
    auto* mark = new QPushButton("Mark Current", group);
    for (QWidget* w : {static_cast<QWidget*>(depth_label), static_cast<QWidget*>(depth_slider),
                       static_cast<QWidget*>(angle_label), static_cast<QWidget*>(stepsize_slider),
                       static_cast<QWidget*>(mark)})
        inner->addWidget(w);

    auto* layout = new QBoxLayout(QBoxLayout::TopToBottom, this);
    layout->setObjectName("smoothertab_blayout");
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(group, 10);

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
