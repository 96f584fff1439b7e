#include "view/pointer_segment.h"

#include <GL/glu.h>

bool pointer_segment(const ViewMatrices& m, double x, double y, bool orthographic, Vector& near_point,
                     Vector& far_point)
{
    const GLint viewport[4] = {m.viewport[0], m.viewport[1], m.viewport[2], m.viewport[3]};
    // GL counts rows from the bottom.
    const GLdouble wx = x;
    const GLdouble wy = m.viewport[1] + m.viewport[3] - y;
    const GLdouble z0 = orthographic ? -1.0 : 0.0;
    GLdouble p[3], q[3];
    if (gluUnProject(wx, wy, z0, m.model, m.projection, viewport, &p[0], &p[1], &p[2]) != GL_TRUE) return false;
    if (gluUnProject(wx, wy, 1.0, m.model, m.projection, viewport, &q[0], &q[1], &q[2]) != GL_TRUE) return false;
    near_point = Vector(float(p[0]), float(p[1]), float(p[2]));
    far_point = Vector(float(q[0]), float(q[1]), float(q[2]));
    return true;
}
