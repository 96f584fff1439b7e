#pragma once

#include "core/IndexLists.h"

class Mesh;

// The faces each face shares an edge with: its face_links (the first two
// faces of each edge), then its links as a face beyond the second of a
// non-manifold edge, or with one (Mesh::for_each_later_link). So no face on
// such an edge is cut off from the faces across it. Reads the edge list
// (MESH_EDGE_LIST).
IndexLists<int> face_adjacency(const Mesh& mesh);
