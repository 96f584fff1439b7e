#include "core/Face.h"

#include <cmath>
#include <cstddef>
#include <type_traits>

void Face::compute_normal()
{
    const float w = normal.w;
    normal.normal_from_points(*v[2], *v[1], *v[0]);
    const bool finite = std::isfinite(normal.x) && std::isfinite(normal.y) && std::isfinite(normal.z);
    if (finite && (normal.x != 0.0f || normal.y != 0.0f || normal.z != 0.0f)) return;
    // The float cross product cancelled to zero, underflowed or overflowed:
    // the same normal in double, where the products of the corners'
    // differences are exact. Only corners on one line, or corners that are
    // not finite, are left without a direction.
    const Vector &a = *v[0], &b = *v[1], &c = *v[2];
    const double p[3] = {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
    const double q[3] = {double(c.x) - b.x, double(c.y) - b.y, double(c.z) - b.z};
    const double n[3] = {p[1] * q[2] - p[2] * q[1], p[2] * q[0] - p[0] * q[2], p[0] * q[1] - p[1] * q[0]};
    const double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (l > 0.0 && std::isfinite(l)) {
        normal.x = float(n[0] / l);
        normal.y = float(n[1] / l);
        normal.z = float(n[2] / l);
        normal.w = float(double(w) / l);
        normal.len = 1.0f;
    } else {
        normal = Vector(0.0f, 0.0f, 0.0f, w);
    }
}

bool Face::is_degenerate() const
{
    return normal.x == 0.0f && normal.y == 0.0f && normal.z == 0.0f;
}

bool Face::intersect_segment(const Vector& p0, const Vector& p1, Vector& out)
{
    compute_normal();
    const Vector n = normal;
    const float d0 = (p0 - *v[0]).dot(n);
    const float d1 = (p1 - *v[0]).dot(n);
    if (d0 * d1 >= 0.0f || d0 == d1) return false;
    const float t = -d0 / (d1 - d0);
    const Vector h = p0 + (p1 - p0) * t;
    for (int k = 0; k < 3; ++k) {
        const Vector& a = *v[k];
        const Vector& b = *v[(k + 1) % 3];
        Vector side;
        side.cross(n, b - a);
        if (side.dot(h - a) < 0.0f) return false;
    }
    out = h;
    return true;
}

static_assert(std::is_standard_layout_v<Face> && offsetof(Face, v) == 0, "FaceCorners finds its face by its address");
