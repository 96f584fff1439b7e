#pragma once

#include <string>

class Mesh;
class Messages;

// Writes one face normal a line, "x y z" in the shortest text that reads
// back exactly. The file is replaced only when written completely; false,
// after one line naming it and the reason, when it was not.
bool write_face_normals(const Mesh& mesh, const std::string& path, Messages& out);
