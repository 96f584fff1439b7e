#include "core/ply_reader.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "core/memory_limits.h"
#include "core/Mesh.h"
#include "core/MeshParts.h"
#include "core/Messages.h"
#include "core/text_fields.h"
#include "core/text_file.h"

namespace {

enum class Type { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float32, Float64 };

struct TypeName {
    const char* name;
    Type type;
};

const TypeName type_names[] = {
    {"char", Type::Int8},     {"int8", Type::Int8},       {"uchar", Type::UInt8},    {"uint8", Type::UInt8},
    {"short", Type::Int16},   {"int16", Type::Int16},     {"ushort", Type::UInt16},  {"uint16", Type::UInt16},
    {"int", Type::Int32},     {"int32", Type::Int32},     {"uint", Type::UInt32},    {"uint32", Type::UInt32},
    {"float", Type::Float32}, {"float32", Type::Float32}, {"double", Type::Float64}, {"float64", Type::Float64},
};

bool type_of(std::string_view name, Type& type)
{
    for (const TypeName& t : type_names)
        if (name == t.name) {
            type = t.type;
            return true;
        }
    return false;
}

std::size_t size_of(Type t)
{
    switch (t) {
    case Type::Int8:
    case Type::UInt8: return 1;
    case Type::Int16:
    case Type::UInt16: return 2;
    case Type::Int32:
    case Type::UInt32:
    case Type::Float32: return 4;
    case Type::Float64: return 8;
    }
    return 1;
}

bool is_integer(Type t)
{
    return t != Type::Float32 && t != Type::Float64;
}

// The range of an integer type; colour channels of that type are divided by
// the largest value.
void range_of(Type t, double& lo, double& hi)
{
    switch (t) {
    case Type::Int8: lo = -128, hi = 127; break;
    case Type::UInt8: lo = 0, hi = 255; break;
    case Type::Int16: lo = -32768, hi = 32767; break;
    case Type::UInt16: lo = 0, hi = 65535; break;
    case Type::Int32: lo = -2147483648.0, hi = 2147483647.0; break;
    case Type::UInt32: lo = 0, hi = 4294967295.0; break;
    default: lo = -HUGE_VAL, hi = HUGE_VAL; break;
    }
}

// What a property is for.
enum class Role { Skip, X, Y, Z, Red, Green, Blue, Morphogen, Corners };

struct Property {
    std::string name;
    Type type = Type::Float32;
    bool list = false;
    Type count_type = Type::UInt8;
    Role role = Role::Skip;
    int morphogen = 0;  // index among the morphogens, for Role::Morphogen
};

struct Element {
    std::string name;
    long long count = 0;
    std::vector<Property> properties;
    int line = 0;  // of its header line
};

enum class Format { Ascii, LittleEndian, BigEndian };

struct Header {
    Format format = Format::Ascii;
    std::vector<Element> elements;
    std::size_t body = 0;  // offset of the first byte after end_header
    int lines = 0;         // header lines, end_header included
};

struct Problem {
    std::string where;
    std::string text;
};

// The header: "ply", "format ...", then comments, elements and their
// properties, up to "end_header". Lines end at LF or CR LF.
bool read_header(std::string_view bytes, Header& header, Problem& problem)
{
    std::size_t pos = 0;
    int number = 0;
    bool have_format = false;
    auto fail = [&](const std::string& text) {
        problem = {"line " + std::to_string(number), text};
        return false;
    };
    for (;;) {
        if (pos >= bytes.size()) return fail("the header has no end_header line");
        const std::size_t nl = bytes.find('\n', pos);
        std::string_view line = bytes.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? bytes.size() : nl + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string_view rest = line, word;
        if (number == 1) {
            if (!next_field(rest, word) || word != "ply" || next_field(rest, word))
                return fail("not a PLY file (it does not start with the line \"ply\")");
            continue;
        }
        if (!next_field(rest, word) || word == "comment" || word == "obj_info") continue;
        if (word == "end_header") break;
        std::vector<std::string_view> f;
        for (std::string_view w; next_field(rest, w);) f.push_back(w);
        if (word == "format") {
            if (f.size() != 2) return fail("the format line needs a format and a version");
            if (f[0] == "ascii")
                header.format = Format::Ascii;
            else if (f[0] == "binary_little_endian")
                header.format = Format::LittleEndian;
            else if (f[0] == "binary_big_endian")
                header.format = Format::BigEndian;
            else
                return fail("unknown format \"" + std::string(f[0]) + "\"");
            have_format = true;
        } else if (word == "element") {
            long long count = 0;
            if (f.size() != 2 || !parse_integer_field(f[1], count) || count < 0)
                return fail("an element line needs a name and a count of 0 or more");
            for (const Element& e : header.elements)
                if (e.name == f[0]) return fail("a second element \"" + std::string(f[0]) + "\"");
            header.elements.push_back({std::string(f[0]), count, {}, number});
        } else if (word == "property") {
            if (header.elements.empty()) return fail("a property before any element");
            Property p;
            const bool list = !f.empty() && f[0] == "list";
            if (list ? f.size() != 4 : f.size() != 2) return fail("a property line needs a type and a name");
            if (!type_of(f[list ? 2 : 0], p.type)) return fail("unknown type \"" + std::string(f[list ? 2 : 0]) + "\"");
            if (list && (!type_of(f[1], p.count_type) || !is_integer(p.count_type)))
                return fail("a list's count type must be an integer type, not \"" + std::string(f[1]) + "\"");
            p.list = list;
            p.name = std::string(f.back());
            header.elements.back().properties.push_back(p);
        } else {
            return fail("unknown header line \"" + std::string(word) + "\"");
        }
    }
    if (!have_format) return fail("the header has no format line");
    header.body = pos;
    header.lines = number;
    return true;
}

// Gives each property of the vertex and face elements its role; the
// morphogen names are gathered into `names`.
bool assign_roles(Header& header, std::vector<std::string>& names, bool& colours, Problem& problem)
{
    Element* vertex = nullptr;
    for (Element& e : header.elements) {
        if (e.name == "vertex") vertex = &e;
        if (e.name != "face") continue;
        Property* corners = nullptr;
        for (Property& p : e.properties)
            if (p.list && (p.name == "vertex_indices" || p.name == "vertex_index") && !corners) corners = &p;
        if (!corners) {
            problem = {"line " + std::to_string(e.line), "the face element has no vertex_indices list"};
            return false;
        }
        if (!is_integer(corners->type)) {
            problem = {"line " + std::to_string(e.line), "the face corners must be of an integer type"};
            return false;
        }
        corners->role = Role::Corners;
    }
    if (!vertex) {
        problem = {"line " + std::to_string(header.lines), "the header has no vertex element"};
        return false;
    }
    const struct {
        const char* name;
        const char* diffuse;
        Role role;
    } known[] = {{"x", nullptr, Role::X},
                 {"y", nullptr, Role::Y},
                 {"z", nullptr, Role::Z},
                 {"red", "diffuse_red", Role::Red},
                 {"green", "diffuse_green", Role::Green},
                 {"blue", "diffuse_blue", Role::Blue}};
    int found[8] = {};
    for (Property& p : vertex->properties) {
        if (p.list) continue;
        for (const auto& k : known)
            if ((p.name == k.name || (k.diffuse && p.name == k.diffuse)) && found[int(k.role)]++ == 0) p.role = k.role;
    }
    for (const Role r : {Role::X, Role::Y, Role::Z})
        if (!found[int(r)]) {
            problem = {"line " + std::to_string(vertex->line), "the vertex element has no x, y and z"};
            return false;
        }
    colours = found[int(Role::Red)] && found[int(Role::Green)] && found[int(Role::Blue)];
    for (Property& p : vertex->properties) {
        if (!colours && (p.role == Role::Red || p.role == Role::Green || p.role == Role::Blue)) p.role = Role::Skip;
        if (p.role == Role::Skip && !p.list) {
            p.role = Role::Morphogen;
            p.morphogen = int(names.size());
            // An OBJ file could not hold a "#" in a name; the rest of the
            // program takes names from there.
            std::string name = p.name;
            for (char& c : name)
                if (c == '#') c = '_';
            names.push_back(name);
        }
    }
    return true;
}

// The data after the header, value by value.
class Body {
public:
    Body(std::string_view data, std::size_t start, int header_lines, Format f)
        : bytes(data), pos(start), line(header_lines + 1), format(f), value_line(line), value_start(start)
    {}

