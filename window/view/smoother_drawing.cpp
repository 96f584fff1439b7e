#include "view/smoother_drawing.h"

#include <cmath>

#include <GL/gl.h>

#include "core/Mesh.h"
#include "smoothing/NormalSmoother.h"

namespace {

// n bands of n + 1 vertex pairs; band i runs from latitude i * 2pi / n - pi/2
// to (i + 1) * 2pi / n - pi/2, so the bands go round the sphere twice.
void draw_sphere(const Vector& centre, float radius, int n, GLenum primitive)
{
    const float two_pi = 6.28318530717958647692f;
    const float half_pi = 1.57079632679489661923f;
    for (int i = 0; i < n; ++i) {
        const float a0 = float(i) * two_pi / float(n) - half_pi;
        const float a1 = float(i + 1) * two_pi / float(n) - half_pi;
        glBegin(primitive);
        for (int j = 0; j <= n; ++j) {
            const float g = float(j) * two_pi / float(n);
            const float lat[2] = {a1, a0};
            const float v[2] = {float(2 * i + 2) / float(n), float(2 * i) / float(n)};
            for (int k = 0; k < 2; ++k) {
                const float dx = std::cos(g) * std::cos(lat[k]);
                const float dy = std::sin(lat[k]);
                const float dz = std::sin(g) * std::cos(lat[k]);
                glNormal3f(dx, dy, dz);
                glTexCoord2f(float(j) / float(n), v[k]);
                glVertex3f(centre.x + radius * dx, centre.y + radius * dy, centre.z + radius * dz);
            }
        }
        glEnd();
    }
}

}  // namespace

void draw_kernel_ball(const NormalSmoother& smoother)
{
    glDisable(GL_LIGHTING);
    if (!smoother.mesh || smoother.mesh->nv == 0) return;
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_LIGHTING);
    const int bands = 25;
    glColor4f(1.0f, 0.0f, 0.0f, 0.5f);
    draw_sphere(smoother.centre, smoother.kernel.x, bands, GL_QUAD_STRIP);
    glColor4f(0.0f, 0.0f, 0.0f, 0.5f);
    draw_sphere(smoother.centre, smoother.kernel.x, bands, GL_LINE_LOOP);
    glDisable(GL_CULL_FACE);
}
