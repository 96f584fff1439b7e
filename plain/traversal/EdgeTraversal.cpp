#include "traversal/EdgeTraversal.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/face_adjacency.h"
#include "core/Mesh.h"

float bend_degrees(const Vector& a, const Vector& b)
{
    // Unit normals can give a product a hair above 1 on a flat patch; acos
    // would make that NaN and stop the walk where nothing bends.
    const float d = a.dot(b);
    if (std::isnan(d)) return d;
    float beta = std::acos(std::clamp(d, -1.0f, 1.0f)) * (180.0f / 3.141592654f);
    if (beta > 90.0f) beta = 180.0f - beta;
    return beta;
}

Vector hue_colour(float hue)
{
    const float h = std::fmod(std::max(hue, 0.0f), 360.0f) / 60.0f;
    const int sector = std::min(int(h), 5);
    const float f = h - float(sector);
    const float q = 1.0f - f;
    switch (sector) {
    case 0: return {1.0f, f, 0.0f, 1.0f};
    case 1: return {q, 1.0f, 0.0f, 1.0f};
    case 2: return {0.0f, 1.0f, f, 1.0f};
    case 3: return {0.0f, q, 1.0f, 1.0f};
    case 4: return {f, 0.0f, 1.0f, 1.0f};
    default: return {1.0f, 0.0f, q, 1.0f};
    }
}

bool EdgeTraversal::has_pick() const
{
    return mesh && mesh->picked_face >= 1 && mesh->picked_face <= mesh->nf;
}

int EdgeTraversal::traverse(int new_depth, int new_angle)
{
    depth = new_depth;
    angle = new_angle;
    if (!mesh) return 0;
    Mesh& m = *mesh;
    for (Face& f : m.faces) f.marked = 0;
    if (depth <= 0 || !has_pick()) return 0;

    // Subdivision and simplification replace the faces: walk the adjacency
    // and normals of the faces as they are now, not as they were loaded.
    m.build_stale({MESH_EDGE_LIST, MESH_FACE_NORMALS}, messages);
    // Faces on an edge of three or more faces step to each other too.
    IndexLists<int> extended;
    if (!m.edge_more_faces.empty()) extended = face_adjacency(m);
    const IndexLists<int>& links = m.edge_more_faces.empty() ? m.edge_table.face_links : extended;
    if (links.size() != std::size_t(m.nf)) return 0;

    const float limit = float(angle);
    int marked = 0;
    std::vector<int> ring{m.picked_face - 1};
    std::vector<int> next;
    for (int c = 0; c < depth && !ring.empty(); ++c) {
        next.clear();
        while (!ring.empty()) {
            const int t = ring.back();
            ring.pop_back();
            const Vector& nt = m.faces[t].normal;
            for (const int s : links[t]) {
                Face& fs = m.faces[s];
                if (fs.marked || !(bend_degrees(fs.normal, nt) < limit)) continue;
                fs.marked = 1;
                next.push_back(s);
                ++marked;
            }
        }
        ring.swap(next);
    }
    return marked;
}

void EdgeTraversal::commit()
{
    ++group_count;
    const Vector colour = hue_colour(random_unit() * 360.0f);
    if (!mesh) return;
    for (Face& f : mesh->faces) {
        if (!f.marked) continue;
        f.colour = colour;
        f.marked = 0;
        f.group = group_count;
    }
}
