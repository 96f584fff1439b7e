#pragma once

#include <QWidget>

#include "core/Vector.h"
#include "toolkit/meta_types.h"

class QLabel;
class QPushButton;
class QSlider;
class QtFunctionWidget;

// The smoothing panel: the method (mean shift, median filter, sphere jump),
// the weight curve, and the ball radius with a single-step button. It keeps
// its settings and sends them to the view; Apply runs a full pass.
class QtMeanShiftWidget : public QWidget {
    Q_OBJECT
public:
    explicit QtMeanShiftWidget(QWidget* parent = nullptr, const QString& name = QString());

    Vector kernel{0.0f, 0.0f, 0.0f, 1.0f};  // x = radius slider value; y, z ellipsoid values
    int mode = 0;                           // 0 mean shift, 1 sphere jump, 2 median filter
    float scale = 1.0f;
    float radius = 0.0f;
    float ellipsoid_y = 0.0f;
    float ellipsoid_z = 0.0f;

    QPushButton* mean_shift_button;
    QPushButton* median_button;
    QPushButton* sphere_jump_button;
    QtFunctionWidget* function;
    QLabel* radius_label;
    QSlider* radius_slider;
    QPushButton* step_button;

    // The dialogue's Apply on this page: a full run with the current settings.
    void apply();

signals:
    void mshift_signal(Vector kernel, int mode);
    void rad_signal(Vector kernel, int mode);
    void step_signal(Vector kernel);

public slots:
    void xsizeEvent(int value);
    void ysizeEvent(int value);
    void zsizeEvent(int value);
    void sizeEvent(int value);
    void MShiftEvent();
    void SJumpEvent();
    void MedianEvent();
    void StepEvent();
};
