#pragma once

#include "core/IndexLists.h"

// Adjacency found while building a mesh's edge list.
//   vertex_links[v]: the other end of each edge at v, in the order the edges
//                    were first met while walking the faces;
//   face_links[f]:   the faces sharing an edge with f, in the order the
//                    second face of each edge was met.
// An edge links its first two faces only; a third and later face is listed
// in Mesh::edge_more_faces, and face_adjacency() links it too.
struct EdgeTable {
    int count = 0;
    IndexLists<int> vertex_links;
    IndexLists<int> face_links;

    void clear()
    {
        count = 0;
        vertex_links.clear();
        face_links.clear();
    }
};
