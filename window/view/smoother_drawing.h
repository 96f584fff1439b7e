#pragma once

class NormalSmoother;

// The smoother's kernel ball: red, half transparent, with a dark wire
// over it, radius kernel.x around its current centre, in the mesh's own
// coordinates. Nothing while the smoother has no mesh with vertices.
void draw_kernel_ball(const NormalSmoother& smoother);
