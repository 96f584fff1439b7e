#pragma once

#include <memory>
#include <string>

#include "core/Mesh.h"

// Awkward versions of a base mesh for checking fast mesh tools against
// straightforward ones: seeded, so every run sees the same meshes.
struct MeshVariant {
    unsigned seed = 1;
    float noise = 0.0f;    // each coordinate moves by up to this much
    bool shuffle = false;  // vertex and face order mixed
    int isolated = 0;      // vertices in no face, spread through the list
    int fins = 0;          // extra faces on existing edges (non-manifold)
    int degenerate = 0;    // faces with a repeated corner
    int duplicates = 0;    // faces repeated with the same corners
};

std::unique_ptr<Mesh> make_variant(const Mesh& base, const MeshVariant& how);

// x, y, z and w agree bit for bit.
bool same_bits(const Vector& a, const Vector& b);

// True when positions (all four components, bit for bit), corner indices and
// face records agree; otherwise false with the first difference in `why`.
bool same_mesh(const Mesh& a, const Mesh& b, std::string& why);
