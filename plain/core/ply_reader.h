#pragma once

#include <string>

class Mesh;
class Messages;

// PLY reader, ASCII and binary in either byte order. The "vertex" element
// gives the positions (x, y, z) and, when it has red, green and blue (or
// diffuse_red, diffuse_green, diffuse_blue), the vertex colours: integer
// channels scaled by their type's largest value, float channels as they
// are. Every other scalar property of a vertex (alpha too) becomes a
// morphogen of the same name ("#" in a name, which an OBJ file cannot hold,
// becomes "_"); a second property of a name already taken (a second "x") is
// a morphogen as well. The "face" element's vertex_indices
// (or vertex_index) list gives the faces, fan-triangulated. Other elements
// and properties are skipped. A value must fit a float and be a number.
//
// A rejected file leaves the mesh empty after one line on standard error
// naming the file and the header or data line (ASCII) or the byte offset
// (binary) and the problem.
bool read_ply(Mesh& mesh, const std::string& path, Messages& out);
