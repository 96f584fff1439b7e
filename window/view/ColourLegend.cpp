#include "view/ColourLegend.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

#include "colouring/vertex_colouring.h"
#include "core/Mesh.h"
#include "toolkit/panel_parts.h"

namespace {

QColor colour_of(const Vector& v)
{
    return QColor::fromRgbF(std::clamp(v.x, 0.0f, 1.0f), std::clamp(v.y, 0.0f, 1.0f), std::clamp(v.z, 0.0f, 1.0f));
}

// Sizes in logical pixels.
constexpr int bar_width = 160;
constexpr int bar_height = 12;
constexpr int padding = 8;

}  // namespace

void ColourLegend::show_morphogens(const Mesh& mesh, int mix_mode, const std::vector<int>& toggles,
                                   const std::vector<Rgb>& colours, Rgb base)
{
    clear();
    const std::size_t listed = std::min({toggles.size(), colours.size(), mesh.morphogen_names.size()});
    for (std::size_t i = 0; i < listed; ++i) {
        if (toggles[i] != 1) continue;
        float low = INFINITY, high = -INFINITY;
        for (const std::vector<float>& values : mesh.morphogen_values)
            if (i < values.size() && std::isfinite(values[i])) {
                low = std::min(low, values[i]);
                high = std::max(high, values[i]);
            }
        if (low > high) continue;
        Bar bar;
        bar.title = QString::fromStdString(mesh.morphogen_names[i]);
        const int samples = low < high ? 16 : 1;
        for (int s = 0; s <= samples; ++s) {
            const float t = float(s) / float(samples);
            const float value = low + (high - low) * t;
            bar.stops.emplace_back(t, colour_of(morphogen_colour_alone(mix_mode, colours[i], base, value)));
        }
        bar.ticks = {{0.0f, rounded(low)}, {1.0f, rounded(high)}};
        bars.push_back(bar);
    }
}

void ColourLegend::show_height_map(const Mesh& mesh, const std::vector<Rgb>& colours, const std::vector<float>& values)
{
    clear();
    const std::size_t n = std::min(colours.size(), values.size());
    if (n == 0 || mesh.nv == 0) return;
    float low = INFINITY, high = -INFINITY;
    for (const Vector& p : mesh.vertices) {
        low = std::min(low, p.y);
        high = std::max(high, p.y);
    }
    Bar bar;
    bar.title = "height " + rounded(low) + " to " + rounded(high);
    for (std::size_t i = 0; i < n; ++i) {
        const float at = std::clamp(values[i], 0.0f, 1.0f);
        bar.stops.emplace_back(at, QColor(colours[i].r, colours[i].g, colours[i].b));
        bar.ticks.push_back({at, rounded(values[i])});
    }
    bars.push_back(bar);
}

QImage ColourLegend::picture(qreal ratio) const
{
    if (bars.empty()) return QImage();
    QFont font;
    font.setPixelSize(11);
    const QFontMetrics metrics(font);
    const int line = metrics.height();
    const int row = line + bar_height + line + 4;  // title, bar, ticks
    const QSize size(bar_width + 2 * padding, int(bars.size()) * row + 2 * padding - 4);
    QImage image(size * ratio, QImage::Format_RGBA8888);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 215));
    painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 4, 4);

    int y = padding;
    for (const Bar& bar : bars) {
        painter.setPen(Qt::black);
        painter.drawText(QRect(padding, y, bar_width, line), Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(bar.title, Qt::ElideRight, bar_width));
        y += line;
        const QRect strip(padding, y, bar_width, bar_height);
        QLinearGradient gradient(strip.topLeft(), strip.topRight());
        for (const auto& stop : bar.stops) gradient.setColorAt(stop.first, stop.second);
        painter.fillRect(strip, gradient);
        painter.setPen(QColor(90, 90, 90));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(strip.adjusted(0, 0, -1, -1));
        y += bar_height;
        // Tick labels left to right, each skipped when it would run into the last one drawn.
        int free_from = 0;
        for (const Tick& tick : bar.ticks) {
            const int x = padding + int(std::lround(tick.at * bar_width));
            const int w = metrics.horizontalAdvance(tick.text);
            const int left = std::clamp(x - w / 2, 0, padding * 2 + bar_width - w);
            if (left < free_from) continue;
            painter.setPen(QColor(90, 90, 90));
            painter.drawLine(x, y, x, y + 2);
            painter.setPen(Qt::black);
            painter.drawText(QRect(left, y + 2, w, line), Qt::AlignCenter, tick.text);
            free_from = left + w + 4;
        }
        y += line + 4;
    }
    return image;
}
