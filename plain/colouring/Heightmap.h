#pragma once

#include <vector>

#include "colouring/RgbaImage.h"

// The terrain's heightmap: a 256 by 256 picture with the red and blue
// channels of the loaded file exchanged, so that grey() weighs the file's
// colours as (11 blue + 16 green + 5 red) / 32. Black (flat) until a picture
// is loaded.
class Heightmap {
public:
    static constexpr int size = 256;

    // Three bytes a pixel, rows from the top: the file's blue, green, red.
    std::vector<unsigned char> rgb = std::vector<unsigned char>(std::size_t(size) * size * 3, 0);
    // For a picture from a 16-bit file: the grey of each pixel at full
    // precision, 0..255 as a float; empty otherwise.
    std::vector<float> fine;

    // Stretches the picture to 256 by 256 (averaging when it shrinks,
    // interpolating when it grows; the aspect ratio is not kept) and
    // exchanges red and blue. Transparent pixels count as black.
    void load(const RgbaImage& image);
    // (11 R + 16 G + 5 B) / 32 of the stored channels, rounded down: 0..255;
    // for a 16-bit picture the same formula on its full samples, scaled to
    // 0..255 and not rounded.
    float grey(int x, int y) const;
    // The stored picture as RGBA, for showing it.
    RgbaImage picture() const;
};

// Stretches an image to width by height with the smoothing of Heightmap::load.
RgbaImage scale_smooth(const RgbaImage& image, int width, int height);
