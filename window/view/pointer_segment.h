#pragma once

#include "core/Vector.h"

// The segment under the pointer at (x, y) in widget pixels (y downwards),
// unprojected with the viewport and the model-view and projection matrices
// current in the GL context (those the last paint left). It starts at window
// depth -1 in orthographic mode and 0 in perspective mode and ends at depth
// 1. False when the matrices cannot be inverted.
bool pointer_segment(int x, int y, int height, bool orthographic, Vector& near_point, Vector& far_point);
