#pragma once

#include <string>

class Mesh;

// What a mesh reader did with a file: its answer and what it printed on
// each stream.
struct Read {
    bool ok;
    std::string out, err;
};

// Runs the reader the file's name selects, alone: no derived data, no
// orientation of the faces.
Read read_mesh_file(Mesh& m, const std::string& path);
