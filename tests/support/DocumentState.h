#pragma once

#include <string>

class Mesh;
class MeshDocument;

// Everything an operation may change, as bytes, so that two states compare
// bit for bit: the arrays of a mesh with its edge list; for a document also
// its derived data, the copy for Reload, the file name, the placement and
// the engines' state and settings, the distance table included.
std::string mesh_state(const Mesh& mesh);
std::string document_state(const MeshDocument& document);
