#pragma once

#include "core/Vector.h"

// Turns mouse drags in a window into a rotation: window points are mapped
// onto a unit sphere and the rotation carrying the click's sphere point to
// the current one is composed with the rotation held at the click.
// Matrices are column-major, in the layout glMultMatrixf takes.
class ArcBall {
public:
    int map_mode = 0;   // 0 both window axes, 1 only y, 2 only x, else neither
    int axis_mode = 0;  // permutation of the rotation axis, see drag()
    bool dragging = false;
    bool zooming = false;
    bool panning = false;
    Vector last_point{0.0f, 0.0f, 0.0f, 0.0f};
    float transform[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float last_rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    float this_rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    Vector start_vector{0.0f, 0.0f, 0.0f, 0.0f};
    Vector end_vector{0.0f, 0.0f, 0.0f, 0.0f};
    float adjust_width = 0.0f;
    float adjust_height = 0.0f;

    void set_bounds(float w, float h);
    // Window point (x right, y down, pixels) to a point on the unit sphere,
    // or on its rim when outside it.
    Vector map_to_sphere(const Vector& p) const;
    void click(const Vector& p);
    void drag(const Vector& p);
    // A rotation drag while dragging, else a depth or pan translation.
    void move(const Vector& p);
};
