#include "core/MeshParts.h"

#include <cstdlib>
#include <new>

#include "core/format_text.h"
#include "core/memory_limits.h"
#include "core/Mesh.h"
#include "core/Messages.h"

void MeshParts::add_polygon(const int* corners, std::size_t count)
{
    for (std::size_t k = 1; k + 1 < count; ++k) triangles.push_back({corners[0], corners[k], corners[k + 1]});
}

bool MeshParts::move_into(Mesh& mesh, const std::string& path, Messages& out)
{
    const long long nv = (long long)positions.size(), nf = (long long)triangles.size();
    std::string too_big;
    if (nv > 0x7fffffff || nf > 0x7fffffff) too_big = "too many vertices or faces";
    if (too_big.empty()) mesh_fits_in_memory(nv, nf, int(names.size()), too_big);
    if (!too_big.empty()) return reject_mesh_file(mesh, path, "", too_big, out);
    out.info(format_text("nv: %d, nf: %d\n", int(nv), int(nf)));
    try {
        mesh.clear();
        mesh.allocate_vertices(int(nv));
        mesh.allocate_faces(int(nf));
        mesh.allocate_morphogens(names.empty() ? 0 : int(nv), int(names.size()));
    } catch (const std::bad_alloc&) {
        return reject_mesh_file(
            mesh, path, "",
            "not enough free memory for " + std::to_string(nv) + " vertices and " + std::to_string(nf) + " triangles",
            out);
    }
    const std::size_t count = names.size();
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const Vector& p = positions[i];
        mesh.vertices[i] = Vector(p.x, p.y, p.z, 1.0f);
        if (!colours.empty()) mesh.vertex_colours[i] = colours[i];
        if (count > 0)
            mesh.morphogen_values[i].assign(values.begin() + std::ptrdiff_t(i * count),
                                            values.begin() + std::ptrdiff_t((i + 1) * count));
    }
    mesh.has_colours = !colours.empty();
    mesh.morphogen_names = names;
    for (std::size_t j = 0; j < triangles.size(); ++j)
        mesh.set_face(int(j), triangles[j][0], triangles[j][1], triangles[j][2]);
    return true;
}

bool reject_mesh_file(Mesh& mesh, const std::string& path, const std::string& where, const std::string& problem,
                      Messages& out)
{
    const int line = where.rfind("line ", 0) == 0 ? std::atoi(where.c_str() + 5) : 0;
    out.error_on_stderr("ERROR: " + path + ": " + (where.empty() ? "" : where + ": ") + problem + "\n", path, line);
    mesh.clear();
    mesh.morphogen_names.clear();
    return false;
}
