#pragma once

#include <string>

class Mesh;
class Messages;

// OFF reader: the keyword OFF (with the prefixes ST, C and N of texture
// coordinates, colours and normals), the vertex and face counts (the edge
// count is not needed), one vertex a line, then one face a line as a corner
// count and zero-based corners, fan-triangulated. "#" starts a comment.
// Vertex colours (COFF) are red, green, blue and perhaps alpha, integers
// on the 0..255 scale or fractions on the 0..1 scale; normals, texture
// coordinates and face colours are not kept. Every value must be a number
// that fits a float.
//
// A rejected file leaves the mesh empty after one line on standard error
// naming the file, the line and the problem.
bool read_off(Mesh& mesh, const std::string& path, Messages& out);
