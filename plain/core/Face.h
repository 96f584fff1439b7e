#pragma once

#include "core/Vector.h"

// A triangle of a Mesh. `v` points into the owning mesh's vertices and must
// agree with `vi`: faces[i].v[k] == &vertices[faces[i].vi[k]].
struct Face {
    Vector* v[3] = {nullptr, nullptr, nullptr};
    Vector normal{0.0f, 0.0f, 0.0f, 0.0f};
    int vi[3] = {0, 0, 0};
    Vector colour{0.75f, 0.75f, 1.0f, 1.0f};
    int marked = 0;
    int group = 0;

    // Right-hand normal of the stored corner order, normalised. A face of
    // zero area (repeated or collinear corners) or with corners that are not
    // finite gets the zero normal.
    void compute_normal();
    // Has the zero normal: no area, no direction. Meaningful once the normal
    // has been computed.
    bool is_degenerate() const;
    // Does the segment p0-p1 cross this face? Refreshes `normal`; a point on
    // an edge counts as inside; a segment ending on the plane does not cross.
    bool intersect_segment(const Vector& p0, const Vector& p1, Vector& out);
};
