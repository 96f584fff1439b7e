#include "core/survey_mesh.h"

#include <numeric>
#include <vector>

#include "core/Mesh.h"

MeshSurvey survey_mesh(const Mesh& mesh)
{
    MeshSurvey s;
    for (const auto& ef : mesh.edge_faces)
        if (ef[1] == -1) ++s.border_edges;
    for (std::size_t i = 0; i < mesh.edge_more_faces.size(); ++i)
        if (i == 0 || mesh.edge_more_faces[i][0] != mesh.edge_more_faces[i - 1][0]) ++s.non_manifold_edges;
    // The normals opening built are current; a mesh changed since gets
    // each face's normal anew, without touching the mesh.
    const bool normals = mesh.is_current(MESH_FACE_NORMALS);
    for (const Face& f : mesh.faces) {
        if (normals) {
            s.degenerate_faces += f.is_degenerate();
            continue;
        }
        Face copy = f;
        copy.compute_normal();
        if (copy.is_degenerate()) ++s.degenerate_faces;
    }

    // Union-find over the faces of each edge, halving paths as it goes.
    std::vector<int> parent(static_cast<std::size_t>(mesh.nf));
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&parent](int f) {
        while (parent[f] != f) f = parent[f] = parent[parent[f]];
        return f;
    };
    s.connected_parts = mesh.nf;
    auto join = [&](int f, int g) {
        if (f < 0 || g < 0 || f >= mesh.nf || g >= mesh.nf) return;
        const int a = root(f), b = root(g);
        if (a == b) return;
        parent[a] = b;
        --s.connected_parts;
    };
    for (const auto& ef : mesh.edge_faces) join(ef[0], ef[1]);
    mesh.for_each_later_link([&](int, int g, int f) { join(g, f); });
    return s;
}
