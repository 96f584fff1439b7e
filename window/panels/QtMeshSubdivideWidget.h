#pragma once

#include <QWidget>

class QLabel;
class QSlider;

// The subdivision panel: a level from 0 to 10 and the butterfly tension,
// sent to the view by Apply when the level is not 0.
class QtMeshSubdivideWidget : public QWidget {
    Q_OBJECT
public:
    explicit QtMeshSubdivideWidget(QWidget* parent = nullptr, const char* name = "subdividetab");

    int level = 0;
    float weight = 0.0f;

    QLabel* level_label = nullptr;
    QSlider* subdivlevel_slider = nullptr;
    QLabel* weight_label = nullptr;
    QSlider* weight_slider = nullptr;

    // What Apply does while this panel is the current page.
    void apply();

signals:
    void subdivide_signal(int subdiv, float weight);

public slots:
    void subdivlevel_event(int value);
    void weight_event(int value);
};
