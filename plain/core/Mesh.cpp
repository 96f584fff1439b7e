#include "core/Mesh.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "core/Messages.h"

namespace {

const char* flag_name(int flag)
{
    switch (flag) {
    case MESH_CENTRE: return "MESH_CENTRE ";
    case MESH_VERTEX_NORMALS: return "MESH_VERTEX_NORMALS ";
    case MESH_FACE_NORMALS: return "MESH_FACE_NORMALS ";
    case MESH_TEXCOORDS: return "MESH_TEXCOORDS ";
    case MESH_EDGE_LIST: return "MESH_EDGE_LIST ";
    case MESH_CENTROIDS: return "MESH_CENTROIDS ";
    case MESH_BB: return "MESH_BB ";
    default: return nullptr;
    }
}

// Smallest and largest x, y and z of a non-empty list of points.
void bounds(const std::vector<Vector>& points, float lo[3], float hi[3])
{
    lo[0] = hi[0] = points[0].x;
    lo[1] = hi[1] = points[0].y;
    lo[2] = hi[2] = points[0].z;
    for (const Vector& p : points) {
        lo[0] = std::min(lo[0], p.x);
        hi[0] = std::max(hi[0], p.x);
        lo[1] = std::min(lo[1], p.y);
        hi[1] = std::max(hi[1], p.y);
        lo[2] = std::min(lo[2], p.z);
        hi[2] = std::max(hi[2], p.z);
    }
}

}  // namespace

void Mesh::build(std::initializer_list<int> flags, Messages& out)
{
    out.info("BUILDING: ");
    for (int flag : flags) {
        if (flag == 0) break;
        run(flag, out);
    }
    out.info("\n\n");
}

bool Mesh::is_current(int flag) const
{
    return flag > 0 && flag < 9 && built[flag] == revision;
}

void Mesh::build_stale(std::initializer_list<int> flags, Messages& out)
{
    bool any = false;
    for (int flag : flags) {
        if (flag == 0) break;
        any = any || (flag_name(flag) && !is_current(flag));
    }
    if (!any) return;
    out.info("BUILDING: ");
    for (int flag : flags) {
        if (flag == 0) break;
        if (!is_current(flag)) run(flag, out);
    }
    out.info("\n\n");
}

void Mesh::build_oriented(bool (*orient)(Face& face, const Vector& centroid), Messages& out)
{
    // The first build without its vertex normals, which the second replaces
    // in full; the orientation reads only the face normals.
    out.info("BUILDING: ");
    for (int flag : {MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}) {
        out.info(flag_name(flag));
        if (flag == MESH_VERTEX_NORMALS)
            build_face_normals();
        else
            compute(flag);
    }
    out.info("\n\n");
    for (int i = 0; i < nf; ++i) {
        Face& f = faces[i];
        if (orient(f, centroids[i])) {
            face_list[i] = &f;
            f.compute_normal();
        } else if (f.normal.w != 0.0f && !std::isnan(f.normal.w)) {
            // A second normal of the same corners differs from the first
            // only in w, which each divides by the length.
            f.compute_normal();
        }
    }
    out.info("BUILDING: ");
    out.info(flag_name(MESH_VERTEX_NORMALS));
    sum_vertex_normals();
    out.info("\n\n");
    for (int flag : {MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_FACE_NORMALS, MESH_BB})
        built[flag] = revision;
}

void Mesh::run(int flag, Messages& out)
{
    const char* name = flag_name(flag);
    if (!name) return;
    out.info(name);
    compute(flag);
}

void Mesh::compute(int flag)
{
    switch (flag) {
    case MESH_CENTRE: build_centre(); break;
    case MESH_VERTEX_NORMALS:
    case MESH_FACE_NORMALS:
        build_normals();
        built[MESH_VERTEX_NORMALS] = built[MESH_FACE_NORMALS] = revision;
        break;
    case MESH_TEXCOORDS: build_texcoords(); break;
    case MESH_EDGE_LIST: build_edge_list(); break;
    case MESH_CENTROIDS: build_centroids(); break;
    case MESH_BB: build_bbox(); break;
    }
    built[flag] = revision;
}

void Mesh::build_centre()
{
    if (nv == 0) return;
    float lo[3], hi[3];
    bounds(vertices, lo, hi);
    centre.x = (lo[0] + hi[0]) * 0.5f;
    centre.y = (lo[1] + hi[1]) * 0.5f;
    centre.z = (lo[2] + hi[2]) * 0.5f;
}

void Mesh::build_centroids()
{
    if (nf == 0) return;
    for (int i = 0; i < nf; ++i) {
        const Face& f = faces[i];
        Vector c = *f.v[0] + *f.v[1] + *f.v[2];
        c.x /= 3.0f;
        c.y /= 3.0f;
        c.z /= 3.0f;
        centroids[i] = c;
    }
}

