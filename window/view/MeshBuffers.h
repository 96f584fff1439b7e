#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <vector>

#include <QOpenGLFunctions>

#include "view/mesh_drawing.h"

class Mesh;

// What the view keeps of a mesh in OpenGL buffers between frames, so that a
// frame costs a few draw calls instead of a call per vertex. Each render
// mode needs some of four sets, each built when first needed and again only
// when the mesh's revision (or, for the filled modes, the tints) moved on;
// a set the mode on show does not draw is released:
//   shape:   the positions, every edge once (from the edge list), the faces
//            and the corners in use, for the wireframe and point modes;
//   smooth:  position, vertex normal and colour per vertex, and the faces,
//            for "Polygons"; a tinted face gets corners of its own;
//   flat:    three corners per face with the face's normal and colour, for
//            "Face Colours";
//   normals: each face's centroid and the tip of its normal.
// Light frames draw every 4th, 16th, 64th or 256th element of the same sets.
//
// The buffers belong to the GL context current when they were built; every
// call needs it current.
class MeshBuffers {
public:
    // Light levels 1 .. light_levels - 1 draw every (4 ^ level)th element.
    static constexpr int light_levels = 5;

    MeshBuffers() = default;
    MeshBuffers(const MeshBuffers&) = delete;
    MeshBuffers& operator=(const MeshBuffers&) = delete;

    // Builds what `render_mode` draws, unless it is built for this revision
    // and these tints already. Throws std::bad_alloc when the memory (ours or
    // the driver's) runs out; what was built is then released. Whether any
    // set was built or released.
    bool prepare(const Mesh& mesh, unsigned long revision, int render_mode, const FaceTints& tints);
    // Draws the mesh as draw_mesh does, from the prepared buffers; `light`
    // above 0 draws every (4 ^ light)th edge, face, corner or normal only.
    // Of the primitives (edges, faces, points) the frame draws, counted in
    // drawing order over all its passes, only those from `from` up to `to`
    // are drawn: a slow frame is drawn in steps that together give the
    // same picture. Returns the primitives of the whole frame.
    long long draw(const Mesh& mesh, int render_mode, int light = 0, long long from = 0,
                   long long to = std::numeric_limits<long long>::max());
    // Deletes every buffer.
    void release();
    // Drops the buffers' names without deleting them: their context is gone.
    void forget();

    // Bytes held in buffers, and how many sets were built so far.
    std::size_t bytes() const;
    int builds = 0;

    // The identity of a mesh's contents as far as drawing goes.
    struct Key {
        unsigned long revision = 0;
        int nv = -1, nf = -1;
        const void* vertices = nullptr;
        const void* faces = nullptr;
        int patch = -1;
        float threshold = 0.0f;
        bool operator==(const Key& o) const
        {
            return revision == o.revision && nv == o.nv && nf == o.nf && vertices == o.vertices && faces == o.faces &&
                   patch == o.patch && threshold == o.threshold;
        }
    };

    // An index list in a buffer: the whole list, then the light levels.
    struct Elements {
        GLenum primitive = GL_TRIANGLES;
        // 0: the whole list is the vertices in order, drawn without indices.
        std::array<GLuint, light_levels> buffer{};
        std::array<GLsizei, light_levels> count{};
    };

    // The primitives to draw, and those met so far.
    struct Stretch {
        long long from = 0, to = 0, at = 0;
    };

    struct Set {
        bool built = false;
        Key key;
        GLuint vertices = 0;  // the vertex buffer
        std::size_t bytes = 0;
        Elements first, second, third;
    };

private:
    void build_shape(const Mesh& mesh);
    void build_smooth(const Mesh& mesh, const FaceTints& tints);
    void build_flat(const Mesh& mesh, const FaceTints& tints);
    void build_normals(const Mesh& mesh);
    void release(Set& set);

    QOpenGLFunctions* gl = nullptr;
    // shape: the edges, the faces, the corners; smooth and flat: the faces;
    // normals: the lines, the centroids.
    Set shape, smooth, flat, normals;
};
