#pragma once

class Mesh;
class Messages;

// Reduces the mesh to the integer part of x times its vertex count by
// repeated edge collapse, always collapsing the vertex whose cheapest
// collapse costs least (the first in vertex order among equals). The mesh
// is written back even when nothing collapses, so per-face data returns to
// its defaults; vertex colours and morphogen values follow their vertices.
// Derived data is left for the caller to build. With a channel, the
// collapses are reported as progress there, and a cancel stops them.
void simplify(Mesh& mesh, float x, Messages* progress = nullptr);

// Simplification at a level of detail in percent, as the view runs it:
// simplify to lod / 100, then rebuild normals, edge list, centre, centroids
// and box. Says so on the console when no vertex is left. Works on a copy,
// so an allocation failure (passed on) leaves the mesh as it was.
void simplify_mesh(Mesh& mesh, float lod, Messages& out);
