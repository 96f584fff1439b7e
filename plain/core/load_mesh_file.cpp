#include "core/load_mesh_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "core/Mesh.h"
#include "core/off_reader.h"
#include "core/ply_reader.h"
#include "core/stl_reader.h"

const char* const mesh_extensions = ".obj, .net, .ply, .stl or .off";

bool has_extension(const std::string& name, const char* extension)
{
    const std::size_t n = std::strlen(extension);
    if (name.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(name[name.size() - n + i])) != extension[i]) return false;
    return true;
}

MeshFormat mesh_format_of(const std::string& name)
{
    if (has_extension(name, ".ply")) return MeshFormat::Ply;
    if (has_extension(name, ".stl")) return MeshFormat::Stl;
    if (has_extension(name, ".off")) return MeshFormat::Off;
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
    const MeshFormat format = mesh_format_of(name);
    if (format != MeshFormat::None) {
        mesh.clear();
        bool read = false;
        switch (format) {
        case MeshFormat::Obj: read = mesh.read_obj(name, out); break;
        case MeshFormat::Net: read = mesh.read_net(name, out); break;
        case MeshFormat::Ply: read = read_ply(mesh, name, out); break;
        case MeshFormat::Stl: read = read_stl(mesh, name, out); break;
        case MeshFormat::Off: read = read_off(mesh, name, out); break;
        case MeshFormat::None: break;
        }
        result = read ? LoadResult::Loaded : LoadResult::Failed;
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
