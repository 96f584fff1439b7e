#pragma once

#include <vector>

class Mesh;

// The undirected edges of a mesh, numbered in the order they are first met
// when walking the faces in order and each face's corners (0,1), (1,2), (2,0).
// The butterfly step numbers its new vertices by these edge numbers.
// An edge keeps the orientation it was first met in and its first face; every
// later face that lists it becomes its second face, so on an edge with three
// or more faces the last one wins. A border edge has second face -1.
// While building, edges are filed under their lower vertex index, so finding
// one scans only the few edges at that vertex.
class SubdivisionEdgeMap {
public:
    struct Edge {
        int a, b;
        int first_face, second_face;
    };

    std::vector<Edge> edges;
    // Three per face: the edge of corners (0,1), (1,2) and (2,0).
    std::vector<int> face_edges;

    void clear();
    // Fills the map from every face of `mesh`.
    void build(const Mesh& mesh);
    // The edge joining corners x and y of face `face` (either orientation),
    // or -1 when the face has no such side.
    int side_of(const Mesh& mesh, int face, int x, int y) const;
};
