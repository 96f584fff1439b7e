#include "view/MeshBuffers.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include <QOpenGLContext>

#include "core/Mesh.h"

namespace {

// One vertex of the filled sets: position, normal, colour.
struct Corner {
    float position[3];
    float normal[3];
    float colour[4];
};
static_assert(sizeof(Corner) == 40, "Corner is packed as the GL pointers expect");

Corner corner(const Vector& p, const Vector& n, const Vector& c)
{
    return Corner{{p.x, p.y, p.z}, {n.x, n.y, n.z}, {c.x, c.y, c.z, c.w}};
}

GLsizei stride_of(int level)
{
    return GLsizei(1) << (2 * level);
}

// Errors left by earlier calls would be taken for ours.
void clear_gl_errors()
{
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

// A new buffer holding `bytes` from `data`; bad_alloc when the driver has
// no room for it (the buffer is deleted then).
GLuint upload(QOpenGLFunctions& gl, GLenum target, const void* data, std::size_t bytes)
{
    GLuint id = 0;
    clear_gl_errors();
    gl.glGenBuffers(1, &id);
    gl.glBindBuffer(target, id);
    gl.glBufferData(target, GLsizeiptr(bytes), data, GL_STATIC_DRAW);
    gl.glBindBuffer(target, 0);
    if (glGetError() == GL_OUT_OF_MEMORY || id == 0) {
        gl.glDeleteBuffers(1, &id);
        throw std::bad_alloc();
    }
    return id;
}

template <class T>
GLuint upload(QOpenGLFunctions& gl, GLenum target, const std::vector<T>& data, std::size_t& bytes)
{
    bytes += data.size() * sizeof(T);
    return upload(gl, target, data.data(), data.size() * sizeof(T));
}

void fill_elements(QOpenGLFunctions& gl, MeshBuffers::Elements& e, int per, const std::vector<GLuint>& indices,
                   GLsizei vertices, std::size_t& bytes);

// The list and its light levels in buffers. With `indices` empty the whole
// list is the first `vertices` vertices in order, drawn without indices.
MeshBuffers::Elements make_elements(QOpenGLFunctions& gl, GLenum primitive, int per, const std::vector<GLuint>& indices,
                                    GLsizei vertices, std::size_t& bytes)
{
    MeshBuffers::Elements e;
    e.primitive = primitive;
    try {
        fill_elements(gl, e, per, indices, vertices, bytes);
    } catch (...) {
        for (GLuint& b : e.buffer)
            if (b) gl.glDeleteBuffers(1, &b);
        throw;
    }
    return e;
}

void fill_elements(QOpenGLFunctions& gl, MeshBuffers::Elements& e, int per, const std::vector<GLuint>& indices,
                   GLsizei vertices, std::size_t& bytes)
{
    const bool implicit = indices.empty();
    const std::size_t total = implicit ? std::size_t(vertices) : indices.size();
    if (!implicit) e.buffer[0] = upload(gl, GL_ELEMENT_ARRAY_BUFFER, indices, bytes);
    e.count[0] = GLsizei(total);
    const std::size_t primitives = total / std::size_t(per);
    std::vector<GLuint> light;
    for (int level = 1; level < MeshBuffers::light_levels; ++level) {
        const std::size_t stride = std::size_t(stride_of(level));
        light.clear();
        for (std::size_t j = 0; j < primitives; j += stride)
            for (int k = 0; k < per; ++k) {
                const std::size_t at = j * std::size_t(per) + std::size_t(k);
                light.push_back(implicit ? GLuint(at) : indices[at]);
            }
        e.count[std::size_t(level)] = GLsizei(light.size());
        if (!light.empty()) e.buffer[std::size_t(level)] = upload(gl, GL_ELEMENT_ARRAY_BUFFER, light, bytes);
    }
}

GLsizei per_primitive(GLenum primitive)
{
    return primitive == GL_TRIANGLES ? 3 : primitive == GL_LINES ? 2 : 1;
}

// Draws what of the list falls in the stretch; `stretch.at` counts the
// primitives of the lists met so far in the frame.
void draw_elements(QOpenGLFunctions& gl, const MeshBuffers::Elements& e, int light, MeshBuffers::Stretch& stretch)
{
    const std::size_t level = std::size_t(std::clamp(light, 0, MeshBuffers::light_levels - 1));
    const GLsizei per = per_primitive(e.primitive);
    const long long primitives = e.count[level] / per;
    const long long first = std::max(stretch.from, stretch.at), last = std::min(stretch.to, stretch.at + primitives);
    const long long skipped = first - stretch.at;
    stretch.at += primitives;
    if (first >= last) return;
    const GLint offset = GLint(skipped) * per;
    const GLsizei count = GLsizei(last - first) * per;
    if (e.buffer[level] == 0) {
        glDrawArrays(e.primitive, offset, count);
        return;
    }
    gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, e.buffer[level]);
    glDrawElements(e.primitive, count, GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(std::uintptr_t(offset) * sizeof(GLuint)));
    gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

// Positions only (stride 0: packed), or whole corners.
void bind_vertices(QOpenGLFunctions& gl, GLuint buffer, bool corners)
{
    gl.glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, corners ? GLsizei(sizeof(Corner)) : 0, nullptr);
    if (!corners) return;
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, GLsizei(sizeof(Corner)), reinterpret_cast<const void*>(offsetof(Corner, normal)));
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, GLsizei(sizeof(Corner)), reinterpret_cast<const void*>(offsetof(Corner, colour)));
}

