#pragma once

#include <array>

#include "core/IndexLists.h"

// An edge of up to this many faces links every two of them in face_links;
// a busier one (duplicated faces, fans of degenerate faces) links each later
// face with its first two only, so the links stay linear in the faces.
constexpr int all_pairs_limit = 8;

// Calls visit(g) for each face g that the face of rank r (2 and up) on an
// edge links with: the edge's first two faces `first_two`, then, on an edge
// of at most all_pairs_limit faces, its later faces `later` of rank below r.
template <class Visit>
void visit_earlier_faces(const std::array<int, 2>& first_two, const std::array<int, 2>* later, int faces_on_edge, int r,
                         Visit&& visit)
{
    visit(first_two[0]);
    visit(first_two[1]);
    if (faces_on_edge > all_pairs_limit) return;
    for (int k = 2; k < r; ++k) visit(later[k - 2][1]);
}

// Adjacency found while building a mesh's edge list.
//   vertex_links[v]: the other end of each edge at v, in the order the edges
//                    were first met while walking the faces;
//   face_links[f]:   the faces sharing an edge with f, in the order the
//                    second and later faces of each edge were met; a later
//                    face links to each face before it on the edge (to the
//                    first two only on an edge of more than eight faces).
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
