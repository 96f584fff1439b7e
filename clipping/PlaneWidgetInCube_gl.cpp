// The cube's OpenGL side: plane outlines as on-screen handles and the six
// user clip planes. Runs inside the view's paint routine with its context current.
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

// Selected planes in yellow with their corner points; the others in grey
// while any plane is selected or show_all is on.
void PlaneWidgetInCube::draw_outlines() const
{
    bool grey_drawn = false;
    for (int i = 0; i < plane_count && std::size_t(i) < outlines.size(); ++i) {
        if (states[i] != 1) continue;
        glColor3f(1.0f, 1.0f, 0.0f);
        draw_points(outlines[i], GL_LINE_LOOP);
        glColor3f(1.0f, 1.0f, 0.0f);
        draw_points(outlines[i], GL_POINTS);
        if (!grey_drawn) {
            draw_grey(*this);
            grey_drawn = true;
        }
    }
    if (show_all == 1) draw_grey(*this);
}

void PlaneWidgetInCube::set_clip_planes() const
{
    for (std::size_t i = 0; i < planes.size() && i < std::size_t(plane_count); ++i) {
        const GLdouble equation[4] = {planes[i].a, planes[i].b, planes[i].c, planes[i].d};
        glClipPlane(GLenum(GL_CLIP_PLANE0 + i), equation);
    }
}

void PlaneWidgetInCube::enable_clip_planes() const
{
    for (int i = 0; i < plane_count; ++i) glEnable(GLenum(GL_CLIP_PLANE0 + i));
}

void PlaneWidgetInCube::disable_clip_planes() const
{
    for (int i = 0; i < plane_count; ++i) glDisable(GLenum(GL_CLIP_PLANE0 + i));
}
