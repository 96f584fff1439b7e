#include "core/Face.h"

void Face::compute_normal()
{
    normal.normal_from_points(*v[2], *v[1], *v[0]);
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
