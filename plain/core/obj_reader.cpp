// OBJ reader: positions, "vc" vertex colours, "m" morphogen values with
// their "mn" names, and faces. Two passes over the file held in memory: the
// first counts (vertices, triangles, morphogens) and decides the face form,
// the second fills the arrays. Lines end at LF, CR LF or CR; a byte-order
// mark is skipped; "#" starts a comment anywhere on a line. A line's keyword
// is its first word. Every coordinate, colour component and morphogen value
// must be a number that fits a float. Faces of more than three corners are
// fan-triangulated; a corner's vertex number is what stands before its
// first "/", negative numbers count back from the last vertex read. A file
// outside what the reader handles is rejected with one line naming the
// file, the line and the problem, leaving the mesh empty.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "core/format_text.h"
#include "core/LineReader.h"
#include "core/memory_limits.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/text_fields.h"
#include "core/text_file.h"

namespace {

// First word of a line and the text after it.
std::string_view keyword(std::string_view line, std::string_view& rest)
{
    std::string_view word;
    rest = line;
    if (!next_field(rest, word)) return std::string_view();
    return word;
}

// The face form of the first face line after the start or after a face
// colour line: 1 "f a b c", 2 "a/t/n", 3 "a//n", 4 "a/t/", 5 "a//", 6 "a/t".
int face_form(std::string_view line)
{
    const std::string s(line);
    const char* c = s.c_str();
    int a[9];
    int form = -1;
    if (std::sscanf(c, "f %i %i %i", a, a + 1, a + 2) == 3) form = 1;
    if (std::sscanf(c, "f %i/%i/%i %i/%i/%i %i/%i/%i", a, a + 1, a + 2, a + 3, a + 4, a + 5, a + 6, a + 7, a + 8) == 9)
        form = 2;
    if (std::sscanf(c, "f %i//%i %i//%i %i//%i", a, a + 1, a + 2, a + 3, a + 4, a + 5) == 6) form = 3;
    if (std::sscanf(c, "f %i/%i/ %i/%i/ %i/%i/", a, a + 1, a + 2, a + 3, a + 4, a + 5) == 6) form = 4;
    if (std::sscanf(c, "f %i// %i// %i//", a, a + 1, a + 2) == 3) form = 5;
    if (std::sscanf(c, "f %i/%i %i/%i %i/%i", a, a + 1, a + 2, a + 3, a + 4, a + 5) == 6) form = 6;
    return form;
}

// Reads `count` numbers from the fields of `rest` into `out`; false with
// `problem` naming the first field that is missing, is not a number or does
// not fit a float. `what` names a value: "coordinate", "colour component".
bool read_numbers(std::string_view rest, float* out, int count, const char* what, std::string& problem)
{
    std::string_view field;
    for (int i = 0; i < count; ++i) {
        if (!next_field(rest, field)) {
            problem = std::to_string(count) + " numbers expected, " + std::to_string(i) + " found";
            return false;
        }
        if (!parse_float_field(field, out[i], problem)) {
            problem = std::string(what) + " " + std::to_string(i + 1) + ": " + problem;
            return false;
        }
    }
    return true;
}

// The common corner form: an optional "-" and up to 18 digits, not 0,
// ending at a "/", a blank or the line end. `j` moves past the number. Any
// other text returns false for the caller's full check.
bool plain_corner(std::string_view text, std::size_t& j, long long& n)
{
    std::size_t k = j;
    const bool negative = k < text.size() && text[k] == '-';
    if (negative) ++k;
    const std::size_t first = k, limit = std::min(text.size(), first + 18);
    const char* c = text.data();
    long long value = 0;
    while (k < limit && unsigned(c[k] - '0') < 10) value = value * 10 + (c[k++] - '0');
    if (k == first || value == 0) return false;
    if (k < text.size() && !is_blank(text[k]) && text[k] != '/') return false;
    n = negative ? -value : value;
    j = k;
    return true;
}

bool is_face_colour(std::string_view rest)
{
    const std::string s = "fc" + std::string(rest);
    float r, g, b;
    return std::sscanf(s.c_str(), "fc %f %f %f", &r, &g, &b) == 3;
}

struct Reject {
    const std::string& path;
    Mesh& mesh;
    Messages& out;
    bool operator()(int line, const std::string& problem) const
    {
        out.error_on_stderr(format_text("ERROR: %s: line %d: %s\n", path.c_str(), line, problem.c_str()), path, line);
        mesh.clear();
        mesh.morphogen_names.clear();
        return false;
    }
};

}  // namespace

