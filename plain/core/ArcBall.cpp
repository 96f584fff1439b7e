#include "core/ArcBall.h"

#include <cmath>

void ArcBall::set_bounds(float w, float h)
{
    adjust_width = 1.0f / ((w - 1.0f) * 0.5f);
    adjust_height = 1.0f / ((h - 1.0f) * 0.5f);
}

Vector ArcBall::map_to_sphere(const Vector& p) const
{
    const float x = (map_mode == 0 || map_mode == 2) ? p.x * adjust_width - 1.0f : p.x;
    const float y = (map_mode == 0 || map_mode == 1) ? 1.0f - p.y * adjust_height : p.y;
    const float l = x * x + y * y;
    if (l > 1.0f) {
        const float n = 1.0f / std::sqrt(l);
        return Vector(x * n, y * n, 0.0f);
    }
    return Vector(x, y, std::sqrt(1.0f - l));
}

void ArcBall::click(const Vector& p)
{
    for (int i = 0; i < 9; ++i) last_rotation[i] = this_rotation[i];
    dragging = true;
    start_vector = map_to_sphere(p);
}

void ArcBall::drag(const Vector& p)
{
    end_vector = map_to_sphere(p);
    Vector n;
    n.cross(start_vector, end_vector);
    float qx = 0, qy = 0, qz = 0, qw = 0;
    if (n.length() > 0.00001f) {
        qw = start_vector.dot(end_vector);
        switch (axis_mode) {
        case 0:
        case 1:
        case 2:
            qx = n.x;
            qy = n.y;
            qz = n.z;
            break;
        case 3:
        case 4:
            qx = n.z;
            qy = n.y;
            qz = n.x;
            break;
        case 5:
        case 6:
            qx = n.x;
            qy = n.z;
            qz = n.y;
            break;
        default: break;
        }
    }

    const float sum = qx * qx + qy * qy + qz * qz + qw * qw;
    const float s = sum > 0.0f ? 2.0f / sum : 0.0f;
    const float q[9] = {
        1.0f - s * (qy * qy + qz * qz), s * (qx * qy + qw * qz),        s * (qx * qz - qw * qy),
        s * (qx * qy - qw * qz),        1.0f - s * (qx * qx + qz * qz), s * (qy * qz + qw * qx),
        s * (qx * qz + qw * qy),        s * (qy * qz - qw * qx),        1.0f - s * (qx * qx + qy * qy),
    };
    // Column-major: element (r, c) sits at c * 3 + r.
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) {
            float v = 0.0f;
            for (int k = 0; k < 3; ++k) v += q[k * 3 + r] * last_rotation[c * 3 + k];
            this_rotation[c * 3 + r] = v;
        }

    // Keep whatever uniform scale the transform carries.
    float squares = 0.0f;
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) squares += transform[c * 4 + r] * transform[c * 4 + r];
    const float k = std::sqrt(squares / 3.0f);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) transform[c * 4 + r] = k * this_rotation[c * 3 + r];
}

void ArcBall::move(const Vector& p)
{
    if (dragging) {
        drag(p);
    } else if (zooming && p.y != last_point.y) {
        const Vector m = map_to_sphere(p);
        transform[14] += (p.y - last_point.y) * 0.005f * (m.z + 1.0f);
    } else if (panning) {
        const Vector d = (p - last_point) * 0.125f;
        last_point = p;
        transform[12] += d.x;
        transform[13] -= d.y;
    }
}
