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
// `vertex_colours`, when the mesh has colours), every morphogen as a
// per-vertex float property named after it, and the faces, which the PLY
// reader reads back (and other programs as scalar fields or attributes).
// The file is replaced only when written completely; false, after one
// console line naming it and the reason, when it was not, or when a
// position or morphogen value is not a finite number.
bool write_ply(const Mesh& mesh, const std::string& path, PlyFormat format, Messages& out);