bool Mesh::read_obj(const std::string& path, Messages& out)
{
    std::string text;
    if (!read_text_file_or_report(path, text, "ERROR: Opening File: ", out)) return false;
    out.info("Opening: " + path + "\n");
    morphogen_names.clear();
    const Reject reject{path, *this, out};

    // First pass: counting.
    long long vertex_count = 0, triangle_count = 0;
    int morphogen_count = 0;
    bool morphogen_seen = false;
    int faceformat_type = -1;
    bool form_set = false;
    {
        LineReader lines(text, true);
        std::string_view line, rest;
        while (lines.next(line)) {
            const std::string_view word = keyword(line, rest);
            if (word == "v") {
                ++vertex_count;
            } else if (word == "f") {
                if (!form_set) {
                    const int form = face_form(std::string("f") + std::string(rest));
                    if (form != -1) faceformat_type = form;
                    form_set = true;
                }
                const int corners = count_fields(rest);
                if (corners < 3) return reject(lines.number, "face with fewer than three corners");
                triangle_count += corners - 2;
            } else if (word == "fc") {
                if (is_face_colour(rest)) form_set = false;
            } else if (word == "mn") {
                // The keyword is kept as the first name, as the names are
                // counted from it; it is dropped below.
                std::string_view names = line, name;
                while (next_field(names, name)) morphogen_names.emplace_back(name);
            } else if (word == "m") {
                const int fields = count_fields(rest);
                if (!morphogen_seen) {
                    morphogen_count = fields;
                    morphogen_seen = true;
                } else if (fields != morphogen_count) {
                    return reject(lines.number, "morphogen line with " + std::to_string(fields) +
                                                    " values where the first had " + std::to_string(morphogen_count));
                }
            }
        }
    }
    if (vertex_count > 0x7fffffff || triangle_count > 0x7fffffff) return reject(0, "too many vertices or faces");
    // A file can ask for far more than it holds.
    std::string too_big;
    if (!mesh_fits_in_memory(vertex_count, triangle_count, morphogen_count, too_big)) return reject(0, too_big);
    if (!morphogen_names.empty()) morphogen_names.erase(morphogen_names.begin());
    out.info(format_text("nv: %d, nf: %d\n", int(vertex_count), int(triangle_count)));
    out.info(format_text("faceformat_type: %d\n", faceformat_type));
    try {
        allocate_vertices(int(vertex_count));
        allocate_faces(int(triangle_count));
        // Without "m" lines no vertex gets a list, as with the other readers.
        allocate_morphogens(morphogen_count > 0 ? int(vertex_count) : 0, morphogen_count);
    } catch (const std::bad_alloc&) {
        return reject(0, "not enough free memory for " + std::to_string(vertex_count) + " vertices and " +
                             std::to_string(triangle_count) + " triangles");
    }

    // Second pass: reading.
    int vertex_counter = 0, colour_counter = 0, morphogen_counter = 0, face_counter = 0;
    std::vector<int> corners;
    std::string problem;
    LineReader lines(text, true);
    std::string_view line, rest;
    while (lines.next(line)) {
        const std::string_view word = keyword(line, rest);
        if (word.empty()) continue;
        const char c0 = word[0];
        if (c0 != 'v' && c0 != 'f' && c0 != 'm') continue;
        if (word == "v") {
            float p[3];
            if (!read_numbers(rest, p, 3, "coordinate", problem)) return reject(lines.number, "vertex: " + problem);
            vertices[vertex_counter++] = Vector(p[0], p[1], p[2], 1.0f);
        } else if (word == "vc") {
            if (colour_counter >= nv) return reject(lines.number, "more vertex colours than vertices");
            float c[3];
            if (!read_numbers(rest, c, 3, "colour component", problem))
                return reject(lines.number, "vertex colour: " + problem);
            vertex_colours[colour_counter++] = Vector(c[0], c[1], c[2], 1.0f);
            has_colours = true;
        } else if (word == "m") {
            if (morphogen_count == 0) continue;
            if (morphogen_counter >= nv) return reject(lines.number, "more morphogen lines than vertices");
            std::vector<float>& values = morphogen_values[morphogen_counter++];
            if (!read_numbers(rest, values.data(), morphogen_count, "morphogen value", problem))
                return reject(lines.number, "morphogen line: " + problem);
        } else if (word == "f") {
            corners.clear();
            std::size_t i = 0;
            while (i < rest.size()) {
                while (i < rest.size() && is_blank(rest[i])) ++i;
                if (i == rest.size()) break;
                std::size_t j = i;
                long long n = 0;
                if (!plain_corner(rest, j, n)) {
                    j = i;
                    while (j < rest.size() && !is_blank(rest[j]) && rest[j] != '/') ++j;
                    const auto r = std::from_chars(rest.data() + i, rest.data() + j, n);
                    if (r.ec != std::errc() || r.ptr != rest.data() + j || n == 0)
                        return reject(lines.number,
                                      "corner \"" + std::string(rest.substr(i, j - i)) + "\" is not a vertex number");
                }
                const long long index = n > 0 ? n - 1 : vertex_counter + n;
                if (index < 0 || index >= nv)
                    return reject(lines.number, "corner " + std::to_string(n) + " is outside the vertices 1 to " +
                                                    std::to_string(nv));
                corners.push_back(int(index));
                while (j < rest.size() && !is_blank(rest[j])) ++j;
                i = j;
            }
            for (std::size_t k = 1; k + 1 < corners.size(); ++k) {
                if (face_counter >= nf) return reject(lines.number, "more faces than counted");
                set_face(face_counter++, corners[0], corners[k], corners[k + 1]);
            }
        }
    }
    return true;
}
