#include "colouring/vertex_colouring.h"

#include <algorithm>
#include <cstdio>

#include "core/Mesh.h"
#include "core/Messages.h"

Vector colour_vector(Rgb c)
{
    return Vector(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, 1.0f);
}

void colour_by_morphogens(Mesh& mesh, int mix_mode, const std::vector<int>& toggles, const std::vector<Rgb>& colours,
                          Rgb base)
{
    const Vector base_colour = colour_vector(base);
    const std::size_t listed = std::min(toggles.size(), colours.size());
    const std::size_t vertices = std::min(std::size_t(std::max(mesh.nv, 0)), mesh.vertex_colours.size());
    const Vector one(1.0f, 1.0f, 1.0f, 1.0f);
    if (vertices > 0) mesh.has_colours = true;
    for (std::size_t j = 0; j < vertices; ++j) {
        Vector& out = mesh.vertex_colours[j];
        out = base_colour;
        if (j >= mesh.morphogen_values.size()) continue;
        const std::vector<float>& values = mesh.morphogen_values[j];
        const std::size_t used = std::min(listed, values.size());
        Vector acc(0.0f, 0.0f, 0.0f, 0.0f);
        int count = 1;
        for (std::size_t i = 0; i < used; ++i) {
            const float v = values[i];
            if (toggles[i] != 1 || !(v > 0.0f)) continue;
            const Vector c = colour_vector(colours[i]) * v;
            if (mix_mode == 0)
                acc += c;
            else
                acc -= one - c;
            ++count;
        }
        // The mean takes x, y and z only; w keeps the plain sum.
        acc.x /= float(count);
        acc.y /= float(count);
        acc.z /= float(count);
        out += acc;
    }
}

Vector morphogen_colour_alone(int mix_mode, Rgb colour, Rgb base, float value)
{
    Vector out = colour_vector(base);
    if (value > 0.0f) {
        // The mean of the base's share (nothing) and this morphogen's.
        const Vector c = colour_vector(colour) * value;
        const Vector share = mix_mode == 0 ? c : c - Vector(1.0f, 1.0f, 1.0f, 1.0f);
        out.x += share.x / 2.0f;
        out.y += share.y / 2.0f;
        out.z += share.z / 2.0f;
    }
    out.x = std::clamp(out.x, 0.0f, 1.0f);
    out.y = std::clamp(out.y, 0.0f, 1.0f);
    out.z = std::clamp(out.z, 0.0f, 1.0f);
    out.w = 1.0f;
    return out;
}

namespace {

// The ramp segment d (colours d and d + 1) for height h: the last entry
// below h, kept inside the ramp so that both ends exist.
std::size_t segment_of(const std::vector<float>& values, std::size_t n, float h)
{
    std::size_t d = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (values[i] < h) d = i;
    return std::min(d, n - 2);
}

}  // namespace

bool colour_by_height(Mesh& mesh, const std::vector<Rgb>& colours, const std::vector<float>& values, Messages& out)
{
    out.info("terrain vertex colours...\n");
    if (mesh.nv <= 0) return true;
    const std::size_t n = std::min(colours.size(), values.size());
    if (n == 0) {
        out.warning("terrain vertex colours: the colour map has no entries; colours left as they are\n");
        return false;
    }
    mesh.build({MESH_BB}, out);
    const float lo = mesh.bbox[4].y;
    const float range = mesh.bbox[1].y - lo;
    const std::size_t vertices = std::min(std::size_t(mesh.nv), mesh.vertex_colours.size());
    if (vertices > 0) mesh.has_colours = true;
    for (std::size_t j = 0; j < vertices; ++j) {
        if (n == 1) {
            mesh.vertex_colours[j] = colour_vector(colours[0]);
            continue;
        }
        // A flat mesh has no height range: every vertex sits at the bottom.
        const float h = range > 0.0f ? (mesh.vertices[j].y - lo) / range : 0.0f;
        const std::size_t d = segment_of(values, n, h);
        const Vector c0 = colour_vector(colours[d]);
        const Vector c1 = colour_vector(colours[d + 1]);
        const float width = values[d + 1] - values[d];
        // Two entries at the same position: take the one on h's side.
        const float t = width != 0.0f ? (h - values[d]) / width : (h > values[d] ? 1.0f : 0.0f);
        Vector c = c0 * (1.0f - t) + c1 * t;
        c.w = 1.0f;
        mesh.vertex_colours[j] = c;
    }
    return true;
}
