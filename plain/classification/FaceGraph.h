#pragma once

#include <vector>

// One set_link call of the dual graph: faces a and b share an edge, weight w.
struct FaceLink {
    int a;
    int b;
    float weight;
};

// The dual graph of a mesh as adjacency lists: a node per face, an arc each
// way between two faces whose link weight is non-zero. When a pair is
// linked more than once (faces sharing two edges), its last weight counts.
class FaceGraph {
public:
    int n = 0;
    std::vector<int> offsets;  // n + 1; arcs of face f are [offsets[f], offsets[f + 1])
    std::vector<int> targets;
    std::vector<float> weights;

    static FaceGraph from_links(int faces, const std::vector<FaceLink>& links);
};
