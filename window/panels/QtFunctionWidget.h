#pragma once

#include <vector>

#include <QLabel>
#include <QPixmap>

#include "core/Vector.h"
#include "toolkit/meta_types.h"

// The smoothing panel's weight curve. The user draws it by dragging with
// the left button: height 0 at the bottom, the widget's height at the top,
// sampled at 101 positions across the width. Releasing the button hands the
// curve and its full height on with signal_function; the smoother then
// weighs each face by 1 - height / full height at its distance from the
// ball's centre (left edge: the centre, right edge: the sphere).
class QtFunctionWidget : public QLabel {
    Q_OBJECT
public:
    static constexpr int samples = 101;

    // `range`: the x value of the last sample (the first is 0).
    explicit QtFunctionWidget(float range, QWidget* parent = nullptr, const QString& name = QString());

    float range;
    // Sample k at x = k / 100 of `range`; y in pixels from the bottom.
    std::vector<Vector> curve;

signals:
    void signal_function(std::vector<Vector> func, int sizey);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Sets the samples under the pointer, filling in the samples passed over
    // since the last position so a fast drag leaves no gaps.
    void draw_to(const QPointF& at);
    void repaint_curve();
    int sample_at(double x) const;
    float height_at(double y) const;

    bool drawing = false;
    int last_sample = -1;
    int curve_height = 0;  // the height the samples were drawn against
    QPixmap canvas;
};
