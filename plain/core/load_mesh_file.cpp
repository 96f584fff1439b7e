#include "core/load_mesh_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "core/Mesh.h"
#include "core/off_reader.h"
#include "core/ply_reader.h"
#include "core/StageProgress.h"
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

namespace {

// The angle of corner P around the centroid, seen from corner 0 and turned
// about the face normal, in degrees from 0 to 360, from y = n . (a x b) and
// x = a . b: how the pass has always measured it.
double corner_angle(float y, float x)
{
    double angle = double(std::atan2(y, x)) * 57.29577950560105;
    if (angle < 0.0) angle += 360.0;
    return angle;
}

// Whether corner 2's angle is past corner 1's, as corner_angle compares
// them, decided from signs and sizes where they settle it: a face whose
// corners turn about its normal (every face with an area) has corner 1 in
// the upper half-turn and corner 2 in the lower, and the angles lie far
// apart unless both are near a half-turn. The rest (faces with no area or
// none to speak of, numbers out of range) are measured.
bool corner_2_past_corner_1(float y1, float x1, float y2, float x2)
{
    // An angle that is not a number compares false.
    if (std::isnan(y1) || std::isnan(x1) || std::isnan(y2) || std::isnan(x2)) return false;
    const double ay1 = std::fabs(double(y1)), ax1 = std::fabs(double(x1));
    const double ay2 = std::fabs(double(y2)), ax2 = std::fabs(double(x2));
    // Finite, and y far enough from 0 beside x that the angle is no 0.
    const double tiny = 0x1p-100;
    const bool clear = y1 > 0.0f && y2 < 0.0f && std::isfinite(x1) && std::isfinite(x2) && std::isfinite(y1) &&
                       std::isfinite(y2) && ay1 >= ax1 * tiny && ay2 >= ax2 * tiny;
    if (clear) {
        // Corner 1 within a quarter-turn (at most 90 degrees) or corner 2
        // within a quarter-turn back (at least 270): far apart.
        if (x1 >= 0.0f || x2 >= 0.0f) return true;
        // Both beyond a quarter-turn: 180 - a1 against 180 + a2 with
        // tan a = |y| / |x|; the angles differ by a1 + a2, which is at least
        // pi/4 of tan a1 + tan a2 while that is below 1.
        if (ay1 * ax2 + ay2 * ax1 >= 1e-4 * ax1 * ax2) return true;
    }
    return corner_angle(y2, x2) > corner_angle(y1, x1);
}

}  // namespace

bool orient_face(Face& f, const Vector& c)
{
    // A face without area has no turn to measure: it keeps its order.
    if (f.is_degenerate()) return false;
    const Vector& n = f.normal;
    const Vector a = *f.v[0] - c;
    float y[3], x[3];
    for (int k = 1; k <= 2; ++k) {
        const Vector b = *f.v[k] - c;
        Vector axb;
        axb.cross(a, b);
        y[k] = n.dot(axb);
        x[k] = a.dot(b);
    }
    if (corner_2_past_corner_1(y[1], x[1], y[2], x[2])) return false;
    std::swap(f.vi[1], f.vi[2]);
    return true;
}

void orient_faces(Mesh& mesh)
{
    for (int i = 0; i < mesh.nf; ++i)
        if (orient_face(mesh.faces[i], mesh.centroids[i])) mesh.face_list[i] = &mesh.faces[i];
}

LoadResult load_mesh_file(Mesh& mesh, const std::string& name, Messages& out)
{
    LoadResult result = LoadResult::NotAMesh;
    const MeshFormat format = mesh_format_of(name);
    StageProgress stage(out, "Opening", 2, 2);
    stage.at(0);
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
    // Centre, centroids, edge list, vertex normals and box, the faces
    // oriented, the vertex normals again (the swap keeps every derived array
    // the tools read; only the normals follow the new corner order).
    stage.at(1);
    mesh.build_oriented(orient_face, out);
    stage.at(2);
    return result;
}
