// OBJ reader: positions, "vc" vertex colours, "m" morphogen values with
// their "mn" names, and faces. Two passes over the file held in memory: the
// first counts (vertices, triangles, morphogens) and decides the face form,
// the second fills the arrays. A line's keyword is its first word. Faces of
// more than three corners are fan-triangulated; a corner's vertex number is
// what stands before its first "/", negative numbers count back from the
// last vertex read. A file outside what the reader handles is rejected with
// one line naming the file, the line and the problem, leaving the mesh empty.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "core/format_text.h"
#include "core/memory_limits.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/text_file.h"
#include "core/Tokenizer.h"

namespace {

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The lines of a text, the last one too whether or not it ends with "\n".
class Lines {
public:
    explicit Lines(const std::string& t) : pos(t.data()), end(t.data() + t.size()) {}
    bool next(std::string_view& line)
    {
        if (pos >= end) return false;
        const void* nl = std::memchr(pos, '\n', std::size_t(end - pos));
        const char* stop = nl ? static_cast<const char*>(nl) : end;
        line = std::string_view(pos, std::size_t(stop - pos));
        pos = nl ? stop + 1 : end;
        ++number;
        return true;
    }
    int number = 0;

private:
    const char* pos;
    const char* end;
};

// First word of a line and the text after it.
std::string_view keyword(std::string_view line, std::string_view& rest)
{
    std::size_t i = 0;
    while (i < line.size() && blank(line[i])) ++i;
    std::size_t j = i;
    while (j < line.size() && !blank(line[j])) ++j;
    rest = line.substr(j);
    return line.substr(i, j - i);
}

int count_fields(std::string_view text)
{
    int n = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && blank(text[i])) ++i;
        if (i == text.size()) break;
        ++n;
        while (i < text.size() && !blank(text[i])) ++i;
    }
    return n;
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

// The common number form "[-]digits[.digits]" standing alone (a blank or the
// line end after it), read to exactly the float the tokenizer gives: with
// at most 2^53 as its digits and at most 22 decimals, digits / 10^decimals
// is one correctly rounded division, the same double std::from_chars
// returns. Anything else returns false and the caller lets the tokenizer
// read the line.
bool plain_decimal(const char*& p, const char* end, float& out)
{
    static const double powers[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* s = p;
    const bool negative = s < end && *s == '-';
    if (negative) ++s;
    std::uint64_t digits = 0;
    int count = 0, decimals = 0;
    const char* first = s;
    while (s < end && unsigned(*s - '0') < 10) {
        digits = digits * 10 + unsigned(*s++ - '0');
        ++count;
    }
    if (s == first) return false;
    if (s < end && *s == '.') {
        const char* fraction = ++s;
        while (s < end && unsigned(*s - '0') < 10) {
            digits = digits * 10 + unsigned(*s++ - '0');
            ++count;
        }
        decimals = int(s - fraction);
        if (decimals == 0) return false;
    }
    if (s<end&& static_cast<unsigned char>(*s)> 32) return false;
    if (count > 19 || digits > (std::uint64_t(1) << 53) || decimals > 22) return false;
    const double value = double(digits) / powers[decimals];
    out = float(negative ? -value : value);
    p = s;
    return true;
}

// Reads `count` plain decimals from a line's text into `out`; false (with
// `out` partly written) when any is in another form.
bool plain_decimals(std::string_view text, float* out, int count)
{
    const char* p = text.data();
    const char* end = p + text.size();
    for (int i = 0; i < count; ++i) {
        while (p < end && static_cast<unsigned char>(*p) <= 32) ++p;
        if (!plain_decimal(p, end, out[i])) return false;
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
    if (k < text.size() && !blank(text[k]) && text[k] != '/') return false;
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
        Lines lines(text);
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
                std::size_t i = 0;
                while (i < line.size()) {
                    while (i < line.size() && blank(line[i])) ++i;
                    std::size_t j = i;
                    while (j < line.size() && !blank(line[j])) ++j;
                    if (j > i) morphogen_names.emplace_back(line.substr(i, j - i));
                    i = j;
                }
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
        allocate_morphogens(int(vertex_count), morphogen_count);
    } catch (const std::bad_alloc&) {
        return reject(0, "not enough free memory for " + std::to_string(vertex_count) + " vertices and " +
                             std::to_string(triangle_count) + " triangles");
    }

    // Second pass: reading.
    int vertex_counter = 0, colour_counter = 0, morphogen_counter = 0, face_counter = 0;
    float hx = 0.0f, hy = 0.0f, hz = 0.0f;  // last numbers read, as the holders of vc and m
    Tokenizer tok{std::string_view()};
    std::vector<int> corners;
    Lines lines(text);
    std::string_view line, rest;
    while (lines.next(line)) {
        const std::string_view word = keyword(line, rest);
        if (word.empty()) continue;
        const char c0 = word[0];
        if (c0 != 'v' && c0 != 'f' && c0 != 'm') continue;
        if (word == "v") {
            float p[3];
            if (!plain_decimals(rest, p, 3)) {
                tok.set_text(rest.data(), rest.data() + rest.size());
                for (float& x : p) {
                    if (tok.read_token() != Tokenizer::TT_NUMBER)
                        return reject(lines.number, "vertex with fewer than three numbers");
                    x = float(tok.number_value);
                }
            }
            hx = p[0];
            hy = p[1];
            hz = p[2];
            vertices[vertex_counter++] = Vector(p[0], p[1], p[2], 1.0f);
        } else if (word == "vc") {
            if (colour_counter >= nv) return reject(lines.number, "more vertex colours than vertices");
            float c[3];
            if (plain_decimals(rest, c, 3)) {
                hx = c[0];
                hy = c[1];
                hz = c[2];
            } else {
                tok.set_text(rest.data(), rest.data() + rest.size());
                float* holder[3] = {&hx, &hy, &hz};
                for (float* h : holder)
                    if (tok.read_token() == Tokenizer::TT_NUMBER) *h = float(tok.number_value);
            }
            vertex_colours[colour_counter++] = Vector(hx, hy, hz, 1.0f);
            has_colours = true;
        } else if (word == "m") {
            if (morphogen_count == 0) continue;
            if (morphogen_counter >= nv) return reject(lines.number, "more morphogen lines than vertices");
            std::vector<float>& values = morphogen_values[morphogen_counter++];
            if (plain_decimals(rest, values.data(), morphogen_count)) {
                hx = values[morphogen_count - 1];
                continue;
            }
            tok.set_text(rest.data(), rest.data() + rest.size());
            for (int i = 0; i < morphogen_count; ++i) {
                if (tok.read_token() == Tokenizer::TT_NUMBER) hx = float(tok.number_value);
                values[i] = hx;
            }
        } else if (word == "f") {
            corners.clear();
            std::size_t i = 0;
            while (i < rest.size()) {
                while (i < rest.size() && blank(rest[i])) ++i;
                if (i == rest.size()) break;
                std::size_t j = i;
                long long n = 0;
                if (!plain_corner(rest, j, n)) {
                    j = i;
                    while (j < rest.size() && !blank(rest[j]) && rest[j] != '/') ++j;
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
                while (j < rest.size() && !blank(rest[j])) ++j;
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
