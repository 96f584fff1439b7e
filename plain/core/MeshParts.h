#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/Vector.h"

class Mesh;
class Messages;

// What the PLY, STL and OFF readers gather before the mesh is touched:
// positions, colours (empty, or one per position), morphogens (the names
// and a value per name and position, position by position) and triangles.
struct MeshParts {
    std::vector<Vector> positions;
    std::vector<Vector> colours;
    std::vector<std::string> names;
    std::vector<float> values;
    std::vector<std::array<int, 3>> triangles;

    // Adds the fan of a polygon of `corners` indices (at least three).
    void add_polygon(const int* corners, std::size_t count);
    // Fills `mesh` (cleared first) and prints the counts as the OBJ reader
    // does; false, after one line naming `path`, when the mesh would not fit
    // in memory.
    bool move_into(Mesh& mesh, const std::string& path, Messages& out);
};

// One rejection line on standard error, "ERROR: <path>: <where>: <problem>"
// with `where` such as "line 4" or "byte 84" (or empty, for a problem of
// the whole file); empties the mesh; false.
bool reject_mesh_file(Mesh& mesh, const std::string& path, const std::string& where, const std::string& problem,
                      Messages& out);
