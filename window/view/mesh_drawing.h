#pragma once

#include <GL/gl.h>

class Mesh;

// Immediate-mode drawing of a Mesh in model coordinates; the caller sets up
// the matrices. Every function leaves lighting as it found it unless said.

// One begin/end pair per face; GL_TRIANGLES also sets each corner's colour.
void draw_faces(const Mesh& mesh, GLenum primitive);
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
};

// Draws the mesh in a render mode (0..7); every mode leaves lighting on.
void draw_mesh(const Mesh& mesh, int render_mode);
