#pragma once

#include <cstddef>
#include <vector>

#include "core/Vector.h"

class Mesh;

// The mesh as opened, kept for "Reload" in the few flat arrays a reload
// needs to rebuild it bit for bit: positions, corners, colours and
// morphogen values. Everything else of a mesh (normals, texture
// coordinates, face fields, the edge list) is either the allocation default
// or rebuilt by the reload, so it is not kept: about a seventh of a full
// Mesh.
class ReloadCopy {
public:
    int nv = 0;
    int nf = 0;

    // Keeps what restore() needs of `mesh`. On bad_alloc the copy is empty.
    void keep(const Mesh& mesh);
    // Fills `mesh` with the kept vertices, colours, faces and morphogen
    // values over fresh allocations, as the mesh was when kept; derived data
    // is not built, names and pick are not touched.
    void restore(Mesh& mesh) const;
    void clear();
    // Heap bytes held.
    std::size_t bytes() const;

private:
    // x, y, z of each Vector of an array, and w only where some w is not 1.
    // Nothing at all when every element is the default Vector (0, 0, 0, 1),
    // bit for bit.
    struct Packed {
        std::vector<float> xyz;
        std::vector<float> w;
        void pack(const std::vector<Vector>& from);
        // Writes the kept values over `to`, which has the kept length.
        void unpack(std::vector<Vector>& to) const;
        std::size_t bytes() const { return (xyz.capacity() + w.capacity()) * sizeof(float); }
    };

    Packed positions;
    Packed colours;
    bool has_colours = false;
    std::vector<int> corners;  // three a face
    // The morphogen values, `morphogen_count` a vertex, when every vertex
    // had that many; `ragged` holds them as they were otherwise.
    bool morphogen_lists = false;  // the mesh had a list per vertex
    int morphogen_count = 0;
    std::vector<float> morphogens;
    std::vector<std::vector<float>> ragged;
};
