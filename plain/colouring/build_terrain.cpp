#include "colouring/build_terrain.h"

#include <cstdio>
#include <vector>

#include "colouring/Heightmap.h"
#include "core/format_text.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/StageProgress.h"

bool build_terrain(Mesh& mesh, const Heightmap& heightmap, int resolution, float scale, float height, Messages& out)
{
    const int n = resolution;
    if (n < 1 || n > max_terrain_resolution) {
        out.error(format_text("ERROR: terrain grid resolution %d is outside 1..%d; the mesh is unchanged\n", n,
                              max_terrain_resolution));
        return false;
    }
    mesh.clear();

    // The steps are summed row by row and column by column in single
    // precision, so positions are exactly those of the running sums.
    std::vector<Vector> grid(std::size_t(n) * n);
    const float d = 1.0f / float(n);
    float z = 0.0f;
    StageProgress stage(out, "Terrain", 2LL * n, 100);
    for (int r = 0; r < n; ++r) {
        stage.at(r);
        float x = 0.0f;
        const int py = Heightmap::size * r / n;
        for (int c = 0; c < n; ++c) {
            const int px = Heightmap::size * c / n;
            const float h = float(heightmap.grey(px, py)) * 0.00390625f;
            grid[std::size_t(r) * n + c] = Vector(scale * x, height * h, scale * z);
            x += d;
        }
        z += d;
    }

    mesh.allocate_vertices(n * n);
    mesh.allocate_faces(2 * (n - 1) * (n - 1));
    std::vector<int> index(grid.size(), -1);
    int next = 0;
    auto vertex = [&](int r, int c) {
        int& v = index[std::size_t(r) * n + c];
        if (v < 0) {
            v = next++;
            const Vector& p = grid[std::size_t(r) * n + c];
            mesh.vertices[v] = Vector(p.x, p.y, p.z);
            mesh.vertex_colours[v] = Vector(1.0f, 1.0f, 1.0f, 1.0f);
            mesh.has_colours = true;
        }
        return v;
    };
    int f = 0;
    for (int r = 0; r + 1 < n; ++r) {
        stage.at(n + r);
        for (int c = 0; c + 1 < n; ++c) {
            const int a = vertex(r, c), b = vertex(r + 1, c), e = vertex(r + 1, c + 1);
            mesh.set_face(f++, a, b, e);
            const int g = vertex(r, c + 1);
            mesh.set_face(f++, a, e, g);
        }
    }

    mesh.build({MESH_CENTRE, MESH_FACE_NORMALS, MESH_VERTEX_NORMALS, MESH_TEXCOORDS, 0}, out);
    out.info(format_text("%d, %d \n", mesh.nv, mesh.nf));
    return true;
}
