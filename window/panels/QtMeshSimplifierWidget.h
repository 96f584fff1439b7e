#pragma once

#include <QWidget>

class QLabel;
class QSlider;

// The simplification panel: the level of detail in percent of the vertices
// to keep, sent to the view by Apply.
class QtMeshSimplifierWidget : public QWidget {
    Q_OBJECT
public:
    explicit QtMeshSimplifierWidget(QWidget* parent = nullptr, const char* name = "simplifytab");

    float lod = 75.0f;

    QLabel* lod_label = nullptr;
    QSlider* threshmin_slider = nullptr;

    // What Apply does while this panel is the current page.
    void apply();

signals:
    void simplifySignal(float lod);

public slots:
    void lodEvent(int value);
};
