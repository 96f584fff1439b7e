#pragma once

#include <QColor>
#include <QPixmap>

class QLabel;
#include <vector>

#include "colouring/Rgb.h"

// Colours cross between the widgets (QColor) and the colouring engine (Rgb)
// through these.
inline Rgb to_rgb(const QColor& c)
{
    return Rgb{(unsigned char)c.red(), (unsigned char)c.green(), (unsigned char)c.blue()};
}
inline QColor to_qcolor(Rgb c)
{
    return QColor(c.r, c.g, c.b);
}
std::vector<Rgb> to_rgb(const std::vector<QColor>& colours);
std::vector<QColor> to_qcolors(const std::vector<Rgb>& colours);

// The 16 by 16 swatch the colour panels show for a colour.
QPixmap swatch_pixmap(const QColor& colour);
// A label showing that swatch, for a cell of a list; clicks pass through
// to the list.
QLabel* swatch_label(const QColor& colour);
