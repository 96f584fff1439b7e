#include "colouring/ColourMap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/AtomicFile.h"
#include "core/format_text.h"
#include "core/Messages.h"
#include "core/text_file.h"
#include "core/Tokenizer.h"

std::size_t ColourMap::insert(float value, Rgb colour)
{
    const std::size_t i =
        std::size_t(std::upper_bound(map_values.begin(), map_values.end(), value) - map_values.begin());
    map_values.insert(map_values.begin() + std::ptrdiff_t(i), value);
    map_colours.insert(map_colours.begin() + std::ptrdiff_t(i), colour);
    return i;
}

std::size_t ColourMap::change(std::size_t i, float value, Rgb colour)
{
    map_values.erase(map_values.begin() + std::ptrdiff_t(i));
    map_colours.erase(map_colours.begin() + std::ptrdiff_t(i));
    return insert(value, colour);
}

void ColourMap::remove(std::size_t i)
{
    map_values.erase(map_values.begin() + std::ptrdiff_t(i));
    map_colours.erase(map_colours.begin() + std::ptrdiff_t(i));
}

bool ColourMap::write(const std::string& path, Messages& report) const
{
    std::string out;
    for (std::size_t i = 0; i < size(); ++i) {
        append_float(out, map_values[i]);
        const Rgb& c = map_colours[i];
        out += "\t" + std::to_string(c.r) + "\t" + std::to_string(c.g) + "\t" + std::to_string(c.b) + "\n";
    }
    std::string problem;
    if (write_file_atomically(path, out, problem)) return true;
    report.error(file_error_line("ERROR: SAVING FILE .MAP File! QtMeshTerrainWidget::save_event(void)", path, problem),
                 path);
    return false;
}

namespace {

bool reject(const std::string& path, int line, const char* problem, Messages& out)
{
    out.error(format_text("ERROR: %s: line %d: %s; the colour map is unchanged\n", path.c_str(), line, problem), path,
              line);
    return false;
}

}  // namespace

bool ColourMap::read(const std::string& path, Messages& out)
{
    std::string text, problem;
    if (!read_text_file(path, text, &problem)) {
        out.error(file_error_line("ERROR!!!", path, problem), path);
        return false;
    }
    return read_text(text, path, out);
}

bool ColourMap::read_text(const std::string& text, const std::string& path, Messages& out)
{
    ColourMap fresh;
    fresh.map_values.clear();
    fresh.map_colours.clear();
    bool complete = false;
    int component[3] = {0, 0, 0};  // the working colour, kept from entry to entry

    Tokenizer tok(text);
    tok.line_ends_significant = true;
    int token = tok.read_token();
    while (token != Tokenizer::TT_EOF) {
        if (token != Tokenizer::TT_NUMBER) {
            token = tok.read_token();
            continue;
        }
        const int line = tok.line + 1;
        if (!std::isfinite(tok.number_value) || std::fabs(tok.number_value) > 3.4e38)
            return reject(path, line, "the value is not a finite number", out);
        fresh.map_values.push_back(float(tok.number_value));
        int k = 0;
        while (k < 3 && (token = tok.read_token()) == Tokenizer::TT_NUMBER) {
            const double v = std::trunc(tok.number_value);
            if (!(v >= 0.0 && v <= 255.0)) return reject(path, line, "a colour component is outside 0..255", out);
            component[k++] = int(v);
        }
        if (k == 3) {
            complete = true;
            token = tok.read_token();
        }
        fresh.map_colours.push_back(
            Rgb{(unsigned char)component[0], (unsigned char)component[1], (unsigned char)component[2]});
    }
    if (!complete) return reject(path, tok.line + 1, "no entry with a value and red, green and blue", out);

    for (std::size_t i = 0; i < fresh.size(); ++i)
        out.info(format_text("%f, %d, %d, %d \n", double(fresh.map_values[i]), fresh.map_colours[i].r,
                             fresh.map_colours[i].g, fresh.map_colours[i].b));
    map_values.swap(fresh.map_values);
    map_colours.swap(fresh.map_colours);
    return true;
}
