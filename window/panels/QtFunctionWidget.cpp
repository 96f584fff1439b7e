#include "panels/QtFunctionWidget.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QResizeEvent>

QtFunctionWidget::QtFunctionWidget(float range_, QWidget* parent, const QString& name) : QLabel(parent), range(range_)
{
    setObjectName(name);
    setFrameStyle(QFrame::Panel);
    setLineWidth(2);
    setMargin(0);
    setAlignment(Qt::AlignCenter);
    setScaledContents(true);
    // Small enough for any layout: the pixmap follows the widget's size and
    // must not hold it open.
    setMinimumSize(1, 1);
    for (int k = 0; k < samples; ++k) curve.emplace_back(float(k) * range / float(samples - 1), 0.0f);
    curve_height = std::max(contentsRect().height(), 1);
    repaint_curve();
}

int QtFunctionWidget::sample_at(double x) const
{
    const QRect r = contentsRect();
    const double t = r.width() > 1 ? (x - r.left()) / double(r.width() - 1) : 0.0;
    return int(std::lround(std::clamp(t, 0.0, 1.0) * double(samples - 1)));
}

float QtFunctionWidget::height_at(double y) const
{
    // The bottom row is height 0, the top row the full height.
    const QRect r = contentsRect();
    const double t = r.height() > 1 ? (double(r.bottom()) - y) / double(r.height() - 1) : 0.0;
    return float(std::clamp(t, 0.0, 1.0) * double(r.height()));
}

void QtFunctionWidget::draw_to(const QPointF& at)
{
    const int k = sample_at(at.x());
    const float y = height_at(at.y());
    if (last_sample < 0 || last_sample == k) {
        curve[std::size_t(k)].y = y;
    } else {
        // A straight line from the last sample to this one.
        const float y0 = curve[std::size_t(last_sample)].y;
        const int step = k > last_sample ? 1 : -1;
        const int span = std::abs(k - last_sample);
        for (int i = 1; i <= span; ++i)
            curve[std::size_t(last_sample + i * step)].y = y0 + (y - y0) * float(i) / float(span);
    }
    last_sample = k;
    repaint_curve();
}

void QtFunctionWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    drawing = true;
    last_sample = -1;
    draw_to(event->position());
}

void QtFunctionWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (drawing) draw_to(event->position());
}

void QtFunctionWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (!drawing || event->button() != Qt::LeftButton) return;
    draw_to(event->position());
    drawing = false;
    emit signal_function(curve, curve_height);
}

void QtFunctionWidget::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    // The samples keep their share of the height.
    const int h = std::max(contentsRect().height(), 1);
    for (Vector& p : curve) p.y = p.y * float(h) / float(curve_height);
    curve_height = h;
    repaint_curve();
}

void QtFunctionWidget::repaint_curve()
{
    const QSize size = contentsRect().size().expandedTo(QSize(1, 1));
    canvas = QPixmap(size);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::green, 2));
    QPolygonF line;
    for (int k = 0; k < samples; ++k) {
        const double x = double(k) * double(size.width() - 1) / double(samples - 1);
        const double share = double(curve[std::size_t(k)].y) / double(curve_height);
        line << QPointF(x, double(size.height() - 1) * (1.0 - share));
    }
    painter.drawPolyline(line);
    painter.end();
    setPixmap(canvas);
}
