#include "core/load_mesh_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/Mesh.h"

MeshFormat mesh_format_of(const std::string& name)
{
    std::string tail = name.size() > 4 ? name.substr(name.size() - 4) : name;
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (tail.find("obj") != std::string::npos) return MeshFormat::Obj;
    if (tail.find("net") != std::string::npos) return MeshFormat::Net;
    return MeshFormat::None;
}

void orient_faces(Mesh& mesh)
{
    for (int i = 0; i < mesh.nf; ++i) {
        Face& f = mesh.faces[i];
        // A face without area has no turn to measure: it keeps its order.
        if (f.is_degenerate()) continue;
        const Vector& c = mesh.centroids[i];
        const Vector& n = f.normal;
        const Vector a = *f.v[0] - c;
        double angle[3] = {0.0, 0.0, 0.0};
        for (int k = 1; k <= 2; ++k) {
            const Vector b = *f.v[k] - c;
            Vector axb;
            axb.cross(a, b);
            angle[k] = double(std::atan2(n.dot(axb), a.dot(b))) * 57.29577950560105;
            if (angle[k] < 0.0) angle[k] += 360.0;
        }
        if (angle[2] > angle[1]) continue;
        std::swap(f.vi[1], f.vi[2]);
        std::swap(f.v[1], f.v[2]);
        mesh.face_list[i] = &f;
    }
}

LoadResult load_mesh_file(Mesh& mesh, const std::string& name, Messages& out)
{
    LoadResult result = LoadResult::NotAMesh;
    switch (mesh_format_of(name)) {
    case MeshFormat::Obj:
        mesh.clear();
        result = mesh.read_obj(name, out) ? LoadResult::Loaded : LoadResult::Failed;
        break;
    case MeshFormat::Net:
        mesh.clear();
        result = mesh.read_net(name, out) ? LoadResult::Loaded : LoadResult::Failed;
        break;
    case MeshFormat::None: break;
    }
    if (result == LoadResult::Failed) {
        mesh.clear();
        mesh.morphogen_names.clear();
    }
    mesh.build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}, out);
    // The swap keeps every derived array the tools read; only the vertex
    // normals follow the new corner order.
    orient_faces(mesh);
    mesh.build({MESH_VERTEX_NORMALS}, out);
    return result;
}
