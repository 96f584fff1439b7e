#include "view/clipping_drawing.h"

#include <GL/gl.h>

#include "clipping/PlaneWidgetInCube.h"

namespace {

void draw_points(const std::vector<Vector>& points, GLenum mode)
{
    glBegin(mode);
    for (const Vector& v : points) glVertex3f(v.x, v.y, v.z);
    glEnd();
}

void draw_grey(const PlaneWidgetInCube& cube)
{
    for (int j = 0; j < PlaneWidgetInCube::plane_count; ++j) {
        if (cube.states[j] == 1 || std::size_t(j) >= cube.outlines.size()) continue;
        glColor3f(0.5f, 0.5f, 0.5f);
        glLineWidth(2.0f);
        draw_points(cube.outlines[j], GL_LINE_LOOP);
        glLineWidth(1.0f);
    }
}

}  // namespace

void draw_plane_outlines(const PlaneWidgetInCube& cube)
{
    bool grey_drawn = false;
    for (int i = 0; i < PlaneWidgetInCube::plane_count && std::size_t(i) < cube.outlines.size(); ++i) {
        if (cube.states[i] != 1) continue;
        glColor3f(1.0f, 1.0f, 0.0f);
        draw_points(cube.outlines[i], GL_LINE_LOOP);
        glColor3f(1.0f, 1.0f, 0.0f);
        draw_points(cube.outlines[i], GL_POINTS);
        if (!grey_drawn) {
            draw_grey(cube);
            grey_drawn = true;
        }
    }
    if (cube.show_all == 1) draw_grey(cube);
}

void set_clip_planes(const PlaneWidgetInCube& cube)
{
    for (std::size_t i = 0; i < cube.planes.size() && i < std::size_t(PlaneWidgetInCube::plane_count); ++i) {
        const CutPlane& p = cube.planes[i];
        const GLdouble equation[4] = {p.a, p.b, p.c, p.d};
        glClipPlane(GLenum(GL_CLIP_PLANE0 + i), equation);
    }
}

void enable_clip_planes()
{
    for (int i = 0; i < PlaneWidgetInCube::plane_count; ++i) glEnable(GLenum(GL_CLIP_PLANE0 + i));
}

void disable_clip_planes()
{
    for (int i = 0; i < PlaneWidgetInCube::plane_count; ++i) glDisable(GLenum(GL_CLIP_PLANE0 + i));
}
