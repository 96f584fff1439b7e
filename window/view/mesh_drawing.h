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

// The tints without the browsed patch when its lists do not fit the mesh.
FaceTints fitting_tints(const Mesh& mesh, const FaceTints& tints);
// Whether a face may show in other colours than its own (marked, in a
// group, or any face while a patch is browsed).
bool has_tint(const Mesh& mesh, int face, const FaceTints& tints);
// The colour the filled modes give a corner of a face: with `flat` the
// face's colour, else its vertex's (plain_colour for a mesh without
// colours); tinted. `tints` must fit (fitting_tints).
Vector corner_colour(const Mesh& mesh, int face, int corner, bool flat, const FaceTints& tints);

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

// The pieces each render mode is put together from. draw_mesh drives them
// in the order of the mode; ImmediatePieces issues them vertex by vertex,
// MeshBuffers from buffers kept between frames.
class MeshPieces {
public:
    virtual ~MeshPieces() = default;
    // Every edge of the mesh, in the colour set before.
    virtual void edges() = 0;
    // Every face filled in the colour set before (the hidden-line modes fill
    // with alpha 0 to write only depth).
    virtual void fills() = 0;
    // A point at each corner of each face, in the colour set before.
    virtual void corners() = 0;
    // Every face lit and filled in its colours; see draw_filled_faces.
    virtual void filled(bool flat) = 0;
    // A black dot at each centroid and a red line along the face normal.
    virtual void normals() = 0;
};

// The pieces drawn vertex by vertex from the mesh: every face as a closed
// loop, a polygon and three points.
class ImmediatePieces : public MeshPieces {
public:
    ImmediatePieces(const Mesh& mesh_, const FaceTints& tints_) : mesh(mesh_), tints(tints_) {}
    void edges() override { draw_faces(mesh, GL_LINE_LOOP); }
    void fills() override { draw_faces(mesh, GL_POLYGON); }
    void corners() override { draw_faces(mesh, GL_POINTS); }
    void filled(bool flat) override { draw_filled_faces(mesh, flat, tints); }
    void normals() override { draw_face_normals(mesh); }

private:
    const Mesh& mesh;
    const FaceTints& tints;
};

// Draws the mesh in a render mode (0..8) from its pieces; every mode leaves
// lighting on. The filled modes (3, 4, 8) show the tints.
void draw_mesh(const Mesh& mesh, int render_mode, MeshPieces& pieces);
// The same vertex by vertex.
void draw_mesh(const Mesh& mesh, int render_mode, const FaceTints& tints = FaceTints());
