#include "panels/QtMeanShiftWidget.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "panels/QtFunctionWidget.h"
#include "toolkit/ButtonGroup.h"
#include "toolkit/panel_parts.h"

namespace {

QPushButton* mode_button(const QString& text, bool checked)
{
    auto* button = new QPushButton(text);
    button->setCheckable(true);
    button->setChecked(checked);
    return button;
}

}  // namespace

QtMeanShiftWidget::QtMeanShiftWidget(QWidget* parent, const QString& name) : QWidget(parent)
{
    setObjectName(name);

    auto* modes = new ButtonGroup(1, Qt::Horizontal, this);
    modes->set_exclusive(true);
    mean_shift_button = mode_button("Mean Shift", true);
    median_button = mode_button("Median Filter", false);
    sphere_jump_button = mode_button("Sphere Jump", false);
    modes->add(mean_shift_button);
    modes->add(median_button);
    modes->add(sphere_jump_button);
    connect(mean_shift_button, &QPushButton::clicked, this, &QtMeanShiftWidget::MShiftEvent);
    connect(median_button, &QPushButton::clicked, this, &QtMeanShiftWidget::MedianEvent);
    connect(sphere_jump_button, &QPushButton::clicked, this, &QtMeanShiftWidget::SJumpEvent);

    function = new QtFunctionWidget(100.0f, this, "histogram");
    auto* function_layout = new QBoxLayout(QBoxLayout::TopToBottom);
    function_layout->setObjectName("boxlayout ");
    function_layout->setContentsMargins(5, 5, 5, 5);
    function_layout->setSpacing(1);
    function_layout->addWidget(function);

    auto* sizes = new ButtonGroup(1, Qt::Vertical, this);
    radius_label = new QLabel("Sphere Radius:\t\t0");
    radius_slider = panel_slider(nullptr, "xsize_slider", 0, 100, 1, 0, 5);
    step_button = new QPushButton("Step");
    sizes->add(slider_row(radius_label, radius_slider));
    sizes->add(step_button);
    connect(radius_slider, &QSlider::valueChanged, this, &QtMeanShiftWidget::xsizeEvent);
    connect(step_button, &QPushButton::clicked, this, &QtMeanShiftWidget::StepEvent);

    auto* layout = new QBoxLayout(QBoxLayout::TopToBottom, this);
    layout->setObjectName("smoothertab_blayout");
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(modes, 1);
    layout->addLayout(function_layout, 10);
    layout->addWidget(sizes, 1);
}

void QtMeanShiftWidget::apply()
{
    emit mshift_signal(kernel, mode);
}

void QtMeanShiftWidget::xsizeEvent(int value)
{
    radius = float(value);
    kernel.x = float(value);
    radius_label->setText("Sphere Radius:\t" + QString::number(value));
    emit rad_signal(kernel, mode);
}

// The ellipsoid settings have no controls; the view reads only kernel.x.
void QtMeanShiftWidget::ysizeEvent(int value)
{
    ellipsoid_y = float(value);
    kernel.y = float(value);
    emit rad_signal(kernel, mode);
}

void QtMeanShiftWidget::zsizeEvent(int value)
{
    ellipsoid_z = float(value);
    kernel.z = float(value);
    emit rad_signal(kernel, mode);
}

void QtMeanShiftWidget::sizeEvent(int value)
{
    scale = float(value);
    kernel = Vector(radius, ellipsoid_y, ellipsoid_z) * scale;
    emit rad_signal(kernel, mode);
}

void QtMeanShiftWidget::MShiftEvent()
{
    mode = 0;
    emit rad_signal(kernel, mode);
}

void QtMeanShiftWidget::SJumpEvent()
{
    mode = 1;
    emit rad_signal(kernel, mode);
}

void QtMeanShiftWidget::MedianEvent()
{
    mode = 2;
    emit rad_signal(kernel, mode);
}

void QtMeanShiftWidget::StepEvent()
{
    emit step_signal(kernel);
}
