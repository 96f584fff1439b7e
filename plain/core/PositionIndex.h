#pragma once

#include <vector>

#include "core/Vector.h"

// Distinct positions in order of first use, found again by value: only
// exactly equal positions (x, y and z; 0 and -0 alike) share an index. Used
// to weld the corners of STL triangles and to share vertices in the
// segmented export.
class PositionIndex {
public:
    std::vector<Vector> points;

    // Index of `p` among `points`, appended when new.
    int index_of(const Vector& p);
    void clear();

private:
    void grow();

    std::vector<int> table;  // open addressing, at most half full; -1 empty
};
