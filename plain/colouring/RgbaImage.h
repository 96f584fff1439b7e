#pragma once

#include <vector>

// Pixels in rows from the top, four bytes each: red, green, blue, alpha.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;

    const unsigned char* at(int x, int y) const { return &pixels[(std::size_t(y) * width + x) * 4]; }
    unsigned char* at(int x, int y) { return &pixels[(std::size_t(y) * width + x) * 4]; }
};
