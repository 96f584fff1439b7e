#pragma once

#include <string>

class Mesh;

// Says which vertex first holds a coordinate, a colour (when `colours` and
// the mesh has colours) or a morphogen value that is not a finite number;
// empty when every value is finite. The writers refuse such a mesh, since
// no reader of the program would take the file back.
std::string non_finite_value(const Mesh& mesh, bool colours = true);
