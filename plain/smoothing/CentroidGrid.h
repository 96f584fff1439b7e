#pragma once

#include <vector>

#include "core/Vector.h"

class UnvisitedList;

// The unvisited faces filed by the grid cell of their centroid, so a ball
// test looks only at the faces near the ball instead of walking every
// unvisited face. A query answers exactly what that walk would: the faces
// still unvisited whose centroid passes Vector::within(centre, r), ascending.
//
// Exactness: faces are filed and the query box is bounded through the same
// monotone float function of one coordinate, and the box is widened past any
// rounding of the within test, so no face the test accepts lies outside it.
class CentroidGrid {
public:
    // Files every face of `unvisited`, with cells about `radius` wide.
    void build(const std::vector<Vector>& centroids, const UnvisitedList& unvisited, float radius);
    // Fills `found` and returns true, or returns false when a walk of the
    // unvisited list is the cheaper (or the only exact) way to answer.
    bool query(const Vector& centre, float r, const std::vector<Vector>& centroids, const UnvisitedList& unvisited,
               std::vector<int>& found);

private:
    int cell_of(int axis, float x) const;

    bool usable = false;
    float lo[3] = {0.0f, 0.0f, 0.0f};
    float inv_cell = 1.0f;
    int dims[3] = {1, 1, 1};
    std::vector<int> cell_start;  // items of cell k: [cell_start[k], cell_end[k])
    std::vector<int> cell_end;    // shrinks as faces leave the unvisited list
    std::vector<int> items;
};
