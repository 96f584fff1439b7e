#include "view/mesh_drawing.h"

#include "core/Mesh.h"

void draw_faces(const Mesh& mesh, GLenum primitive)
{
    for (int i = 0; i < mesh.nf; ++i) {
        const Face& f = mesh.faces[i];
        glBegin(primitive);
        for (int k = 0; k < 3; ++k) {
            const int v = f.vi[k];
            const Vector& n = mesh.vertex_normals[v];
            glNormal3f(n.x, n.y, n.z);
            glVertex3f(f.v[k]->x, f.v[k]->y, f.v[k]->z);
        }
        glEnd();
    }
}

namespace {

Vector mix(const Vector& a, const Vector& b, float t)
{
    return Vector(a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t, 1.0f);
}

// A face's colour with its tints: the traversal's and the groups' over the
// colour, then a browsed patch's lighting.
Vector tinted(const Mesh& mesh, int face, const Vector& colour, const FaceTints& tints)
{
    const Face& f = mesh.faces[std::size_t(face)];
    Vector c = colour;
    if (f.marked)
        c = mix(c, traversal_tint, 0.6f);
    else if (f.group > 0)
        c = mix(c, f.colour, 0.6f);
    if (tints.patch < 0) return c;
    const bool lit = (*tints.membership)[std::size_t(face)] > tints.threshold;
    if (lit && (*tints.face_patch)[std::size_t(face)] == tints.patch) return c;
    // Members of other patches that reach into this one at half strength;
    // everything else faded towards white.
    return mix(c, Vector(1.0f, 1.0f, 1.0f, 1.0f), lit ? 0.5f : 0.85f);
}

}  // namespace

FaceTints fitting_tints(const Mesh& mesh, const FaceTints& given)
{
    FaceTints tints = given;
    const bool fit = tints.patch >= 0 && tints.face_patch && tints.membership &&
                     tints.face_patch->size() == std::size_t(mesh.nf) &&
                     tints.membership->size() == std::size_t(mesh.nf);
    if (!fit) tints.patch = -1;
    return tints;
}

bool has_tint(const Mesh& mesh, int face, const FaceTints& tints)
{
    const Face& f = mesh.faces[std::size_t(face)];
    return f.marked || f.group > 0 || tints.patch >= 0;
}

Vector corner_colour(const Mesh& mesh, int face, int corner, bool flat, const FaceTints& tints)
{
    const Face& f = mesh.faces[std::size_t(face)];
    if (flat) return tinted(mesh, face, f.colour, tints);
    const Vector& own = mesh.has_colours ? mesh.vertex_colours[std::size_t(f.vi[corner])] : plain_colour;
    return tinted(mesh, face, own, tints);
}

void draw_filled_faces(const Mesh& mesh, bool flat, const FaceTints& given)
{
    const FaceTints tints = fitting_tints(mesh, given);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < mesh.nf; ++i) {
        const Face& f = mesh.faces[std::size_t(i)];
        if (flat) {
            const Vector c = corner_colour(mesh, i, 0, true, tints);
            glColor4f(c.x, c.y, c.z, c.w);
            glNormal3f(f.normal.x, f.normal.y, f.normal.z);
        }
        for (int k = 0; k < 3; ++k) {
            if (!flat) {
                const Vector c = corner_colour(mesh, i, k, false, tints);
                glColor4f(c.x, c.y, c.z, c.w);
                const Vector& n = mesh.vertex_normals[std::size_t(f.vi[k])];
                glNormal3f(n.x, n.y, n.z);
            }
            glVertex3f(f.v[k]->x, f.v[k]->y, f.v[k]->z);
        }
    }
    glEnd();
}

void draw_picked_face(const Mesh& mesh)
{
    const int i = mesh.picked_face - 1;
    if (i < 0 || i >= mesh.nf) return;
    const Face& f = mesh.faces[i];
    glColor3f(1.0f, 0.0f, 0.0f);
    glNormal3f(f.normal.x, f.normal.y, f.normal.z);
    glBegin(GL_TRIANGLES);
    for (int k = 0; k < 3; ++k) glVertex3f(f.v[k]->x, f.v[k]->y, f.v[k]->z);
    glEnd();
}

