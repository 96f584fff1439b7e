#pragma once

#include <array>

#include "core/ArcBall.h"
#include "core/Vector.h"

// One clipping plane of the cube. The kept side is where
// a·x + b·y + c·z + d >= 0; the four doubles are handed to glClipPlane as
// they are. The handle carries the drag mode in map_mode (0 none, 1 and 2
// tilt, 3 push/pull), the face id 1..6 in axis_mode, and the plane's tilt and
// offset in its transform.
class CutPlane {
public:
    Vector normal;
    Vector centre;
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
    ArcBall handle;
    Vector last_mouse{0, 0, 0, 0};
    std::array<Vector, 4> base_corners;
    std::array<Vector, 4> corners;

    // The plane on a box face: base corners in winding order and the face id
    // (1, 2 face z; 3, 4 face x; 5, 6 face y).
    static CutPlane on_face(const std::array<Vector, 4>& base, int face_id);
    // The placeholder a plane file's count line fills the list with: all
    // zero, identity handle, no face id.
    static CutPlane blank();

    // One drag step with window point p in the current drag mode, then
    // corners, normal, centre and equation recomputed from the handle. A
    // push or pull moves the plane push_step per pixel of vertical drag.
    void update(Vector p, float push_step = 0.1f);
    // The coordinate the plane's face faces: 0 x, 1 y, 2 z, -1 none.
    int axis() const;
};
