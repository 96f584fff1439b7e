#include "toolkit/qt_colour.h"

#include <QLabel>

std::vector<Rgb> to_rgb(const std::vector<QColor>& colours)
{
    std::vector<Rgb> out;
    out.reserve(colours.size());
    for (const QColor& c : colours) out.push_back(to_rgb(c));
    return out;
}

std::vector<QColor> to_qcolors(const std::vector<Rgb>& colours)
{
    std::vector<QColor> out;
    out.reserve(colours.size());
    for (Rgb c : colours) out.push_back(to_qcolor(c));
    return out;
}

QPixmap swatch_pixmap(const QColor& colour)
{
    QPixmap p(16, 16);
    p.fill(colour);
    return p;
}

QLabel* swatch_label(const QColor& colour)
{
    auto* label = new QLabel;
    label->setPixmap(swatch_pixmap(colour));
    // Framed, so that a white swatch shows on a white list.
    label->setStyleSheet("QLabel { border: 1px solid #707070; }");
    label->setFixedSize(18, 18);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}
