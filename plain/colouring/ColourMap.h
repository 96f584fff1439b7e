#pragma once

#include <string>
#include <vector>

#include "colouring/Rgb.h"

class Messages;

// The terrain's colour map: entries (value, colour) kept in increasing order
// of value, as two parallel lists. The first and the last entry stay: they
// are the ends of the height ramp.
//
// A ".map" file holds one entry a line: the value (the shortest text that
// reads back exactly), then red, green and blue 0..255, separated by tabs.
class ColourMap {
public:
    std::vector<Rgb> map_colours{Rgb{0, 0, 0}, Rgb{255, 255, 255}};
    std::vector<float> map_values{0.0f, 1.0f};

    std::size_t size() const { return map_values.size(); }
    // Puts the entry after any entries of equal or lower value; returns its index.
    std::size_t insert(float value, Rgb colour);
    // Changes entry i and moves it to its place in the order; returns its new index.
    std::size_t change(std::size_t i, float value, Rgb colour);
    // Every entry but the first and the last can go.
    bool removable(std::size_t i) const { return i > 0 && i + 1 < size(); }
    void remove(std::size_t i);

    // False (after one console line) when the file cannot be opened or written.
    bool write(const std::string& path, Messages& out) const;
    // Reads the whole file first and replaces the map only when the file
    // opened and holds at least one complete entry (a value with red, green
    // and blue). A line that lacks components takes them from the entry
    // before it. Each entry read is printed. Otherwise one console line
    // says why and the map stays as it was.
    bool read(const std::string& path, Messages& out);
    // read() on a file's text; `path` names it in the messages.
    bool read_text(const std::string& text, const std::string& path, Messages& out);
};
