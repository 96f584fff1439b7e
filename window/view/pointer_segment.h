#pragma once

#include "core/Vector.h"
#include "view/ViewMatrices.h"

// The segment under the frame-buffer point (x, y), counted in the frame
// buffer's pixels from its top left corner (a widget position times the
// device pixel ratio), unprojected with the viewport and matrices of a
// paint. It starts at window depth -1 in orthographic mode and 0 in
// perspective mode and ends at depth 1. False when the matrices cannot be
// inverted. Pure arithmetic: no GL context is needed.
bool pointer_segment(const ViewMatrices& matrices, double x, double y, bool orthographic, Vector& near_point,
                     Vector& far_point);
