#pragma once

#include <vector>

#include <QColor>
#include <QImage>
#include <QString>

#include "colouring/Rgb.h"

class Mesh;

// The key to the colours on show, drawn in a corner of the view: one bar
// per switched-on morphogen (from its lowest to its highest value on the
// mesh) or the terrain colour map's ramp with its values. Built from the
// settings the colouring slots receive; the view draws its picture.
class ColourLegend {
public:
    struct Tick {
        float at;  // 0..1 along the bar
        QString text;
    };
    struct Bar {
        QString title;
        std::vector<std::pair<float, QColor>> stops;  // position 0..1, colour
        std::vector<Tick> ticks;
    };

    std::vector<Bar> bars;

    bool empty() const { return bars.empty(); }
    void clear() { bars.clear(); }

    // A bar per morphogen switched on, as colour_by_morphogens mixes it
    // alone; none when the mesh has no values for it.
    void show_morphogens(const Mesh& mesh, int mix_mode, const std::vector<int>& toggles,
                         const std::vector<Rgb>& colours, Rgb base);
    // The colour map over the normalised height, its entries' values marked,
    // with the mesh's height range in the title.
    void show_height_map(const Mesh& mesh, const std::vector<Rgb>& colours, const std::vector<float>& values);

    // The legend's picture at a device pixel ratio, with a translucent
    // backing; a null image when empty.
    QImage picture(qreal pixel_ratio) const;
};
