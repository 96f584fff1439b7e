#pragma once

#include <string>
#include <vector>

#include "core/Vector.h"

class Mesh;
class Messages;

// Grows a region of faces from the mesh's picked face across shared edges,
// ring by ring, stepping only to neighbours bent by less than `angle`
// degrees from the face they are reached from, and commits the region as a
// numbered group. The mesh document owns one, pointed at its mesh.
class EdgeTraversal {
public:
    int group_count = 0;
    int depth = 0;
    int angle = 0;
    Mesh* mesh = nullptr;
    Messages& messages;

    EdgeTraversal(Mesh* target, Messages& out) : mesh(target), messages(out) {}

    // Is a face picked (picked_face from 1 to nf)?
    bool has_pick() const;

    // Stores depth and angle, clears every mark and, when a face is picked,
    // marks the faces reached from it within `depth` rings. The start face is
    // marked only when the walk comes back to it. Returns the number marked.
    int traverse(int new_depth, int new_angle);

    // Every marked face joins group group_count + 1 with one random colour
    // and loses its mark; group_count advances even when nothing is marked.
    void commit();

    // Writes the faces of group 0 to "non-segemented.obj", of group g to
    // "object_<g>.obj" for g = 1 .. group_count, and of every group above 0 to
    // "segemented.obj", all in `directory` (empty: the working directory).
    // Each file that cannot be written is reported and the rest still are;
    // the last line gives the count. Returns the number of files that failed.
    int export_groups(const std::string& directory = std::string()) const;
};

// The bend between two unit normals in degrees, folded into 0 .. 90 so that
// opposite normals count as parallel. NaN when either normal is not finite.
float bend_degrees(const Vector& a, const Vector& b);

// Writes the listed faces as one file in the export's form: each distinct
// position once, corners last first. False (after a line) when it fails.
bool write_face_selection(const Mesh& mesh, const std::vector<int>& face_ids, const std::string& path, Messages& out);

// Red, green and blue (0 .. 1) of a hue in degrees at full saturation and value.
Vector hue_colour(float hue);
