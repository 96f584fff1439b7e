#pragma once

#include <vector>

// The faces not yet given to a region, in ascending order: a doubly linked
// list stored in an array with one node per face (node i holds face i), so
// taking the first face, removing any face and counting are constant time.
//
// A walk may remove the face it stands on: removal unlinks the node but
// leaves the node's own `next` intact, so next(face) still leads on.
class UnvisitedList {
public:
    struct Node {
        int prev = -1;
        int next = -1;
    };

    std::vector<Node> nodes;
    std::vector<unsigned char> linked;  // 1 while the face is in the list
    int head = -1;
    int tail = -1;
    int count = 0;

    // The faces 0 .. n-1, ascending.
    void fill(int n);
    void remove(int face);

    int first() const { return head; }
    // The face after `face` in the walk, -1 at the end; valid for a face
    // removed since the walk reached it.
    int next(int face) const { return nodes[face].next; }
    bool contains(int face) const { return face >= 0 && face < int(linked.size()) && linked[face]; }
    bool empty() const { return count == 0; }
    // Number of faces the list was filled with (listed or removed).
    int capacity() const { return int(nodes.size()); }
};