    // Reads one value of type `t`; false with `problem` set at the end of
    // the data or on a value that is not of its type.
    bool read(Type t, double& value, std::string& problem)
    {
        return format == Format::Ascii ? read_text(t, value, problem) : read_binary(t, value, problem);
    }
    // Where the value last read started.
    std::string where() const
    {
        return format == Format::Ascii ? "line " + std::to_string(value_line) : "byte " + std::to_string(value_start);
    }
    // Whether what is left of the data can hold `units` more: values of
    // text, each at least a character and a separator (none after the
    // last), or bytes of binary data.
    bool could_hold(long double units) const
    {
        const long double left = (long double)(bytes.size() - std::min(pos, bytes.size()));
        return format == Format::Ascii ? units * 2 - 1 <= left : units <= left;
    }
    // The units of could_hold() one value of type `t` takes.
    std::size_t value_width(Type t) const { return format == Format::Ascii ? 1 : size_of(t); }

private:
    bool read_text(Type t, double& value, std::string& problem)
    {
        while (pos < bytes.size()) {
            const char c = bytes[pos];
            if (c == '\n' || (c == '\r' && (pos + 1 >= bytes.size() || bytes[pos + 1] != '\n'))) ++line;
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v' && c != '\f') break;
            ++pos;
        }
        if (pos >= bytes.size()) {
            // Named at the last value there was.
            problem = "the file ends before all the values the header announces";
            return false;
        }
        value_line = line;
        value_start = pos;
        std::size_t stop = pos;
        while (stop < bytes.size() && !is_blank(bytes[stop]) && bytes[stop] != '\n') ++stop;
        const std::string_view field = bytes.substr(pos, stop - pos);
        pos = stop;
        if (t == Type::Float32) {
            float f = 0.0f;
            if (!parse_float_field(field, f, problem)) return false;
            value = f;
            return true;
        }
        if (t == Type::Float64) {
            const char* last = field.data() + field.size();
            const auto r = std::from_chars(field.data(), last, value);
            const bool decimal = field.find_first_not_of("0123456789.eE+-") == std::string_view::npos;
            if (decimal && r.ptr == last && r.ec == std::errc()) return true;
            problem = "\"" + std::string(field) + "\" is not a number that fits a double";
            return false;
        }
        long long n = 0;
        double lo, hi;
        range_of(t, lo, hi);
        if (!parse_integer_field(field, n) || double(n) < lo || double(n) > hi) {
            problem = "\"" + std::string(field) + "\" is not an integer of its type's range";
            return false;
        }
        value = double(n);
        return true;
    }

