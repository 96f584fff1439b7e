#pragma once

#include "core/Vector.h"

struct Face;

// The corners of a face as pointers into its mesh's vertices: v[k] is
// &vertices[vi[k]]. One pointer to the array is kept instead of three to
// the corners (16 bytes less a face), so the corners follow `vi` by
// themselves. Only a Face holds one (it is Face's first field, which lets
// it find its face's `vi`).
class FaceCorners {
public:
    Vector* operator[](int k) const;
    // Points the corners into `vertices`.
    void set(Vector* vertices) { array = vertices; }

private:
    friend struct Face;
    FaceCorners() = default;
    FaceCorners(const FaceCorners&) = default;
    FaceCorners& operator=(const FaceCorners&) = default;

    Vector* array = nullptr;
};

// A triangle of a Mesh. `v` points into the owning mesh's vertices and
// agrees with `vi`: faces[i].v[k] == &vertices[faces[i].vi[k]].
struct Face {
    FaceCorners v;
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

inline Vector* FaceCorners::operator[](int k) const
{
    // A standard-layout Face and its first field share their address.
    const Face* face = reinterpret_cast<const Face*>(this);
    return array ? array + face->vi[k] : nullptr;
}
