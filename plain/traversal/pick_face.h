#pragma once

#include "core/Vector.h"

class Mesh;

// Picks the face that the segment from near_point to far_point crosses
// nearest to near_point. Both points are in the frame the mesh is drawn in,
// with the mesh's centre at the origin. On a hit the mesh's picked_face
// becomes the face's index + 1 and the result is true; a miss changes
// nothing. Equal distances keep the lower face number; a face of zero area
// is never picked. Every face's normal is refreshed from its corners.
bool pick_face(Mesh& mesh, const Vector& near_point, const Vector& far_point);
