#include "core/stl_reader.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/LineReader.h"
#include "core/memory_limits.h"
#include "core/Mesh.h"
#include "core/MeshParts.h"
#include "core/Messages.h"
#include "core/PositionIndex.h"
#include "core/text_fields.h"
#include "core/text_file.h"

namespace {

constexpr std::size_t header_size = 84;  // 80 bytes of text, the triangle count
constexpr std::size_t triangle_size = 50;

std::uint32_t le32(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
}

float le_float(const char* p)
{
    const std::uint32_t bits = le32(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

bool starts_with_solid(std::string_view bytes)
{
    LineReader lines(bytes);
    std::string_view line, word;
    while (lines.next(line))
        if (next_field(line, word)) return word == "solid";
    return false;
}

struct Reader {
    Mesh& mesh;
    const std::string& path;
    Messages& out;
    MeshParts parts;
    PositionIndex welded;

    bool reject(const std::string& where, const std::string& problem)
    {
        return reject_mesh_file(mesh, path, where, problem, out);
    }

    bool binary(std::string_view bytes)
    {
        const std::uint32_t count = le32(bytes.data() + 80);
        std::string too_big;
        if (!mesh_fits_in_memory(3LL * count, count, 0, too_big)) return reject("", too_big);
        parts.triangles.reserve(count);
        for (std::uint32_t t = 0; t < count; ++t) {
            const std::size_t at = header_size + std::size_t(t) * triangle_size;
            int corner[3];
            for (int k = 0; k < 3; ++k) {
                // The stored normal (12 bytes) comes first.
                const char* p = bytes.data() + at + 12 + 12 * std::size_t(k);
                const Vector v(le_float(p), le_float(p + 4), le_float(p + 8));
                if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
                    return reject("byte " + std::to_string(at + 12 + 12 * std::size_t(k)),
                                  "triangle " + std::to_string(t + 1) + " has a corner that is not a finite number");
                corner[k] = welded.index_of(v);
            }
            parts.triangles.push_back({corner[0], corner[1], corner[2]});
        }
        return finish();
    }

    // solid NAME / facet normal N / outer loop / vertex x y z (three or
    // more) / endloop / endfacet ... / endsolid NAME, one keyword a line;
    // several solids may follow each other.
    bool ascii(std::string_view bytes)
    {
        enum class State { Start, Solid, Facet, Loop, FacetEnd, Between } state = State::Start;
        LineReader lines(bytes);
        std::string_view line, word;
        std::vector<int> corners;
        std::string problem;
        auto here = [&](const std::string& what) { return reject("line " + std::to_string(lines.number), what); };
        auto expected = [&](const char* what) {
            return here(std::string(what) + " expected, not \"" + std::string(word) + "\"");
        };
        while (lines.next(line)) {
            if (!next_field(line, word)) continue;
            switch (state) {
            case State::Start:
            case State::Between:
                if (word != "solid") return expected("\"solid\"");
                state = State::Solid;
                break;
            case State::Solid:
                if (word == "endsolid") {
                    state = State::Between;
                } else if (word == "facet") {
                    state = State::Facet;
                } else {
                    return expected("\"facet\" or \"endsolid\"");
                }
                break;
            case State::Facet:
                if (word != "outer") return expected("\"outer loop\"");
                corners.clear();
                state = State::Loop;
                break;
            case State::Loop:
                if (word == "vertex") {
                    float p[3];
                    for (float& x : p) {
                        if (!next_field(line, word)) return here("vertex with fewer than three numbers");
                        if (!parse_float_field(word, x, problem)) return here("vertex: " + problem);
                    }
                    corners.push_back(welded.index_of(Vector(p[0], p[1], p[2])));
                } else if (word == "endloop") {
                    if (corners.size() < 3) return here("facet with fewer than three vertices");
                    parts.add_polygon(corners.data(), corners.size());
                    state = State::FacetEnd;
                } else {
                    return expected("\"vertex\" or \"endloop\"");
                }
                break;
            case State::FacetEnd:
                if (word != "endfacet") return expected("\"endfacet\"");
                state = State::Solid;
                break;
            }
        }
        if (state != State::Solid && state != State::Between) return here("the file ends inside a facet");
        return finish();
    }

    bool finish()
    {
        parts.positions.swap(welded.points);
        return parts.move_into(mesh, path, out);
    }
};

}  // namespace

bool read_stl(Mesh& mesh, const std::string& path, Messages& out)
{
    std::string bytes;
    if (!read_text_file_or_report(path, bytes, "ERROR: Opening File: ", out)) return false;
    out.info("Opening: " + path + "\n");
    Reader reader{mesh, path, out, {}, {}};
    if (bytes.size() >= header_size) {
        const std::uint64_t count = le32(bytes.data() + 80);
        if (header_size + count * triangle_size == bytes.size()) return reader.binary(bytes);
        // A binary file holds bytes no text has; one of the wrong size is
        // reported as such rather than as text that does not parse.
        if (!starts_with_solid(bytes) || bytes.find('\0') != std::string::npos)
            return reader.reject("byte 80", "binary STL of " + std::to_string(count) + " triangles takes " +
                                                std::to_string(header_size + count * triangle_size) +
                                                " bytes, the file has " + std::to_string(bytes.size()));
    } else if (!starts_with_solid(bytes)) {
        return reader.reject("byte 0", "neither ASCII STL (it does not start with \"solid\") nor binary STL (" +
                                           std::to_string(bytes.size()) + " bytes, fewer than the 84 of a header)");
    }
    return reader.ascii(bytes);
}
