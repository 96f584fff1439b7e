#pragma once

#include "core/Vector.h"
#include "view/ViewMatrices.h"

// The segment under the pointer at (x, y) in widget pixels (y downwards),
// unprojected with the viewport and matrices of a paint. It starts at
// window depth -1 in orthographic mode and 0 in perspective mode and ends at
// depth 1. False when the matrices cannot be inverted. Pure arithmetic: no
// GL context is needed.
bool pointer_segment(const ViewMatrices& matrices, int x, int y, int height, bool orthographic, Vector& near_point,
                     Vector& far_point);
