#include "core/non_finite_value.h"

#include <cmath>

#include "core/Mesh.h"

namespace {

bool finite(const Vector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

std::string non_finite_value(const Mesh& mesh, bool colours)
{
    for (int i = 0; i < mesh.nv; ++i) {
        const std::size_t k = std::size_t(i);
        const char* what = nullptr;
        if (!finite(mesh.vertices[k]))
            what = "a coordinate";
        else if (colours && mesh.has_colours && k < mesh.vertex_colours.size() && !finite(mesh.vertex_colours[k]))
            what = "a colour";
        else if (k < mesh.morphogen_values.size())
            for (const float v : mesh.morphogen_values[k])
                if (!std::isfinite(v)) what = "a morphogen value";
        if (what) return "vertex " + std::to_string(i + 1) + " has " + what + " that is not a finite number";
    }
    return std::string();
}