void unbind_vertices(QOpenGLFunctions& gl)
{
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// Every edge once as (lower, higher) vertex pairs: the mesh's edge list when
// it is current, else gathered from the faces.
std::vector<GLuint> edge_indices(const Mesh& mesh)
{
    std::vector<GLuint> out;
    const bool listed = mesh.is_current(MESH_EDGE_LIST) && mesh.edges.size() == std::size_t(mesh.edge_count) &&
                        std::all_of(mesh.edges.begin(), mesh.edges.end(), [&](const std::array<int, 2>& e) {
                            return e[0] >= 0 && e[1] >= 0 && e[0] < mesh.nv && e[1] < mesh.nv;
                        });
    if (listed) {
        out.reserve(mesh.edges.size() * 2);
        for (const auto& e : mesh.edges) {
            out.push_back(GLuint(e[0]));
            out.push_back(GLuint(e[1]));
        }
        return out;
    }
    std::vector<std::uint64_t> keys;
    keys.reserve(std::size_t(mesh.nf) * 3);
    for (const Face& f : mesh.faces)
        for (int k = 0; k < 3; ++k) {
            const std::uint64_t a = std::uint32_t(f.vi[k]), b = std::uint32_t(f.vi[(k + 1) % 3]);
            if (a != b) keys.push_back(std::min(a, b) << 32 | std::max(a, b));
        }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    out.reserve(keys.size() * 2);
    for (std::uint64_t k : keys) {
        out.push_back(GLuint(k >> 32));
        out.push_back(GLuint(k & 0xffffffffu));
    }
    return out;
}

MeshBuffers::Key key_of(const Mesh& mesh, unsigned long revision, const FaceTints* tints)
{
    MeshBuffers::Key key;
    key.revision = revision;
    key.nv = mesh.nv;
    key.nf = mesh.nf;
    key.vertices = mesh.vertices.data();
    key.faces = mesh.faces.data();
    if (tints) {
        key.patch = tints->patch;
        key.threshold = tints->threshold;
    }
    return key;
}

bool uses_shape(int mode)
{
    return mode == RENDER_WIREFRAME || mode == RENDER_WIREFRAME_DOTTED || mode == RENDER_WIREFRAME_HIDDEN ||
           mode == RENDER_POLYGONS_WIREFRAME || mode == RENDER_POINTS || mode == RENDER_FACE_NORMALS;
}

// The pieces of draw_mesh from the buffers.
class BufferPieces : public MeshPieces {
public:
    BufferPieces(QOpenGLFunctions& gl_, const MeshBuffers::Set& shape_, const MeshBuffers::Set& smooth_,
                 const MeshBuffers::Set& flat_, const MeshBuffers::Set& normals_, int light_,
                 MeshBuffers::Stretch& stretch_)
        : gl(gl_), shape(shape_), smooth(smooth_), flat(flat_), normal_set(normals_), light(light_), stretch(stretch_)
    {}
    void edges() override { positions(shape, shape.first); }
    void fills() override { positions(shape, shape.second); }
    void corners() override { positions(shape, shape.third); }
    void filled(bool flat_faces) override
    {
        const MeshBuffers::Set& set = flat_faces ? flat : smooth;
        if (!set.built) return;
        bind_vertices(gl, set.vertices, true);
        draw_elements(gl, set.first, light, stretch);
        unbind_vertices(gl);
    }
    void normals() override
    {
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
        positions(normal_set, normal_set.second);
        glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
        positions(normal_set, normal_set.first);
    }

private:
    void positions(const MeshBuffers::Set& set, const MeshBuffers::Elements& e)
    {
        if (!set.built) return;
        bind_vertices(gl, set.vertices, false);
        draw_elements(gl, e, light, stretch);
        unbind_vertices(gl);
    }

    QOpenGLFunctions& gl;
    const MeshBuffers::Set &shape, &smooth, &flat, &normal_set;
    int light;
    MeshBuffers::Stretch& stretch;
};

}  // namespace

