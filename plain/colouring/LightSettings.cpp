#include "colouring/LightSettings.h"

#include <sstream>

#include "core/AtomicFile.h"
#include "core/format_text.h"
#include "core/Messages.h"
#include "core/text_file.h"

namespace {

std::string colour_line(const char* key, const Rgb& c)
{
    return std::string(key) + " " + std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + "\n";
}

// Reads `count` whole numbers in [low, high] and nothing after them.
bool read_numbers(std::istringstream& in, int* values, int count, int low, int high)
{
    for (int k = 0; k < count; ++k) {
        long v = 0;
        if (!(in >> v) || v < low || v > high) return false;
        values[k] = int(v);
    }
    std::string rest;
    return !(in >> rest);
}

}  // namespace

bool LightSettings::write(const std::string& path, Messages& out) const
{
    const std::string text = colour_line("AMBIENT", ambient) + colour_line("DIFFUSE", diffuse) +
                             colour_line("SPECULAR", specular) + "ALTITUDE " + std::to_string(altitude) + "\nAZIMUTH " +
                             std::to_string(azimuth) + "\n";
    std::string problem;
    if (write_file_atomically(path, text, problem)) return true;
    out.error(file_error_line("ERROR: could not save the light settings [LightSettings::write()]", path, problem),
              path);
    return false;
}

bool LightSettings::read(const std::string& path, Messages& out)
{
    std::string text;
    std::string problem;
    if (!read_text_file(path, text, &problem)) {
        out.error("ERROR: could not read " + path + (problem.empty() ? "" : " (" + problem + ")") +
                      " [LightSettings::read()]\n",
                  path);
        return false;
    }
    return read_text(text, path, out);
}

bool LightSettings::read_text(const std::string& text, const std::string& path, Messages& out)
{
    LightSettings next = *this;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::istringstream in(line);
        std::string key;
        if (!(in >> key)) continue;  // blank line
        int v[3] = {0, 0, 0};
        bool ok = false;
        if (key == "AMBIENT" || key == "DIFFUSE" || key == "SPECULAR") {
            ok = read_numbers(in, v, 3, 0, 255);
            Rgb& c = key == "AMBIENT" ? next.ambient : key == "DIFFUSE" ? next.diffuse : next.specular;
            c = Rgb{(unsigned char)v[0], (unsigned char)v[1], (unsigned char)v[2]};
        } else if (key == "ALTITUDE" || key == "AZIMUTH") {
            ok = read_numbers(in, v, 1, 0, 360);
            (key == "ALTITUDE" ? next.altitude : next.azimuth) = v[0];
        }
        if (!ok) {
            out.error(
                format_text("ERROR: %s: line %d: expected AMBIENT, DIFFUSE or SPECULAR with three numbers 0..255, "
                            "or ALTITUDE or AZIMUTH with one number 0..360; light settings unchanged\n",
                            path.c_str(), number),
                path, number);
            return false;
        }
    }
    *this = next;
    return true;
}
