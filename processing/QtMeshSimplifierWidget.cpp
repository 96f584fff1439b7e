#include "processing/QtMeshSimplifierWidget.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>

#include "toolkit/PanelSlider.h"

QtMeshSimplifierWidget::QtMeshSimplifierWidget(QWidget* parent, const char* name) : QWidget(parent)
{
    setObjectName(name);
    auto* group = new QGroupBox(this);
    auto* inner = new QVBoxLayout(group);
    lod_label = new QLabel("Level of Detail:\t75%", group);
    threshmin_slider = panel_slider(group, "threshmin_slider", 0, 100, 1, 75, 5);
    inner->addWidget(lod_label);
    inner->addWidget(threshmin_slider);

    auto* layout = new QBoxLayout(QBoxLayout::TopToBottom, this);
    layout->setObjectName("smoothertab_blayout");
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(group, 10);

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