void Mesh::build_normals()
{
    build_face_normals();
    sum_vertex_normals();
}

void Mesh::build_face_normals()
{
    for (int i = 0; i < nf; ++i) face_list[i]->compute_normal();
}

// Each vertex normal is re-normalised after every face added to it, so
// later faces weigh more than earlier ones; stored files and tools rely on
// exactly these normals. A face without area has no direction to give and
// is left out, so a vertex of such faces only keeps the zero normal.
void Mesh::sum_vertex_normals()
{
    for (Vector& n : vertex_normals) n = Vector(0.0f, 0.0f, 0.0f, 0.0f);
    for (int i = 0; i < nf; ++i) {
        const Face& f = *face_list[i];
        if (f.is_degenerate()) continue;
        for (int k = 0; k < 3; ++k) {
            Vector& n = vertex_normals[f.vi[k]];
            n += f.normal;
            n.normalise();
        }
    }
}

void Mesh::build_texcoords()
{
    if (nv == 0) return;
    float minx = vertices[0].x, maxx = minx, miny = vertices[0].y, maxy = miny;
    for (const Vector& p : vertices) {
        minx = std::min(minx, p.x);
        maxx = std::max(maxx, p.x);
        miny = std::min(miny, p.y);
        maxy = std::max(maxy, p.y);
    }
    std::vector<Vector> fresh(nv);
    for (int j = 0; j < nv; ++j)
        fresh[j] = Vector((vertices[j].x - minx) / (maxx - minx) * 2.0f, (vertices[j].y - miny) / (maxy - miny) * 2.0f,
                          0.0f, 1.0f);
    texcoords.swap(fresh);
}

void Mesh::build_bbox()
{
    if (nv == 0) return;
    float lo[3], hi[3];
    bounds(vertices, lo, hi);
    const float c[8][3] = {
        {hi[0], lo[1], hi[2]}, {hi[0], hi[1], hi[2]}, {lo[0], hi[1], hi[2]}, {lo[0], lo[1], hi[2]},
        {lo[0], lo[1], lo[2]}, {lo[0], hi[1], lo[2]}, {hi[0], hi[1], lo[2]}, {hi[0], lo[1], lo[2]},
    };
    for (int k = 0; k < 8; ++k) {
        bbox[k].x = c[k][0];
        bbox[k].y = c[k][1];
        bbox[k].z = c[k][2];
    }
    extent = 0.0f;
    const int sides[3][2] = {{0, 1}, {1, 2}, {1, 6}};
    for (const auto& s : sides) {
        Vector d = bbox[s[0]] - bbox[s[1]];
        const float l = d.length();
        if (l > extent) extent = l;
    }
}

void Mesh::allocate_vertices(int n)
{
    n = std::max(n, 0);
    vertices.assign(n, Vector());
    vertex_normals.assign(n, Vector());
    vertex_colours.assign(n, Vector());
    // Texture coordinates are derived data: nothing until MESH_TEXCOORDS
    // makes them, so a mesh never textured does not carry them.
    std::vector<Vector>().swap(texcoords);
    has_colours = false;
    nv = n;
    ++revision;
}

void Mesh::allocate_faces(int n)
{
    n = std::max(n, 0);
    centroids.assign(n, Vector());
    faces.assign(n, Face());
    face_list.assign(n, nullptr);
    nf = n;
    ++revision;
}

void Mesh::allocate_morphogens(int n, int count)
{
    morphogen_values.assign(std::max(n, 0), std::vector<float>(std::max(count, 0), 0.0f));
}

void Mesh::set_face(int i, int a, int b, int c)
{
    Face& f = faces[i];
    f.vi[0] = a;
    f.vi[1] = b;
    f.vi[2] = c;
    f.v.set(vertices.data());
    face_list[i] = &f;
}

void Mesh::clear()
{
    std::vector<Vector>().swap(vertices);
    std::vector<Vector>().swap(vertex_normals);
    std::vector<Vector>().swap(vertex_colours);
    std::vector<Vector>().swap(texcoords);
    std::vector<Face*>().swap(face_list);
    std::vector<Face>().swap(faces);
    std::vector<Vector>().swap(centroids);
    std::vector<std::array<int, 2>>().swap(edges);
    std::vector<std::array<int, 2>>().swap(edge_faces);
    std::vector<std::array<int, 2>>().swap(edge_more_faces);
    // The neighbour lists point into the freed edge arrays: drop them too.
    vertex_neighbours.clear();
    face_neighbours.clear();
    morphogen_values.clear();
    has_colours = false;
    nv = nf = edge_count = 0;
    for (Vector& c : bbox) c = Vector(0);
    ++revision;
}

