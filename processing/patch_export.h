#pragma once

#include <string>
#include <vector>

class Mesh;

// Writes the listed faces of `mesh` as a self-contained OBJ file: each
// distinct position once (only exactly equal positions merge), in order of
// first use, then one line per face with its corners last first, each index
// in all three slots ("f 3/3/3 2/2/2 1/1/1"). Prints
// "Saving: NAME v:VERTICES f:CORNERS"; false, after a line saying why, when
// the file cannot be written completely.
bool write_face_selection(const Mesh& mesh, const std::vector<int>& faces, const std::string& path);
