#include "core/off_reader.h"

#include <string_view>
#include <vector>

#include "core/LineReader.h"
#include "core/memory_limits.h"
#include "core/Mesh.h"
#include "core/MeshParts.h"
#include "core/Messages.h"
#include "core/text_fields.h"
#include "core/text_file.h"

namespace {

// What the keyword announces on each vertex line after x, y and z.
struct Layout {
    bool normals = false;  // "N": three numbers, not kept
    bool colours = false;  // "C": red, green, blue and perhaps alpha
    bool texture = false;  // "ST": two numbers at the end, not kept
};

bool parse_keyword(std::string_view word, Layout& layout)
{
    if (word.substr(0, 2) == "ST") {
        layout.texture = true;
        word.remove_prefix(2);
    }
    if (word.substr(0, 1) == "C") {
        layout.colours = true;
        word.remove_prefix(1);
    }
    if (word.substr(0, 1) == "N") {
        layout.normals = true;
        word.remove_prefix(1);
    }
    return word == "OFF";
}

// A colour written as integers is on the 0..255 scale, one with a point or
// an exponent on the 0..1 scale.
bool integer_text(std::string_view field)
{
    return field.find_first_of(".eE") == std::string_view::npos;
}

}  // namespace

bool read_off(Mesh& mesh, const std::string& path, Messages& out)
{
    std::string text;
    if (!read_text_file_or_report(path, text, "ERROR: Opening File: ", out)) return false;
    out.info("Opening: " + path + "\n");

    LineReader lines(text, true);
    std::string_view line, field;
    std::string problem;
    auto reject = [&](const std::string& what) {
        return reject_mesh_file(mesh, path, "line " + std::to_string(lines.number), what, out);
    };
    // The next line with something on it, comments dropped.
    auto next_content = [&]() {
        while (lines.next(line)) {
            std::string_view probe = line;
            if (next_field(probe, field)) return true;
        }
        return false;
    };

    Layout layout;
    if (!next_content() || !next_field(line, field)) return reject("empty file, no OFF keyword");
    if (!parse_keyword(field, layout)) {
        if (field.size() > 3 && field.substr(field.size() - 3) == "OFF")
            return reject("\"" + std::string(field) + "\" files are not read (only OFF with ST, C and N)");
        return reject("not an OFF file (it does not start with \"OFF\")");
    }
    // The counts follow the keyword on its line or stand on the next one.
    long long counts[3] = {0, 0, 0};
    std::string_view rest = line;
    if (std::string_view probe = rest; next_field(probe, field) && field == "BINARY")
        return reject("binary OFF files are not read");
    if (std::string_view probe = rest; !next_field(probe, field))
        if (!next_content()) return reject("the file ends before the vertex and face counts");
    rest = line;
    for (int k = 0; k < 2; ++k)
        if (!next_field(rest, field) || !parse_integer_field(field, counts[k]) || counts[k] < 0)
            return reject("the vertex and face counts must be whole numbers of 0 or more");
    // A line takes at least two bytes, so counts beyond that are refused
    // before anything is allocated.
    if (counts[0] + counts[1] > (long long)text.size())
        return reject("the header announces " + std::to_string(counts[0]) + " vertices and " +
                      std::to_string(counts[1]) + " faces, more lines than the file holds");
    std::string too_big;
    if (!mesh_fits_in_memory(counts[0], counts[1], 0, too_big)) return reject_mesh_file(mesh, path, "", too_big, out);

    MeshParts parts;
    parts.positions.reserve(std::size_t(counts[0]));
    const std::size_t before_colour = 3 + (layout.normals ? 3 : 0);
    for (long long i = 0; i < counts[0]; ++i) {
        if (!next_content())
            return reject("the file ends after " + std::to_string(i) + " of " + std::to_string(counts[0]) +
                          " vertices");
        std::vector<std::string_view> fields;
        for (std::string_view r = line; next_field(r, field);) fields.push_back(field);
        const std::size_t colour_fields =
            fields.size() - std::min(fields.size(), before_colour + (layout.texture ? 2 : 0));
        if (fields.size() < 3) return reject("vertex with fewer than three numbers");
        if (layout.colours && colour_fields != 3 && colour_fields != 4)
            return reject("vertex with " + std::to_string(fields.size()) + " numbers, which fit no colour layout");
        float v[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        for (std::size_t k = 0; k < 3; ++k)
            if (!parse_float_field(fields[k], v[k], problem)) return reject("vertex: " + problem);
        parts.positions.emplace_back(v[0], v[1], v[2]);
        if (!layout.colours) continue;
        bool integers = true;
        for (std::size_t k = 0; k < colour_fields; ++k) {
            const std::string_view f = fields[before_colour + k];
            if (!parse_float_field(f, v[k], problem)) return reject("vertex colour: " + problem);
            integers = integers && integer_text(f);
        }
        if (integers)
            for (std::size_t k = 0; k < colour_fields; ++k) v[k] /= 255.0f;
        parts.colours.emplace_back(v[0], v[1], v[2], v[3]);
    }
    std::vector<int> corners;
    for (long long j = 0; j < counts[1]; ++j) {
        if (!next_content())
            return reject("the file ends after " + std::to_string(j) + " of " + std::to_string(counts[1]) + " faces");
        // The corner count, the corners, then perhaps a face colour (not kept).
        rest = line;
        long long n = 0;
        if (!next_field(rest, field) || !parse_integer_field(field, n) || n < 3)
            return reject("a face needs a corner count of three or more, not \"" + std::string(field) + "\"");
        corners.clear();
        for (long long k = 0; k < n; ++k) {
            long long index = 0;
            if (!next_field(rest, field)) return reject("face with fewer corners than its count " + std::to_string(n));
            if (!parse_integer_field(field, index) || index < 0 || index >= counts[0])
                return reject("corner \"" + std::string(field) + "\" is not one of the vertices 0 to " +
                              std::to_string(counts[0] - 1));
            corners.push_back(int(index));
        }
        parts.add_polygon(corners.data(), corners.size());
    }
    return parts.move_into(mesh, path, out);
}
