#pragma once

#include <vector>

#include <GL/gl.h>

#include "core/Vector.h"

class Mesh;

// Immediate-mode drawing of a Mesh in model coordinates; the caller sets up
// the matrices. Every function leaves lighting as it found it unless said.

// One begin/end pair per face in the colour set before: the outlines,
// points and depth-only fills of the wireframe modes.
void draw_faces(const Mesh& mesh, GLenum primitive);

// What the filled render modes show on top of the mesh's own colours: the
// faces of the current traversal and of the marked groups, and a patch
// being browsed (its faces whose membership exceeds the threshold lit, the
// rest dimmed).
struct FaceTints {
    const std::vector<int>* face_patch = nullptr;    // patch of each face
    const std::vector<float>* membership = nullptr;  // of each face in `patch`
    int patch = -1;                                  // -1: no patch browsed
    float threshold = 0.0f;                          // membership above it is lit
};

// The colour of uncoloured meshes: a light grey that shading can show.
const Vector plain_colour(0.85f, 0.85f, 0.85f, 1.0f);
// The tint of the faces the current traversal marked.
const Vector traversal_tint(0.1f, 0.55f, 1.0f, 1.0f);

// Every face lit and filled: with `flat` in its face colour with its face
// normal, else with its vertices' colours (plain_colour for a mesh without
// colours) and normals; tinted as `tints` says.
void draw_filled_faces(const Mesh& mesh, bool flat, const FaceTints& tints);
// The picked face in red, when one is picked.
void draw_picked_face(const Mesh& mesh);
// A black dot at each centroid and a red line along the normal, extent / 30 long.
void draw_face_normals(const Mesh& mesh);
// The twelve edges of the bounding box in green.
void draw_bounding_box(const Mesh& mesh);

// Render modes, as carried by the Render Mode menu.
enum RenderMode {
    RENDER_WIREFRAME = 0,
    RENDER_WIREFRAME_DOTTED = 1,
    RENDER_WIREFRAME_HIDDEN = 2,
    RENDER_POLYGONS_WIREFRAME = 3,
    RENDER_POLYGONS = 4,
    RENDER_POINTS = 5,
    RENDER_FACE_NORMALS = 6,
    RENDER_BOUNDING_BOX = 7,
    RENDER_FACE_COLOURS = 8,
};

// Draws the mesh in a render mode (0..8); every mode leaves lighting on.
// The filled modes (3, 4, 8) show the tints.
void draw_mesh(const Mesh& mesh, int render_mode, const FaceTints& tints = FaceTints());
