#pragma once

#include <array>

#include "core/Vector.h"

// Turns mouse drags in a window into a rotation: window points are mapped
// onto a unit sphere and the rotation carrying the click's sphere point to
// the current one is composed with the rotation held at the click. The view
// uses one as its camera; every clipping plane uses one as its tilt handle,
// restricting the mapped window axis (map_mode) and permuting the rotation
// axis (axis_mode). Matrices are column-major, as glMultMatrixf takes them.
class ArcBall {
public:
    // Window axes that feed the sphere mapping: 0 both, 1 only y, 2 only x,
    // any other value neither.
    int map_mode = 0;
    // Rotation axis permutation: 0..2 (x, y, z), 3..4 (z, y, x), 5..6 (x, z, y),
    // anything else no axis.
    int axis_mode = 0;
    // Drag flags; users clear them directly to end a drag.
    bool dragging = false;
    bool zooming = false;
    bool panning = false;
    Vector last_point{0, 0, 0, 0};
    // Elements 12, 13 and 14 are the translation.
    std::array<float, 16> transform{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::array<float, 9> last_rotation{1, 0, 0, 0, 1, 0, 0, 0, 1};
    std::array<float, 9> this_rotation{1, 0, 0, 0, 1, 0, 0, 0, 1};
    Vector start_vector{0, 0, 0, 0};
    Vector end_vector{0, 0, 0, 0};
    float adjust_width = 0.0f;
    float adjust_height = 0.0f;

    void set_bounds(float w, float h);
    // Window point (x right, y down, pixels) to a point on or around the unit sphere.
    Vector map_to_sphere(const Vector& p) const;
    void click(const Vector& p);
    void drag(const Vector& p);
    void move(const Vector& p);
};