    bool read_binary(Type t, double& value, std::string& problem)
    {
        const std::size_t size = size_of(t);
        value_start = pos;
        if (bytes.size() - std::min(pos, bytes.size()) < size) {
            problem = "the file ends before all the values the header announces";
            return false;
        }
        unsigned char b[8];
        std::memcpy(b, bytes.data() + pos, size);
        pos += size;
        if (format == Format::BigEndian)
            for (std::size_t i = 0; i < size / 2; ++i) std::swap(b[i], b[size - 1 - i]);
        // Little-endian bytes to the value, whatever this machine's order.
        std::uint64_t u = 0;
        for (std::size_t i = size; i-- > 0;) u = (u << 8) | b[i];
        switch (t) {
        case Type::Int8: value = double(std::int8_t(u)); break;
        case Type::UInt8: value = double(std::uint8_t(u)); break;
        case Type::Int16: value = double(std::int16_t(u)); break;
        case Type::UInt16: value = double(std::uint16_t(u)); break;
        case Type::Int32: value = double(std::int32_t(u)); break;
        case Type::UInt32: value = double(std::uint32_t(u)); break;
        case Type::Float32: {
            const std::uint32_t bits = std::uint32_t(u);
            float f;
            std::memcpy(&f, &bits, 4);
            value = f;
            break;
        }
        case Type::Float64: std::memcpy(&value, &u, 8); break;
        }
        return true;
    }

    std::string_view bytes;
    std::size_t pos;
    int line;
    Format format;
    int value_line;
    std::size_t value_start;
};

// A value the mesh keeps as a float: finite and within a float's range.
bool to_float(double v, float& f, std::string& problem)
{
    f = float(v);
    if (std::isfinite(f)) return true;
    problem = std::isnan(v) ? "a value is not a number" : "a value does not fit a float";
    return false;
}

}  // namespace

