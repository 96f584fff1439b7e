#pragma once

#include <memory>

class Mesh;

// Straightforward versions of butterfly subdivision and edge-collapse
// simplification: a flat edge list searched from the front, a vertex list
// scanned for the cheapest vertex and shifted on every removal. Quadratic,
// and kept only so tests and benchmarks can check the fast engines against
// them result for result.

// `levels` butterfly steps of `source` with tension `weight`; vertex and face
// normals and texture coordinates built. Null for levels < 1.
std::unique_ptr<Mesh> reference_subdivide(const Mesh& source, int levels, float weight);

// Simplifies `mesh` to the integer part of x times its vertex count.
void reference_simplify(Mesh& mesh, float x);
