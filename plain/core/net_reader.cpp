// Net reader: "v x y z" positions, "n x y z" normals, "t u v" texture
// coordinates (not kept), "c r g b" colours and "f i j k ..." faces with
// three or more zero-based indices, of which the first three are used. The
// first character names a line. Lines end at LF, CR LF or CR; "#" starts a
// comment; every value must be a number that fits a float (the OBJ
// reader's rules). Any of these lines that does not match, an index outside
// the vertices, or a colour list shorter than the vertex list rejects the
// file.
#include <array>
#include <string>
#include <vector>

#include "core/format_text.h"
#include "core/LineReader.h"
#include "core/memory_limits.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/text_fields.h"
#include "core/text_file.h"

bool Mesh::read_net(const std::string& path, Messages& out)
{
    std::string text;
    if (!read_text_file_or_report(path, text, "ERROR Opening File: ", out)) return false;
    out.info("Opening: " + path + "\n");

    auto reject = [&](int line, const std::string& problem) {
        out.error_on_stderr(format_text("ERROR: %s: line %d: %s\n", path.c_str(), line, problem.c_str()), path, line);
        clear();
        return false;
    };

    std::vector<Vector> positions, normals, colours;
    std::vector<std::array<long long, 3>> triangles;
    std::vector<int> triangle_lines;
    LineReader lines(text, true);
    std::string_view line;
    std::string problem;
    // The first character names the line; its numbers follow, each of which
    // must be a number that fits a float.
    auto numbers = [&](int count, float* v, const char* kind) {
        std::string_view rest = line.substr(1), field;
        for (int k = 0; k < count; ++k) {
            if (!next_field(rest, field)) {
                problem = std::string("malformed ") + kind + " line";
                return false;
            }
            if (!parse_float_field(field, v[k], problem)) {
                problem = std::string(kind) + " line: " + problem;
                return false;
            }
        }
        return true;
    };
    while (lines.next(line)) {
        const int number = lines.number;
        if (line.empty()) continue;
        float v[3];
        switch (line[0]) {
        case 'v':
            if (!numbers(3, v, "vertex")) return reject(number, problem);
            positions.emplace_back(v[0], v[1], v[2]);
            break;
        case 'n':
            if (!numbers(3, v, "normal")) return reject(number, problem);
            normals.emplace_back(v[0], v[1], v[2]);
            break;
        case 't':
            if (!numbers(2, v, "texture")) return reject(number, problem);
            break;
        case 'c':
            if (!numbers(3, v, "colour")) return reject(number, problem);
            colours.emplace_back(v[0], v[1], v[2], 1.0f);
            break;
        case 'f': {
            // Wide, so an index beyond the int range is reported as out of
            // range instead of wrapping onto some vertex.
            std::array<long long, 3> corner{};
            std::string_view rest = line.substr(1), field;
            int got = 0;
            while (next_field(rest, field)) {
                long long index = 0;
                if (!parse_integer_field(field, index))
                    return reject(number, "face line: \"" + std::string(field) + "\" is not an index");
                if (got < 3) corner[std::size_t(got)] = index;
                ++got;
            }
            if (got < 3) return reject(number, "malformed face line");
            triangles.push_back(corner);
            triangle_lines.push_back(number);
            break;
        }
        default: break;
        }
    }

    if (!colours.empty() && colours.size() < positions.size())
        return reject(lines.number, std::to_string(colours.size()) + " colour lines for " +
                                        std::to_string(positions.size()) + " vertices");
    std::string too_big;
    if (!mesh_fits_in_memory((long long)positions.size(), (long long)triangles.size(), 0, too_big))
        return reject(0, too_big);
    const int n = int(positions.size());
    for (std::size_t j = 0; j < triangles.size(); ++j)
        for (long long k : triangles[j])
            if (k < 0 || k >= n)
                return reject(triangle_lines[j],
                              "index " + std::to_string(k) + " is outside the vertices 0 to " + std::to_string(n - 1));

    allocate_vertices(n);
    const bool with_normals = !normals.empty() && normals.size() == positions.size();
    for (int v = 0; v < n; ++v) {
        vertices[v].x = positions[v].x;
        vertices[v].y = positions[v].y;
        vertices[v].z = positions[v].z;
        const Vector normal = with_normals ? normals[v] : Vector(0.0f, 0.0f, 0.0f);
        vertex_normals[v].x = normal.x;
        vertex_normals[v].y = normal.y;
        vertex_normals[v].z = normal.z;
        vertex_colours[v] = colours.empty() ? Vector(0.4f, 0.4f, 0.4f, 1.0f) : colours[v];
        has_colours = !colours.empty();
    }
    allocate_faces(int(triangles.size()));
    for (int j = 0; j < nf; ++j) set_face(j, int(triangles[j][0]), int(triangles[j][1]), int(triangles[j][2]));
    return true;
}
