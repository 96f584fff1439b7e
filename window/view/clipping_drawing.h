#pragma once

class PlaneWidgetInCube;

// The clipping cube in the view: plane outlines as on-screen handles and the
// six user clip planes. Called from the view's paint routine with its
// context current and the model-view matrix of the frame in force.

// Selected planes in yellow with their corner points; the others in grey
// while any plane is selected or show_all is on.
void draw_plane_outlines(const PlaneWidgetInCube& cube);
// Loads the planes' equations into GL_CLIP_PLANE0..5 under the current matrix.
void set_clip_planes(const PlaneWidgetInCube& cube);
void enable_clip_planes();
void disable_clip_planes();
