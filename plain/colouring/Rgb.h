#pragma once

// An 8-bit colour as the panels, the files and the PLY writer carry it.
struct Rgb {
    unsigned char r = 0, g = 0, b = 0;

    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};
