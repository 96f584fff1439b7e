#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Mesh;

// Writes one fuzz input to "input" plus the extension in the process's
// private temporary directory and returns its path.
std::string write_input(const std::uint8_t* data, std::size_t size, const char* extension);
// A file name inside that directory.
std::string work_file(const std::string& name);

// Whether every position of the mesh is a finite number.
bool finite_positions(const Mesh& mesh);
// Aborts, after a line naming `what`, unless `path` reads back as the faces
// `faces` of `written`, each with the same corner positions, bit for bit.
// With `exported`, as the segmented export writes them: corners in reverse
// order, and positions compared by value, since the export writes vertices
// at the same position (0 and -0 alike) once.
void check_reads_back(const std::string& path, const Mesh& written, const std::vector<int>& faces, bool exported,
                      const char* what);
// 0 ... nf - 1.
std::vector<int> all_faces(const Mesh& mesh);

// One fuzz input: written to a file with the given extension (".obj",
// ".net", ".ply", ".stl" or ".off") in a private temporary directory, loaded
// as the view loads a mesh, every build flag run on it; then saved as OBJ
// and as binary PLY and each read back, which must give the same mesh
// (colours in PLY to a 255th). A difference stops the run.
int load_and_save(const std::uint8_t* data, std::size_t size, const char* extension);
