#include "view/mesh_drawing.h"

#include "core/Mesh.h"

void draw_faces(const Mesh& mesh, GLenum primitive)
{
    const bool coloured = primitive == GL_TRIANGLES;
    for (int i = 0; i < mesh.nf; ++i) {
        const Face& f = mesh.faces[i];
        glBegin(primitive);
        for (int k = 0; k < 3; ++k) {
            const int v = f.vi[k];
            if (coloured) {
                const Vector& c = mesh.vertex_colours[v];
                glColor4f(c.x, c.y, c.z, c.w);
            }
            const Vector& n = mesh.vertex_normals[v];
            glNormal3f(n.x, n.y, n.z);
            glVertex3f(f.v[k]->x, f.v[k]->y, f.v[k]->z);
        }
        glEnd();
    }
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
void draw_dotted_hidden_lines(const Mesh& mesh)
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
    draw_faces(mesh, GL_LINE_LOOP);
    glDepthMask(GL_TRUE);
    glDisable(GL_LINE_STIPPLE);
    glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
    draw_faces(mesh, GL_POLYGON);
    glDisable(GL_BLEND);
    glLineWidth(2.0f);
    glColor3f(0.0f, 0.0f, 0.0f);
    draw_faces(mesh, GL_LINE_LOOP);
    glEnable(GL_LIGHTING);
    glDisable(GL_POLYGON_OFFSET_FILL);
}

}  // namespace

void draw_mesh(const Mesh& mesh, int render_mode)
{
    switch (render_mode) {
    case RENDER_WIREFRAME:
        glDisable(GL_LIGHTING);
        glColor3f(0.0f, 0.0f, 0.0f);
        draw_faces(mesh, GL_LINE_LOOP);
        glEnable(GL_LIGHTING);
        break;
    case RENDER_WIREFRAME_DOTTED: draw_dotted_hidden_lines(mesh); break;
    case RENDER_WIREFRAME_HIDDEN:
        glEnable(GL_POLYGON_OFFSET_FILL);
        glDisable(GL_LIGHTING);
        glEnable(GL_BLEND);
        glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
        draw_faces(mesh, GL_POLYGON);
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
        draw_faces(mesh, GL_LINE_LOOP);
        glEnable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glDisable(GL_POLYGON_OFFSET_FILL);
        break;
    case RENDER_POLYGONS_WIREFRAME:
        glEnable(GL_POLYGON_OFFSET_FILL);
        draw_faces(mesh, GL_TRIANGLES);
        glColor3f(0.0f, 0.0f, 0.0f);
        glDisable(GL_LIGHTING);
        draw_faces(mesh, GL_LINE_LOOP);
        glEnable(GL_LIGHTING);
        glDisable(GL_POLYGON_OFFSET_FILL);
        break;
    case RENDER_POLYGONS: draw_faces(mesh, GL_TRIANGLES); break;
    case RENDER_POINTS:
        glColor3f(0.0f, 0.0f, 0.0f);
        glDisable(GL_LIGHTING);
        draw_faces(mesh, GL_POINTS);
        glEnable(GL_LIGHTING);
        break;
    case RENDER_FACE_NORMALS:
        glDisable(GL_LIGHTING);
        draw_face_normals(mesh);
        glEnable(GL_LIGHTING);
        draw_dotted_hidden_lines(mesh);
        break;
    case RENDER_BOUNDING_BOX:
        glDisable(GL_LIGHTING);
        draw_bounding_box(mesh);
        glEnable(GL_LIGHTING);
        break;
    default: break;
    }
}