void Mesh::assign(const Mesh& other)
{
    if (&other == this) return;
    allocate_vertices(other.nv);
    std::copy(other.vertices.begin(), other.vertices.end(), vertices.begin());
    std::copy(other.vertex_colours.begin(), other.vertex_colours.end(), vertex_colours.begin());
    std::copy(other.vertex_normals.begin(), other.vertex_normals.end(), vertex_normals.begin());
    has_colours = other.has_colours;
    allocate_faces(other.nf);
    for (int i = 0; i < nf; ++i) set_face(i, other.faces[i].vi[0], other.faces[i].vi[1], other.faces[i].vi[2]);
}

namespace {

// `p` pointed into `from`; the same place in `to`.
template <class T, class Array>
T* rebased(T* p, const Array* from, T* to)
{
    return p ? to + (p - from) : nullptr;
}

}  // namespace

Mesh::Mesh(const Mesh& other)
    : nv(other.nv), nf(other.nf), picked_face(other.picked_face), extent(other.extent), centre(other.centre),
      vertices(other.vertices), vertex_normals(other.vertex_normals), vertex_colours(other.vertex_colours),
      has_colours(other.has_colours), texcoords(other.texcoords), centroids(other.centroids),
      face_list(other.face_list), faces(other.faces), morphogen_values(other.morphogen_values),
      morphogen_names(other.morphogen_names), edge_table(other.edge_table), edge_count(other.edge_count),
      edges(other.edges), edge_faces(other.edge_faces), edge_more_faces(other.edge_more_faces),
      vertex_neighbours(other.vertex_neighbours), face_neighbours(other.face_neighbours), revision(other.revision)
{
    std::copy(std::begin(other.bbox), std::end(other.bbox), bbox);
    std::copy(std::begin(other.built), std::end(other.built), built);
    for (Face& f : faces) f.v.set(vertices.data());
    for (Face*& f : face_list) f = rebased(f, other.faces.data(), faces.data());
    // The neighbour lists keep places in the edge arrays; only their base moves.
    auto first = [](const std::vector<std::array<int, 2>>& pairs) -> const int* {
        return pairs.empty() ? nullptr : pairs[0].data();
    };
    vertex_neighbours.base = rebased(other.vertex_neighbours.base, first(other.edges), first(edges));
    face_neighbours.base = rebased(other.face_neighbours.base, first(other.edge_faces), first(edge_faces));
}

Mesh& Mesh::operator=(const Mesh& other)
{
    if (&other != this) {
        Mesh copy(other);
        swap(copy);
    }
    return *this;
}

std::unique_ptr<Mesh> Mesh::clone() const
{
    auto copy = std::make_unique<Mesh>();
    copy->assign(*this);
    for (int i = 0; i < nf; ++i) {
        Face& f = copy->faces[i];
        f.normal = faces[i].normal;
        f.colour = faces[i].colour;
        f.marked = faces[i].marked;
        f.group = faces[i].group;
    }
    return copy;
}

void Mesh::swap(Mesh& other) noexcept
{
    using std::swap;
    swap(nv, other.nv);
    swap(nf, other.nf);
    swap(picked_face, other.picked_face);
    swap(extent, other.extent);
    swap(centre, other.centre);
    vertices.swap(other.vertices);
    vertex_normals.swap(other.vertex_normals);
    vertex_colours.swap(other.vertex_colours);
    swap(has_colours, other.has_colours);
    texcoords.swap(other.texcoords);
    centroids.swap(other.centroids);
    face_list.swap(other.face_list);
    faces.swap(other.faces);
    morphogen_values.swap(other.morphogen_values);
    morphogen_names.swap(other.morphogen_names);
    swap(edge_table, other.edge_table);
    swap(edge_count, other.edge_count);
    edges.swap(other.edges);
    edge_faces.swap(other.edge_faces);
    edge_more_faces.swap(other.edge_more_faces);
    swap(vertex_neighbours, other.vertex_neighbours);
    swap(face_neighbours, other.face_neighbours);
    for (int k = 0; k < 8; ++k) swap(bbox[k], other.bbox[k]);
    // Both meshes changed: what either had built is stale for the other's
    // tools unless it moves along with its arrays.
    swap(built, other.built);
    swap(revision, other.revision);
}

void Mesh::carry_over(const Mesh& from)
{
    picked_face = from.picked_face;
    morphogen_names = from.morphogen_names;
    extent = from.extent;
    centre = from.centre;
}

int Mesh::edge_of(const int* p) const
{
    if (!edges.empty() && p >= edges[0].data() && p < edges[0].data() + 2 * edges.size())
        return int((p - edges[0].data()) / 2);
    if (!edge_faces.empty() && p >= edge_faces[0].data() && p < edge_faces[0].data() + 2 * edge_faces.size())
        return int((p - edge_faces[0].data()) / 2);
    return -1;
}
