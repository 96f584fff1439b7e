#pragma once

#include <QWidget>

class QLabel;
class QSlider;

// The edge traversal panel: the ring depth and the largest bend, sent to the
// view on every slider step, and "Mark Current", which commits the region.
class QtMeshTraversalWidget : public QWidget {
    Q_OBJECT
public:
    explicit QtMeshTraversalWidget(QWidget* parent = nullptr, const QString& name = QString());

    float depth = 0.0f;
    float angle = 1.0f;

    QLabel* depth_label = nullptr;
    QSlider* depth_slider = nullptr;
    QLabel* angle_label = nullptr;
    QSlider* stepsize_slider = nullptr;

    // What Apply does while this panel is the current page.
    void apply();

signals:
    void edgetraversal_signal(int depth, int angle);
    void markcurrent_signal();

public slots:
    void depthEvent(int value);
    void stepsizeEvent(int value);
    void markcurrent_event();
};
