#pragma once

class Mesh;

// What a look over a mesh finds that makes tools behave unexpectedly.
struct MeshSurvey {
    int border_edges = 0;        // edges of one face
    int non_manifold_edges = 0;  // edges of three faces or more
    int degenerate_faces = 0;    // faces without area: repeated or collinear corners
    int connected_parts = 0;     // groups of faces joined across shared edges
};

// Parts are joined across non-manifold edges too, as face_adjacency links
// them. Reads the edge list (MESH_EDGE_LIST must be current).
MeshSurvey survey_mesh(const Mesh& mesh);
