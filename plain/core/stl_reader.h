#pragma once

#include <string>

class Mesh;
class Messages;

// STL reader, ASCII ("solid" ... "facet" ... "vertex x y z" ...) and binary
// (80-byte header, triangle count, 50 bytes a triangle). Corners at exactly
// the same position are welded into one vertex, numbered in the order of
// first use. Stored normals and the binary attribute bytes are not kept:
// normals are derived from the faces. A file is binary when its size is
// that of its triangle count; otherwise it must be ASCII.
//
// A rejected file leaves the mesh empty after one line on standard error
// naming the file and the line (ASCII) or byte offset (binary) and the
// problem.
bool read_stl(Mesh& mesh, const std::string& path, Messages& out);
