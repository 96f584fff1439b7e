#include "traversal/pick_face.h"

#include <cmath>

#include "core/Mesh.h"

bool pick_face(Mesh& mesh, const Vector& near_point, const Vector& far_point)
{
    // The mesh is drawn translated by minus its centre.
    const Vector start = near_point + mesh.centre;
    const Vector end = far_point + mesh.centre;
    float best = 1e28f;
    int picked = -1;
    for (int i = 0; i < mesh.nf; ++i) {
        Face& f = mesh.faces[i];
        Vector hit;
        if (!f.intersect_segment(start, end, hit)) continue;
        // A face of zero area has no normal; its "hit" is meaningless.
        if (!std::isfinite(f.normal.x) || !std::isfinite(f.normal.y) || !std::isfinite(f.normal.z)) continue;
        Vector d = hit - start;
        const float distance = d.length();
        if (best > distance) {
            best = distance;
            picked = i;
        }
    }
    if (picked < 0) return false;
    mesh.picked_face = picked + 1;
    return true;
}
