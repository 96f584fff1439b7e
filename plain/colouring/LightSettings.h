#pragma once

#include <string>

#include "colouring/Rgb.h"

class Messages;

// What the lighting editor holds and its light file (".lgt") stores: the
// light's three colours and its direction. One keyword a line, in any order;
// a keyword left out keeps its current value.
//
//   AMBIENT 127 127 127
//   DIFFUSE 31 31 31
//   SPECULAR 0 0 0
//   ALTITUDE 0        degrees from the viewing axis, 0..360
//   AZIMUTH 180       degrees about it, 0..360
class LightSettings {
public:
    Rgb ambient{127, 127, 127};
    Rgb diffuse{31, 31, 31};
    Rgb specular{0, 0, 0};
    int altitude = 0;
    int azimuth = 180;

    // Writes the file; false (after one line naming the file) when it could
    // not be written completely.
    bool write(const std::string& path, Messages& out) const;
    // Reads a file written by write(). A line that is not a keyword with
    // its numbers in range rejects the whole file with one line naming the
    // file and line, and nothing changes; false then, and when the file
    // cannot be read.
    bool read(const std::string& path, Messages& out);
    bool read_text(const std::string& text, const std::string& path, Messages& out);
};
