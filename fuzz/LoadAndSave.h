#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes one fuzz input to "input" plus the extension in the process's
// private temporary directory and returns its path.
std::string write_input(const std::uint8_t* data, std::size_t size, const char* extension);
// A file name inside that directory.
std::string work_file(const std::string& name);

// One fuzz input: written to a file with the given extension (".obj",
// ".net", ".ply", ".stl" or ".off") in a private temporary directory, loaded
// as the view loads a mesh, every build flag run on it; then saved as OBJ
// and as binary PLY and each read back, which must give the same mesh
// (colours in PLY to a 255th). A difference stops the run.
int load_and_save(const std::uint8_t* data, std::size_t size, const char* extension);
