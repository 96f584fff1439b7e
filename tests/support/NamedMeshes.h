#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/Mesh.h"

// All four components, which Vector's == does not compare.
inline std::array<float, 4> xyzw(const Vector& v)
{
    return {v.x, v.y, v.z, v.w};
}

// The corner triples of the faces, in order.
using Corners = std::vector<std::array<int, 3>>;
inline Corners corners(const Mesh& m)
{
    Corners out;
    for (int i = 0; i < m.nf; ++i) out.push_back({m.faces[i].vi[0], m.faces[i].vi[1], m.faces[i].vi[2]});
    return out;
}

// Small meshes with known answers, shared by every test suite. Each is built
// in memory (positions and corner triples) with no derived data; call
// build() as the test needs.
namespace named {

std::unique_ptr<Mesh> make(const std::vector<Vector>& points, const std::vector<std::vector<int>>& triangles);

std::unique_ptr<Mesh> empty();
// Corners (0,0,0), (1,0,0), (0,1,0): one face 0 1 2.
std::unique_ptr<Mesh> single_triangle();
// Unit square split along 1-2: faces 0 1 2 and 1 3 2.
std::unique_ptr<Mesh> two_triangles();
// Closed, outward-facing: four faces.
std::unique_ptr<Mesh> tetrahedron();
// Closed, outward-facing: six vertices on the axes, eight faces.
std::unique_ptr<Mesh> octahedron();
// n x n quads in the z = 0 plane, each split in two: (n+1)^2 vertices, 2n^2 faces.
std::unique_ptr<Mesh> open_grid(int n);
// open_grid(n) folded by 90 degrees along the middle column line x = n/2.
std::unique_ptr<Mesh> folded_grid(int n);
// Two triangles that share no vertex.
std::unique_ptr<Mesh> disconnected_pair();
// Three faces on the edge 0-1 (a non-manifold edge).
std::unique_ptr<Mesh> non_manifold_edge();
// single_triangle and a face without area on its edge 0-1: corners 0 0 1.
std::unique_ptr<Mesh> degenerate_pair();
// Closed torus around the z axis (radii 2 and 1): rings x sides vertices,
// 2 x rings x sides faces, outward-facing.
std::unique_ptr<Mesh> torus(int rings, int sides);
// Closed double cone over a regular `sides`-gon in the z = 0 plane, apexes at
// z = 1 (vertex 0) and z = -1 (vertex 1), each in `sides` faces; outward-facing.
std::unique_ptr<Mesh> bipyramid(int sides);
// A regular polygon of `corners` corners on the unit circle in the z = 0
// plane, split into a fan from corner 0 (as a reader splits an n-gon): every
// face has corner 0, so vertex 0 is in corners - 2 faces.
std::unique_ptr<Mesh> fan_polygon(int corners);
// A closed cylinder of radius 1 from z = 0 to z = 2 with `segments` sides:
// rings 0 ... segments - 1 (bottom) and segments ... 2 segments - 1 (top),
// each cap a fan around its centre (vertices 2 segments and 2 segments + 1),
// so each centre is in `segments` faces; outward-facing, 4 segments faces.
std::unique_ptr<Mesh> capped_cylinder(int segments);
// One separate triangle per x: corners (x, 1, 0), (x, -1, 0), (x, 0, 3), so
// face i has the exact centroid (xs[i], 0, 1).
std::unique_ptr<Mesh> triangle_row(const std::vector<float>& xs);
// n separate triangles with corners drawn (seeded) from a small integer
// lattice in a box of side `size`, so centroids repeat and sit at exact
// distances from each other.
std::unique_ptr<Mesh> random_triangles(int n, int size, unsigned seed);
// two_triangles with the second face wound the other way: opposite normals.
std::unique_ptr<Mesh> flipped_pair();
// two_triangles with the shared corners stored twice: vertices 4 and 5 sit on
// 1 and 2, and face 1 uses them, so the faces share positions but no index.
std::unique_ptr<Mesh> split_pair();

// n triangles in a row in the z = 0 plane, face i sharing an edge with face i + 1.
std::unique_ptr<Mesh> triangle_strip(int n);
// Two copies of open_grid(n) that share no vertex, the second n + 2 to the right.
std::unique_ptr<Mesh> two_grids(int n);
// `faces` triangles over `vertices` random points, corners drawn at random
// (seeded): shared edges, non-manifold edges, duplicate and degenerate faces.
std::unique_ptr<Mesh> random_soup(int vertices, int faces, unsigned seed);

}  // namespace named

// The mesh as OBJ text, its points scaled by `scale` and moved by `offset`;
// with a "vc" line per vertex when `colour` is given.
std::string obj_text(const Mesh& mesh, float scale = 1.0f, const Vector& offset = Vector(0, 0, 0),
                     const Vector* colour = nullptr);
