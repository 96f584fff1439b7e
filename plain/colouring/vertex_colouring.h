#pragma once

#include <vector>

#include "colouring/Rgb.h"
#include "core/Vector.h"

class Mesh;
class Messages;

// The two ways the view recolours a mesh's vertices. Both write
// `vertex_colours` only; geometry and derived data stay as they are.

// (red, green, blue) / 255 with w = 1.
Vector colour_vector(Rgb c);

// Mixes the switched-on morphogens into the base colour. Mix mode 0 adds
// each colour weighted by the vertex's value, any other mode takes away its
// complement; the mean is taken with the base counted as one member, so one
// morphogen at value 1 gives base + c / 2 (additive) or base - (1 - c) / 2.
// Values at or below 0 are ignored. Only morphogens present in all three
// lists (toggles, colours, the vertex's values) take part; vertices without
// values keep the base colour. Results outside 0..1 are kept as they are.
void colour_by_morphogens(Mesh& mesh, int mix_mode, const std::vector<int>& toggles, const std::vector<Rgb>& colours,
                          Rgb base);

// The colour colour_by_morphogens gives a vertex whose only switched-on
// morphogen has this colour and value, clamped to 0..1 as it is drawn.
Vector morphogen_colour_alone(int mix_mode, Rgb colour, Rgb base, float value);

// Colours every vertex by its height (y, normalised over the mesh's box)
// through the ramp: parallel lists of colours and increasing positions in
// 0..1. Heights outside the ramp extrapolate its end segments. Prints
// "terrain vertex colours..."; an empty ramp leaves the colours as they are
// and says so (returns false), a one-entry ramp gives every vertex that
// colour, a flat mesh counts every vertex at height 0. Rebuilds the box.
bool colour_by_height(Mesh& mesh, const std::vector<Rgb>& colours, const std::vector<float>& values, Messages& out);
