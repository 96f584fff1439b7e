#pragma once

#include <string>

#include "colouring/Rgb.h"
#include "core/Vector.h"

class Mesh;
class Messages;

enum class PlyFormat { Ascii, BinaryLittleEndian };

// A vertex colour as 8-bit channels: each of r, g, b times 255, rounded and
// held to 0..255 (colours outside 0..1 are legal in the mesh).
Rgb colour_bytes(const Vector& colour);

// Writes positions, per-vertex 8-bit red, green and blue (from
// `vertex_colours`) and the faces. False, after one console line, when the
// file cannot be opened or written completely.
bool write_ply(const Mesh& mesh, const std::string& path, PlyFormat format, Messages& out);
