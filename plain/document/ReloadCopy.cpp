#include "document/ReloadCopy.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/Mesh.h"

namespace {

bool is_default(const Vector& v)
{
    static const Vector fresh;
    return std::memcmp(&v.x, &fresh.x, 4 * sizeof(float)) == 0;
}

}  // namespace

void ReloadCopy::Packed::pack(const std::vector<Vector>& from)
{
    xyz.clear();
    w.clear();
    bool all_default = true, all_w_one = true;
    for (const Vector& v : from) {
        all_default = all_default && is_default(v);
        all_w_one = all_w_one && v.w == 1.0f;
    }
    if (all_default) return;
    xyz.resize(3 * from.size());
    for (std::size_t i = 0; i < from.size(); ++i) {
        xyz[3 * i] = from[i].x;
        xyz[3 * i + 1] = from[i].y;
        xyz[3 * i + 2] = from[i].z;
    }
    if (all_w_one) return;
    w.resize(from.size());
    for (std::size_t i = 0; i < from.size(); ++i) w[i] = from[i].w;
}

void ReloadCopy::Packed::unpack(std::vector<Vector>& to) const
{
    if (xyz.empty()) return;
    for (std::size_t i = 0; i < to.size(); ++i)
        to[i] = Vector(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2], w.empty() ? 1.0f : w[i]);
}

void ReloadCopy::keep(const Mesh& mesh)
{
    clear();
    try {
        positions.pack(mesh.vertices);
        colours.pack(mesh.vertex_colours);
        has_colours = mesh.has_colours;
        corners.resize(3 * std::size_t(mesh.nf));
        for (int i = 0; i < mesh.nf; ++i)
            for (int k = 0; k < 3; ++k) corners[3 * std::size_t(i) + k] = mesh.faces[i].vi[k];
        const std::vector<std::vector<float>>& values = mesh.morphogen_values;
        morphogen_lists = !values.empty();
        morphogen_count = values.empty() ? 0 : int(values[0].size());
        bool uniform = true;
        for (const std::vector<float>& list : values) uniform = uniform && int(list.size()) == morphogen_count;
        if (uniform) {
            morphogens.reserve(values.size() * std::size_t(morphogen_count));
            for (const std::vector<float>& list : values) morphogens.insert(morphogens.end(), list.begin(), list.end());
        } else {
            ragged = values;
        }
        nv = mesh.nv;
        nf = mesh.nf;
    } catch (const std::bad_alloc&) {
        clear();
        throw;
    }
}

void ReloadCopy::restore(Mesh& mesh) const
{
    mesh.allocate_vertices(nv);
    positions.unpack(mesh.vertices);
    colours.unpack(mesh.vertex_colours);
    mesh.has_colours = has_colours;
    mesh.allocate_faces(nf);
    for (int i = 0; i < nf; ++i) {
        const int* c = &corners[3 * std::size_t(i)];
        mesh.set_face(i, c[0], c[1], c[2]);
    }
    if (!ragged.empty()) {
        mesh.morphogen_values = ragged;
        return;
    }
    mesh.allocate_morphogens(morphogen_lists ? nv : 0, morphogen_count);
    for (std::size_t v = 0; v < mesh.morphogen_values.size(); ++v)
        std::copy(morphogens.begin() + std::ptrdiff_t(v * morphogen_count),
                  morphogens.begin() + std::ptrdiff_t((v + 1) * morphogen_count), mesh.morphogen_values[v].begin());
}

void ReloadCopy::clear()
{
    *this = ReloadCopy();
}

std::size_t ReloadCopy::bytes() const
{
    std::size_t b =
        positions.bytes() + colours.bytes() + corners.capacity() * sizeof(int) + morphogens.capacity() * sizeof(float);
    for (const std::vector<float>& list : ragged) b += list.capacity() * sizeof(float);
    return b;
}