void draw_face_normals(const Mesh& mesh)
{
    const float length = mesh.extent / 30.0f;
    for (int i = 0; i < mesh.nf; ++i) {
        const Vector& c = mesh.centroids[i];
        const Vector tip = c + mesh.faces[i].normal * length;
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
        glBegin(GL_POINTS);
        glVertex3f(c.x, c.y, c.z);
        glEnd();
        glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
        glBegin(GL_LINES);
        glVertex3f(c.x, c.y, c.z);
        glVertex3f(tip.x, tip.y, tip.z);
        glEnd();
    }
}

void draw_bounding_box(const Mesh& mesh)
{
    // Corners 0..3 are the top (largest z) and 4..7 the bottom, each walked
    // round; each loop below is one face of the box.
    static const int loops[6][4] = {
        {0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 6, 7}, {2, 3, 4, 5}, {1, 2, 5, 6}, {0, 3, 4, 7},
    };
    glColor3f(0.0f, 1.0f, 0.0f);
    for (const auto& loop : loops) {
        glBegin(GL_LINE_LOOP);
        for (int k : loop) glVertex3f(mesh.bbox[k].x, mesh.bbox[k].y, mesh.bbox[k].z);
        glEnd();
    }
}

namespace {

// Hidden edges dotted and faint, an invisible fill that only writes depth,
// then the visible edges solid.
void draw_dotted_hidden_lines(MeshPieces& pieces)
{
    glEnable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_LIGHTING);
    glLineStipple(2, 0xAAAA);
    glEnable(GL_BLEND);
    glEnable(GL_LINE_STIPPLE);
    glColor4f(0.0f, 0.0f, 0.0f, 0.25f);
    // The dotted pass leaves depth alone: a stippled line may land a hair in
    // front of the solid one drawn over it later and would break it into dashes.
    glDepthMask(GL_FALSE);
    pieces.edges();
    glDepthMask(GL_TRUE);
    glDisable(GL_LINE_STIPPLE);
    glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
    pieces.fills();
    glDisable(GL_BLEND);
    glLineWidth(2.0f);
    glColor3f(0.0f, 0.0f, 0.0f);
    pieces.edges();
    glEnable(GL_LIGHTING);
    glDisable(GL_POLYGON_OFFSET_FILL);
}

}  // namespace

void draw_mesh(const Mesh& mesh, int render_mode, const FaceTints& tints)
{
    ImmediatePieces pieces(mesh, tints);
    draw_mesh(mesh, render_mode, pieces);
}

void draw_mesh(const Mesh& mesh, int render_mode, MeshPieces& pieces)
{
    switch (render_mode) {
    case RENDER_WIREFRAME:
        glDisable(GL_LIGHTING);
        glColor3f(0.0f, 0.0f, 0.0f);
        pieces.edges();
        glEnable(GL_LIGHTING);
        break;
    case RENDER_WIREFRAME_DOTTED: draw_dotted_hidden_lines(pieces); break;
    case RENDER_WIREFRAME_HIDDEN:
        glEnable(GL_POLYGON_OFFSET_FILL);
        glDisable(GL_LIGHTING);
        glEnable(GL_BLEND);
        glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
        pieces.fills();
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
        pieces.edges();
        glEnable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glDisable(GL_POLYGON_OFFSET_FILL);
        break;
    case RENDER_POLYGONS_WIREFRAME:
        glEnable(GL_POLYGON_OFFSET_FILL);
        pieces.filled(false);
        glColor3f(0.0f, 0.0f, 0.0f);
        glDisable(GL_LIGHTING);
        pieces.edges();
        glEnable(GL_LIGHTING);
        glDisable(GL_POLYGON_OFFSET_FILL);
        break;
    case RENDER_POLYGONS: pieces.filled(false); break;
    case RENDER_FACE_COLOURS: pieces.filled(true); break;
    case RENDER_POINTS:
        glColor3f(0.0f, 0.0f, 0.0f);
        glDisable(GL_LIGHTING);
        pieces.corners();
        glEnable(GL_LIGHTING);
        break;
    case RENDER_FACE_NORMALS:
        glDisable(GL_LIGHTING);
        pieces.normals();
        glEnable(GL_LIGHTING);
        draw_dotted_hidden_lines(pieces);
        break;
    case RENDER_BOUNDING_BOX:
        glDisable(GL_LIGHTING);
        draw_bounding_box(mesh);
        glEnable(GL_LIGHTING);
        break;
    default: break;
    }
}