bool MeshBuffers::prepare(const Mesh& mesh, unsigned long revision, int render_mode, const FaceTints& given)
{
    gl = QOpenGLContext::currentContext()->functions();
    const std::size_t bytes_before = bytes();
    const int builds_before = builds;
    const FaceTints tints = fitting_tints(mesh, given);
    const bool smooth_mode = render_mode == RENDER_POLYGONS || render_mode == RENDER_POLYGONS_WIREFRAME;
    // Only what this mode draws stays: at a million faces the sets of every
    // mode together hold several times what one mode needs.
    if (!uses_shape(render_mode)) release(shape);
    if (!smooth_mode) release(smooth);
    if (render_mode != RENDER_FACE_COLOURS) release(flat);
    if (render_mode != RENDER_FACE_NORMALS) release(normals);
    try {
        if (uses_shape(render_mode) && !(shape.built && shape.key == key_of(mesh, revision, nullptr))) {
            release(shape);
            build_shape(mesh);
            shape.key = key_of(mesh, revision, nullptr);
        }
        if (smooth_mode && !(smooth.built && smooth.key == key_of(mesh, revision, &tints))) {
            release(smooth);
            build_smooth(mesh, tints);
            smooth.key = key_of(mesh, revision, &tints);
        }
        if (render_mode == RENDER_FACE_COLOURS && !(flat.built && flat.key == key_of(mesh, revision, &tints))) {
            release(flat);
            build_flat(mesh, tints);
            flat.key = key_of(mesh, revision, &tints);
        }
        if (render_mode == RENDER_FACE_NORMALS && !(normals.built && normals.key == key_of(mesh, revision, nullptr))) {
            release(normals);
            build_normals(mesh);
            normals.key = key_of(mesh, revision, nullptr);
        }
    } catch (const std::bad_alloc&) {
        release();
        throw;
    } catch (const std::length_error&) {
        release();
        throw std::bad_alloc();
    }
    return bytes() != bytes_before || builds != builds_before;
}

void MeshBuffers::build_shape(const Mesh& mesh)
{
    std::vector<float> positions;
    positions.reserve(std::size_t(mesh.nv) * 3);
    for (int v = 0; v < mesh.nv; ++v) {
        const Vector& p = mesh.vertices[std::size_t(v)];
        positions.insert(positions.end(), {p.x, p.y, p.z});
    }
    shape.vertices = upload(*gl, GL_ARRAY_BUFFER, positions, shape.bytes);
    shape.built = true;
    positions = std::vector<float>();

    shape.first = make_elements(*gl, GL_LINES, 2, edge_indices(mesh), 0, shape.bytes);

    std::vector<GLuint> faces;
    faces.reserve(std::size_t(mesh.nf) * 3);
    std::vector<bool> used(std::size_t(mesh.nv), false);
    for (const Face& f : mesh.faces)
        for (int k = 0; k < 3; ++k) {
            faces.push_back(GLuint(f.vi[k]));
            used[std::size_t(f.vi[k])] = true;
        }
    shape.second = make_elements(*gl, GL_TRIANGLES, 3, faces, 0, shape.bytes);
    faces = std::vector<GLuint>();

    // A vertex no face uses is not drawn; one that many use, once.
    std::vector<GLuint> points;
    const bool all_used = std::find(used.begin(), used.end(), false) == used.end();
    if (!all_used)
        for (int v = 0; v < mesh.nv; ++v)
            if (used[std::size_t(v)]) points.push_back(GLuint(v));
    shape.third = make_elements(*gl, GL_POINTS, 1, points, all_used ? mesh.nv : 0, shape.bytes);
    ++builds;
}

