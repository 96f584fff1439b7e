#include "clipping/CutPlane.h"

namespace {

// The coordinate a face id faces: 2 (z) for 1 and 2, 0 (x) for 3 and 4,
// 1 (y) for 5 and 6, -1 for anything else.
int facing_axis(int face_id)
{
    switch (face_id) {
    case 1:
    case 2: return 2;
    case 3:
    case 4: return 0;
    case 5:
    case 6: return 1;
    default: return -1;
    }
}

float& coordinate(Vector& v, int axis)
{
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

// m: a column-major 4 x 4 matrix.
template <typename Matrix>
Vector transformed(const Matrix& m, const Vector& v)
{
    return Vector(m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12], m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13],
                  m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14]);
}

}  // namespace

CutPlane CutPlane::on_face(const std::array<Vector, 4>& base, int face_id)
{
    CutPlane plane;
    plane.base_corners = base;
    plane.handle.axis_mode = face_id;
    plane.handle.set_bounds(800, 800);
    plane.update(Vector(0, 0, 0));
    return plane;
}

CutPlane CutPlane::blank()
{
    CutPlane plane;
    const Vector zero(0, 0, 0);
    plane.centre = zero;
    plane.base_corners.fill(zero);
    plane.corners.fill(zero);
    plane.handle.set_bounds(800, 800);
    // The normal of coincident corners; meaningless until a plane line sets it.
    plane.normal.cross(plane.corners[1] - plane.corners[2], plane.corners[0] - plane.corners[1]);
    plane.normal.normalise();
    return plane;
}

int CutPlane::axis() const
{
    return facing_axis(handle.axis_mode);
}

void CutPlane::update(Vector p, float push_step)
{
    switch (handle.map_mode) {
    case 1:
        p.x = 0;
        handle.move(p);
        break;
    case 2:
        p.y = 0;
        handle.move(p);
        break;
    case 3: {
        const float delta = (last_mouse.y - p.y) * push_step;
        last_mouse = p;
        handle.transform[12] += delta * normal.x;
        handle.transform[13] += delta * normal.y;
        handle.transform[14] += delta * normal.z;
        break;
    }
    default: break;
    }

    // Turn the face about its own centre: flatten it onto the plane through
    // the origin, transform, then lift it back to its face of the box.
    const int axis = facing_axis(handle.axis_mode);
    for (int i = 0; i < 4; ++i) {
        Vector flat = base_corners[i];
        if (axis >= 0) coordinate(flat, axis) = 0.0f;
        corners[i] = transformed(handle.transform, flat);
        if (axis >= 0) coordinate(corners[i], axis) += coordinate(base_corners[i], axis);
    }

    normal.cross(corners[1] - corners[2], corners[0] - corners[1]);
    normal.normalise();
    centre = (corners[0] + corners[1] + corners[2] + corners[3]) / 4.0f;

    const Vector& p1 = corners[0];
    const Vector& p2 = corners[1];
    const Vector& p3 = corners[2];
    a = p1.y * (p2.z - p3.z) + p2.y * (p3.z - p1.z) + p3.y * (p1.z - p2.z);
    b = p1.z * (p2.x - p3.x) + p2.z * (p3.x - p1.x) + p3.z * (p1.x - p2.x);
    c = p1.x * (p2.y - p3.y) + p2.x * (p3.y - p1.y) + p3.x * (p1.y - p2.y);
    const float sum =
        p1.x * (p2.y * p3.z - p3.y * p2.z) + p2.x * (p3.y * p1.z - p1.y * p3.z) + p3.x * (p1.y * p2.z - p2.y * p1.z);
    d = -double(sum);
}
