#include "panels/QtMeshSimplifierWidget.h"

#include <QLabel>
#include <QSlider>

#include "toolkit/ButtonGroup.h"
#include "toolkit/panel_parts.h"

QtMeshSimplifierWidget::QtMeshSimplifierWidget(QWidget* parent, const char* name) : QWidget(parent)
{
    setObjectName(name);
    ButtonGroup* group = panel_group(this);
    lod_label = new QLabel("Level of Detail:\t75%", group);
    threshmin_slider = panel_slider(group, "threshmin_slider", 0, 100, 1, 75, 5);
    group->add(slider_row(lod_label, threshmin_slider));

    connect(threshmin_slider, &QSlider::valueChanged, this, &QtMeshSimplifierWidget::lodEvent);
}

void QtMeshSimplifierWidget::apply()
{
    emit simplifySignal(lod);
}

void QtMeshSimplifierWidget::lodEvent(int value)
{
    lod = float(value);
    lod_label->setText("Level of Detail:\t" + QString::number(double(lod), 'g', 6) + "%");
}
