#pragma once

#include <cstdint>
#include <vector>

// Pixels in rows from the top, four bytes each: red, green, blue, alpha.
// A picture read from a 16-bit file keeps its full samples in `wide` (four
// a pixel, 0..65535, same order), and `pixels` holds them rounded to bytes.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
    std::vector<std::uint16_t> wide;

    const unsigned char* at(int x, int y) const { return &pixels[(std::size_t(y) * width + x) * 4]; }
    unsigned char* at(int x, int y) { return &pixels[(std::size_t(y) * width + x) * 4]; }
};
