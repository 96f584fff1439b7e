// Net reader: "v x y z" positions, "n x y z" normals, "t u v" texture
// coordinates (not kept), "c r g b" colours and "f i j k ..." faces with
// 3 to 10 zero-based indices, of which the first three are used. Any of
// these lines that does not match, an index outside the vertices, or a
// colour list shorter than the vertex list rejects the file.
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/format_text.h"
#include "core/memory_limits.h"
#include "core/Mesh.h"
#include "core/Messages.h"
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
    std::size_t pos = 0;
    int number = 0;
    std::string line;
    while (pos < text.size()) {
        const std::size_t nl = text.find('\n', pos);
        const std::size_t stop = nl == std::string::npos ? text.size() : nl;
        line.assign(text, pos, stop - pos);
        pos = stop + 1;
        ++number;
        if (line.empty()) continue;
        const char* s = line.c_str();
        float a, b, c;
        switch (s[0]) {
        case 'v':
            if (std::sscanf(s, "v %f %f %f", &a, &b, &c) != 3) return reject(number, "malformed vertex line");
            positions.emplace_back(a, b, c);
            break;
        case 'n':
            if (std::sscanf(s, "n %f %f %f", &a, &b, &c) != 3) return reject(number, "malformed normal line");
            normals.emplace_back(a, b, c);
            break;
        case 't':
            if (std::sscanf(s, "t %f %f", &a, &b) != 2) return reject(number, "malformed texture line");
            break;
        case 'c':
            if (std::sscanf(s, "c %f %f %f", &a, &b, &c) != 3) return reject(number, "malformed colour line");
            colours.emplace_back(a, b, c, 1.0f);
            break;
        case 'f': {
            // Read wide, so an index beyond the int range is reported as out
            // of range instead of wrapping onto some vertex.
            long long i[10];
            const int got = std::sscanf(s, "f %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld", i, i + 1, i + 2,
                                        i + 3, i + 4, i + 5, i + 6, i + 7, i + 8, i + 9);
            if (got < 3) return reject(number, "malformed face line");
            triangles.push_back({i[0], i[1], i[2]});
            triangle_lines.push_back(number);
            break;
        }
        default: break;
        }
    }

    if (!colours.empty() && colours.size() < positions.size())
        return reject(number, std::to_string(colours.size()) + " colour lines for " + std::to_string(positions.size()) +
                                  " vertices");
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
