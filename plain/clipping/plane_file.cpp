// The plane file: "SIZE: 6" and one "P: " line per plane with 69 numbers:
// centre, normal, corners, base corners (floats), a, b, c, d (written as
// floats), the face id (integer), then the handle's transform, last_rotation
// and this_rotation in storage order (floats). Floats are written in the
// shortest form that reads back exactly, so a saved cut comes back exactly.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "clipping/PlaneWidgetInCube.h"
#include "core/AtomicFile.h"
#include "core/format_text.h"
#include "core/Messages.h"
#include "core/text_file.h"

namespace {

constexpr int values_per_plane = 69;
constexpr int face_id_position = 34;  // 0-based position of the integer
// A sound plane file is a few kilobytes; anything far larger is refused
// before it is read.
constexpr std::streamoff largest_file = 1 << 20;

void append_vector(std::string& out, const Vector& v)
{
    append_xyz(out, v);
    out += ' ';
}

template <typename Floats>
void append_floats(std::string& out, const Floats& values)
{
    for (const float f : values) {
        append_float(out, f);
        out += ' ';
    }
}

std::string plane_line(const CutPlane& plane)
{
    std::string line = "P: ";
    append_vector(line, plane.centre);
    append_vector(line, plane.normal);
    for (const Vector& v : plane.corners) append_vector(line, v);
    for (const Vector& v : plane.base_corners) append_vector(line, v);
    for (const double e : {plane.a, plane.b, plane.c, plane.d}) {
        append_float(line, float(e));
        line += ' ';
    }
    line += std::to_string(plane.handle.axis_mode);
    line += ' ';
    append_floats(line, plane.handle.transform);
    append_floats(line, plane.handle.last_rotation);
    append_floats(line, plane.handle.this_rotation);
    line.back() = '\n';
    return line;
}

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The whitespace-separated words of a text.
std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> result;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && blank(text[i])) ++i;
        std::size_t j = i;
        while (j < text.size() && !blank(text[j])) ++j;
        if (j > i) result.push_back(text.substr(i, j - i));
        i = j;
    }
    return result;
}

// Whole-word numbers; a leading "+" is allowed as the C scanners allow it.
template <typename T>
bool parse_number(std::string_view word, T& value)
{
    if (word.size() > 1 && word[0] == '+' && word[1] != '-') word.remove_prefix(1);
    const char* last = word.data() + word.size();
    const auto result = std::from_chars(word.data(), last, value);
    return result.ec == std::errc() && result.ptr == last;
}

bool parse_plane(std::string_view values, CutPlane& plane, std::string& problem)
{
    const std::vector<std::string_view> fields = words(values);
    if (fields.size() != std::size_t(values_per_plane)) {
        problem = "plane line has " + std::to_string(fields.size()) + " values, " + std::to_string(values_per_plane) +
                  " expected";
        return false;
    }
    std::vector<float> f;
    f.reserve(values_per_plane - 1);
    int face_id = 0;
    for (int i = 0; i < values_per_plane; ++i) {
        const std::string_view word = fields[std::size_t(i)];
        bool ok;
        if (i == face_id_position) {
            ok = parse_number(word, face_id);
        } else {
            float v = 0.0f;
            ok = parse_number(word, v);
            f.push_back(v);
        }
        if (!ok) {
            problem = "value " + std::to_string(i + 1) + " \"" + std::string(word) + "\" is not a number";
            return false;
        }
    }
    if (face_id < 1 || face_id > 6) {
        problem = "face id " + std::to_string(face_id) + " is not between 1 and 6";
        return false;
    }

    std::size_t k = 0;
    const auto vector = [&] {
        const Vector v(f[k], f[k + 1], f[k + 2]);
        k += 3;
        return v;
    };
    plane.centre = vector();
    plane.normal = vector();
    for (Vector& v : plane.corners) v = vector();
    for (Vector& v : plane.base_corners) v = vector();
    plane.a = f[k++];
    plane.b = f[k++];
    plane.c = f[k++];
    plane.d = f[k++];
    plane.handle.axis_mode = face_id;
    for (float& e : plane.handle.transform) e = f[k++];
    for (float& e : plane.handle.last_rotation) e = f[k++];
    for (float& e : plane.handle.this_rotation) e = f[k++];
    return true;
}

// "SIZE: n": false when the line does not have that form.
bool parse_count(std::string_view line, int& count)
{
    const std::string_view prefix = "SIZE:";
    if (line.substr(0, prefix.size()) != prefix) return false;
    const std::vector<std::string_view> fields = words(line.substr(prefix.size()));
    return !fields.empty() && parse_number(fields[0], count);
}

}  // namespace

void PlaneWidgetInCube::save(const std::string& filename, Messages& out) const
{
    std::string text = "SIZE: " + std::to_string(planes.size()) + "\n";
    for (const CutPlane& plane : planes) text += plane_line(plane);

    std::string problem;
    if (!write_file_atomically(filename, text, problem))
        out.error(file_error_line("ERROR: SAVING FILE .CLP File! PlaneWidgetInCube::save(QString filename)", filename,
                                  problem),
                  filename);
}

void PlaneWidgetInCube::load(const std::string& filename, Messages& out)
{
    std::ifstream probe(filename, std::ios::binary | std::ios::ate);
    if (!probe) {
        // The designed text has no line end of its own.
        out.error(file_error_line("ERROR: OPENING FILE .CLP File! PlaneWidgetInCube::load() /n", filename,
                                  std::strerror(errno)),
                  filename);
        return;
    }
    const auto reject = [&](int line, const std::string& problem) {
        out.error(format_text("ERROR: %s: line %d: %s [PlaneWidgetInCube::load()]\n", filename.c_str(), line,
                              problem.c_str()),
                  filename, line);
    };
    if (probe.tellg() > largest_file) {
        reject(1, "file larger than " + std::to_string(largest_file) + " bytes, not a plane file");
        return;
    }
    probe.close();
    std::string text;
    if (!read_text_file(filename, text)) {
        reject(1, "file could not be read");
        return;
    }

    // Work on a copy so that a rejected file changes nothing.
    std::vector<CutPlane> loaded = planes;
    std::vector<bool> awaiting(loaded.size(), false);
    std::size_t counter = 0;
    int line_number = 0;
    int count_line = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        const std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        ++line_number;
        if (line.empty()) continue;
        if (line[0] == 'S') {
            int count = 0;
            if (!parse_count(line, count)) continue;
            if (count != plane_count) {
                reject(line_number,
                       "plane count " + std::to_string(count) + ", " + std::to_string(plane_count) + " expected");
                return;
            }
            loaded.assign(std::size_t(count), CutPlane::blank());
            awaiting.assign(std::size_t(count), true);
            count_line = line_number;
        } else if (line[0] == 'P') {
            if (counter >= loaded.size()) {
                reject(line_number, "more plane lines than the " + std::to_string(loaded.size()) + " planes");
                return;
            }
            std::string problem;
            if (line.substr(0, 2) != "P:") {
                reject(line_number, "plane line does not start with \"P:\"");
                return;
            }
            if (!parse_plane(line.substr(2), loaded[counter], problem)) {
                reject(line_number, problem);
                return;
            }
            awaiting[counter] = false;
            ++counter;
        }
    }
    for (std::size_t i = 0; i < awaiting.size(); ++i)
        if (awaiting[i]) {
            reject(count_line, "no plane line for plane " + std::to_string(i + 1) + " after the count line");
            return;
        }

    planes = loaded;
    update_outlines();
}