void MeshBuffers::build_smooth(const Mesh& mesh, const FaceTints& tints)
{
    // Every vertex in its own colour, then three corners of its own for
    // each face that may be tinted.
    std::vector<Corner> vertices;
    vertices.reserve(std::size_t(mesh.nv));
    for (int v = 0; v < mesh.nv; ++v)
        vertices.push_back(corner(mesh.vertices[std::size_t(v)], mesh.vertex_normals[std::size_t(v)],
                                  mesh.has_colours ? mesh.vertex_colours[std::size_t(v)] : plain_colour));
    std::vector<GLuint> faces;
    faces.reserve(std::size_t(mesh.nf) * 3);
    for (int i = 0; i < mesh.nf; ++i) {
        const Face& f = mesh.faces[std::size_t(i)];
        const bool own = has_tint(mesh, i, tints);
        for (int k = 0; k < 3; ++k) {
            const std::size_t v = std::size_t(f.vi[k]);
            if (!own) {
                faces.push_back(GLuint(v));
                continue;
            }
            faces.push_back(GLuint(vertices.size()));
            vertices.push_back(
                corner(mesh.vertices[v], mesh.vertex_normals[v], corner_colour(mesh, i, k, false, tints)));
        }
    }
    smooth.vertices = upload(*gl, GL_ARRAY_BUFFER, vertices, smooth.bytes);
    smooth.built = true;
    vertices = std::vector<Corner>();
    smooth.first = make_elements(*gl, GL_TRIANGLES, 3, faces, 0, smooth.bytes);
    ++builds;
}

void MeshBuffers::build_flat(const Mesh& mesh, const FaceTints& tints)
{
    std::vector<Corner> corners;
    corners.reserve(std::size_t(mesh.nf) * 3);
    for (int i = 0; i < mesh.nf; ++i) {
        const Face& f = mesh.faces[std::size_t(i)];
        const Vector colour = corner_colour(mesh, i, 0, true, tints);
        for (int k = 0; k < 3; ++k) corners.push_back(corner(mesh.vertices[std::size_t(f.vi[k])], f.normal, colour));
    }
    flat.vertices = upload(*gl, GL_ARRAY_BUFFER, corners, flat.bytes);
    flat.built = true;
    corners = std::vector<Corner>();
    flat.first = make_elements(*gl, GL_TRIANGLES, 3, {}, GLsizei(mesh.nf) * 3, flat.bytes);
    ++builds;
}

void MeshBuffers::build_normals(const Mesh& mesh)
{
    // Centroid and tip of each face in turn: the lines in order, the
    // centroids every other vertex.
    const int n = mesh.centroids.size() >= std::size_t(mesh.nf) ? mesh.nf : 0;
    const float length = mesh.extent / 30.0f;
    std::vector<float> ends;
    ends.reserve(std::size_t(n) * 6);
    std::vector<GLuint> centroids;
    centroids.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        const Vector& c = mesh.centroids[std::size_t(i)];
        const Vector tip = c + mesh.faces[std::size_t(i)].normal * length;
        centroids.push_back(GLuint(2 * i));
        ends.insert(ends.end(), {c.x, c.y, c.z, tip.x, tip.y, tip.z});
    }
    normals.vertices = upload(*gl, GL_ARRAY_BUFFER, ends, normals.bytes);
    normals.built = true;
    ends = std::vector<float>();
    normals.first = make_elements(*gl, GL_LINES, 2, {}, GLsizei(n) * 2, normals.bytes);
    normals.second = make_elements(*gl, GL_POINTS, 1, centroids, 0, normals.bytes);
    ++builds;
}

long long MeshBuffers::draw(const Mesh& mesh, int render_mode, int light, long long from, long long to)
{
    if (!gl) return 0;
    Stretch stretch{from, to, 0};
    BufferPieces pieces(*gl, shape, smooth, flat, normals, light, stretch);
    draw_mesh(mesh, render_mode, pieces);
    return stretch.at;
}

void MeshBuffers::release(Set& set)
{
    if (gl) {
        std::vector<GLuint> names;
        if (set.vertices) names.push_back(set.vertices);
        for (const Elements* e : {&set.first, &set.second, &set.third})
            for (GLuint b : e->buffer)
                if (b) names.push_back(b);
        if (!names.empty()) gl->glDeleteBuffers(GLsizei(names.size()), names.data());
    }
    set = Set();
}

void MeshBuffers::release()
{
    for (Set* set : {&shape, &smooth, &flat, &normals}) release(*set);
}

void MeshBuffers::forget()
{
    for (Set* set : {&shape, &smooth, &flat, &normals}) *set = Set();
    gl = nullptr;
}

std::size_t MeshBuffers::bytes() const
{
    return shape.bytes + smooth.bytes + flat.bytes + normals.bytes;
}