bool read_ply(Mesh& mesh, const std::string& path, Messages& out)
{
    std::string bytes;
    if (!read_text_file_or_report(path, bytes, "ERROR: Opening File: ", out)) return false;
    out.info("Opening: " + path + "\n");

    Header header;
    Problem problem;
    MeshParts parts;
    bool colours = false;
    if (!read_header(bytes, header, problem) || !assign_roles(header, parts.names, colours, problem))
        return reject_mesh_file(mesh, path, problem.where, problem.text, out);

    Body body(bytes, header.body, header.lines, header.format);
    long long vertex_count = 0;
    for (const Element& e : header.elements) {
        // A count beyond what the file's size can hold is refused before
        // anything is allocated for it.
        long double least = 0;
        for (const Property& p : e.properties) least += body.value_width(p.list ? p.count_type : p.type);
        if (e.count > 0 && least > 0 && !body.could_hold(least * (long double)e.count))
            return reject_mesh_file(mesh, path, "line " + std::to_string(e.line),
                                    "the header announces " + std::to_string(e.count) + " " + e.name +
                                        " elements, more than the file holds",
                                    out);
        if (e.name == "vertex") vertex_count = e.count;
    }
    std::string too_big;
    long long face_count = 0;
    for (const Element& e : header.elements)
        if (e.name == "face") face_count = e.count;
    if (!mesh_fits_in_memory(vertex_count, face_count, int(parts.names.size()), too_big))
        return reject_mesh_file(mesh, path, "", too_big, out);

    const std::size_t morphogens = parts.names.size();
    parts.positions.reserve(std::size_t(vertex_count));
    if (colours) parts.colours.reserve(std::size_t(vertex_count));
    parts.values.reserve(std::size_t(vertex_count) * morphogens);
    std::vector<int> corners;
    std::string text;
    double v = 0.0;
    auto bad = [&](const std::string& what) { return reject_mesh_file(mesh, path, body.where(), what, out); };
    for (const Element& e : header.elements) {
        if (e.properties.empty()) continue;
        const bool is_vertex = e.name == "vertex";
        for (long long i = 0; i < e.count; ++i) {
            Vector position, colour(0.0f, 0.0f, 0.0f, 1.0f);
            const std::size_t first_value = parts.values.size();
            if (is_vertex) parts.values.resize(first_value + morphogens);
            for (const Property& p : e.properties) {
                if (p.list) {
                    double count = 0.0;
                    if (!body.read(p.count_type, count, text)) return bad(text);
                    if (count < 0 || !body.could_hold(count * (long double)body.value_width(p.type)))
                        return bad("a list of " + std::to_string((long long)count) +
                                   " items, more than the file holds");
                    if (p.role == Role::Corners) {
                        if (count < 3)
                            return bad("face with " + std::to_string((long long)count) + " corners, fewer than three");
                        corners.clear();
                    }
                    for (long long k = 0; k < (long long)count; ++k) {
                        if (!body.read(p.type, v, text)) return bad(text);
                        if (p.role != Role::Corners) continue;
                        if (!(v >= 0.0 && v < double(vertex_count)))
                            return bad("corner " + std::to_string((long long)v) + " is outside the vertices 0 to " +
                                       std::to_string(vertex_count - 1));
                        corners.push_back(int(v));
                    }
                    if (p.role == Role::Corners) parts.add_polygon(corners.data(), corners.size());
                    continue;
                }
                if (!body.read(p.type, v, text)) return bad(text);
                if (p.role == Role::Skip) continue;
                float f = 0.0f;
                if (!to_float(v, f, text)) return bad(p.name + ": " + text);
                double lo = 0.0, hi = 1.0;
                if (is_integer(p.type)) range_of(p.type, lo, hi);
                switch (p.role) {
                case Role::X: position.x = f; break;
                case Role::Y: position.y = f; break;
                case Role::Z: position.z = f; break;
                case Role::Red: colour.x = is_integer(p.type) ? float(v / hi) : f; break;
                case Role::Green: colour.y = is_integer(p.type) ? float(v / hi) : f; break;
                case Role::Blue: colour.z = is_integer(p.type) ? float(v / hi) : f; break;
                case Role::Morphogen: parts.values[first_value + std::size_t(p.morphogen)] = f; break;
                default: break;
                }
            }
            if (!is_vertex) continue;
            parts.positions.push_back(position);
            if (colours) parts.colours.push_back(colour);
        }
    }
    return parts.move_into(mesh, path, out);
}
