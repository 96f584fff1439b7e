#include "view/classifier_drawing.h"

#include <algorithm>

#include <GL/gl.h>

#include "classification/Mesh_Classifier.h"
#include "core/Mesh.h"

void draw_patch_seeds(const Mesh_Classifier& classifier)
{
    const Mesh* mesh = classifier.mesh;
    const std::vector<int>& seeds = classifier.seeds;
    // Seeds found for another mesh (before a subdivision, say) are not shown.
    if (!mesh || classifier.table.n != mesh->nf) return;
    const int shown = std::min<int>(classifier.num_patches, int(seeds.size()));
    for (int p = 0; p < shown; ++p) {
        const int face = seeds[p];
        if (face < 0 || face >= mesh->nf) continue;
        glColor3f(1.0f, 1.0f, 0.0f);
        glBegin(GL_TRIANGLES);
        for (int k = 0; k < 3; ++k) {
            const int v = mesh->faces[face].vi[k];
            const Vector& n = mesh->vertex_normals[v];
            const Vector& p3 = mesh->vertices[v];
            glNormal3f(n.x, n.y, n.z);
            glVertex3f(p3.x, p3.y, p3.z);
        }
        glEnd();
    }
}
