#include "remeshing/ButterflySubdivider.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "core/format_text.h"
#include "core/memory_limits.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/StageProgress.h"

namespace {

// The first corner of `face` that is neither x nor y, or -1.
int corner_off(const Face& face, int x, int y)
{
    for (int k = 0; k < 3; ++k)
        if (face.vi[k] != x && face.vi[k] != y) return face.vi[k];
    return -1;
}

}  // namespace

ButterflySubdivider::ButterflySubdivider(Messages& out) : messages(out), memory_limit(double(usable_memory())) {}

ButterflySubdivider::~ButterflySubdivider() = default;

ButterflySubdivider::Estimate ButterflySubdivider::estimate(const Mesh& mesh, int edge_count, int levels)
{
    Estimate est;
    double nv = mesh.nv, nf = mesh.nf, ne = edge_count;
    double before_nv = nv, before_nf = nf, before_ne = ne;  // the last level's input
    // Every level keeps the vertices, adds one per edge, splits each edge in
    // two and adds three edges inside each face.
    for (int level = 0; level < levels && nf < 1e30; ++level) {
        before_nv = nv;
        before_nf = nf;
        before_ne = ne;
        nv += ne;
        ne = 2.0 * ne + 3.0 * nf;
        nf *= 4.0;
    }
    const double values = mesh.morphogen_values.empty() ? 0.0 : double(mesh.morphogen_values[0].size());
    const double input = mesh_bytes(mesh.nv, mesh.nf, values);
    const double last_input = levels > 1 ? mesh_bytes(before_nv, before_nf, values) : 0.0;
    const double edge_map = 16.0 * before_ne + 12.0 * before_nf + 4.0 * before_nv;
    // Held at the peak: the mesh on show, its copy for reloading and the
    // copy being subdivided; the last level's input and edge map; the result
    // with its texture coordinates, its copy put in place and that copy's
    // edge list.
    est.vertices = nv;
    est.faces = nf;
    est.bytes = 3.0 * input + last_input + edge_map + 2.0 * mesh_bytes(nv, nf, values) + nv * sizeof(Vector) +
                edge_list_bytes(nv, nf, ne);
    return est;
}

bool ButterflySubdivider::stencil(const Mesh& current, int e, int corners[6]) const
{
    const SubdivisionEdgeMap::Edge& edge = edge_map.edges[e];
    const int f1 = edge.first_face, f2 = edge.second_face;
    const int a = edge.a, b = edge.b;
    const int c = corner_off(current.faces[f1], a, b);
    const int d = corner_off(current.faces[f2], a, b);
    if (c < 0 || d < 0) return false;
    corners[0] = c;
    corners[1] = d;
    // The four wing edges are sides of the two faces of the edge; every pair
    // of a triangle's corners is one of its sides, so no search is needed.
    const int wings[4] = {edge_map.side_of(current, f1, a, c), edge_map.side_of(current, f2, a, d),
                          edge_map.side_of(current, f1, b, c), edge_map.side_of(current, f2, b, d)};
    for (int k = 0; k < 4; ++k) {
        const int w = wings[k];
        if (w < 0) return false;
        const SubdivisionEdgeMap::Edge& wing = edge_map.edges[w];
        const int outer = (wing.first_face == f1 || wing.first_face == f2) ? wing.second_face : wing.first_face;
        if (outer < 0) return false;
        const int corner = corner_off(current.faces[outer], wing.a, wing.b);
        if (corner < 0) return false;
        corners[2 + k] = corner;
    }
    return true;
}

void ButterflySubdivider::step(const Mesh& current, Mesh& next) const
{
    const int nv = current.nv;
    const int ne = int(edge_map.edges.size());
    next.allocate_vertices(nv + ne);
    std::copy(current.vertices.begin(), current.vertices.end(), next.vertices.begin());

    const float near_weight = 0.125f + 2.0f * weight;
    const float far_weight = -0.0625f - weight;
    const Vector* old = current.vertices.data();
    for (int e = 0; e < ne; ++e) {
        if (e % 65536 == 0) messages.check_cancelled();
        const SubdivisionEdgeMap::Edge& edge = edge_map.edges[e];
        const Vector& a = old[edge.a];
        const Vector& b = old[edge.b];
        Vector& p = next.vertices[std::size_t(nv) + e];
        p.x = (a.x + b.x) / 2.0f;
        p.y = (a.y + b.y) / 2.0f;
        p.z = (a.z + b.z) / 2.0f;
        int k[6];
        if (edge.second_face < 0 || !stencil(current, e, k)) continue;
        const Vector &c = old[k[0]], &d = old[k[1]];
        const Vector &e1 = old[k[2]], &e2 = old[k[3]], &e3 = old[k[4]], &e4 = old[k[5]];
        p.x += near_weight * (c.x + d.x) + far_weight * (e1.x + e2.x + e3.x + e4.x);
        p.y += near_weight * (c.y + d.y) + far_weight * (e1.y + e2.y + e3.y + e4.y);
        p.z += near_weight * (c.z + d.z) + far_weight * (e1.z + e2.z + e3.z + e4.z);
    }

    next.allocate_faces(4 * current.nf);
    for (int i = 0; i < current.nf; ++i) {
        const Face& f = current.faces[i];
        const int* fe = edge_map.face_edges.data() + std::size_t(i) * 3;
        const int A = f.vi[0], B = f.vi[1], C = f.vi[2];
        const int ab = nv + fe[0], bc = nv + fe[1], ca = nv + fe[2];
        const int first = 4 * i;
        for (int k = 0; k < 4; ++k) next.faces[first + k] = f;
        next.set_face(first, A, ab, ca);
        next.set_face(first + 1, ab, B, bc);
        next.set_face(first + 2, ca, bc, C);
        next.set_face(first + 3, ab, bc, ca);
    }

    // Colours and morphogen values of a new vertex are the means of its edge's ends.
    if (current.has_colours) {
        std::copy(current.vertex_colours.begin(), current.vertex_colours.end(), next.vertex_colours.begin());
        for (int e = 0; e < ne; ++e)
            next.vertex_colours[std::size_t(nv) + e] =
                (current.vertex_colours[edge_map.edges[e].a] + current.vertex_colours[edge_map.edges[e].b]) / 2.0f;
        next.has_colours = true;
    }
    if (nv > 0 && current.morphogen_values.size() == std::size_t(nv)) {
        next.morphogen_values.resize(std::size_t(nv) + ne);
        std::copy(current.morphogen_values.begin(), current.morphogen_values.end(), next.morphogen_values.begin());
        for (int e = 0; e < ne; ++e) {
            const std::vector<float>& a = current.morphogen_values[edge_map.edges[e].a];
            const std::vector<float>& b = current.morphogen_values[edge_map.edges[e].b];
            std::vector<float>& mean = next.morphogen_values[std::size_t(nv) + e];
            mean.resize(std::min(a.size(), b.size()));
            for (std::size_t j = 0; j < mean.size(); ++j) mean[j] = (a[j] + b[j]) / 2.0f;
        }
    }
}

void ButterflySubdivider::run()
{
    edge_map.clear();
    result.reset();
    if (!source || levels < 1) return;

    edge_map.build(*source);
    const Estimate est = estimate(*source, int(edge_map.edges.size()), levels);
    if (est.bytes > memory_limit || est.faces > INT_MAX || est.vertices > INT_MAX) {
        messages.error(
            format_text("Subdivision level %d would make %.0f faces and %.0f vertices, about %.0f MB; "
                        "the limit is %.0f MB and %d faces: the mesh is unchanged\n",
                        levels, est.faces, est.vertices, est.bytes / 1e6, memory_limit / 1e6, INT_MAX));
        edge_map.clear();
        return;
    }

    std::unique_ptr<Mesh> current;
    StageProgress stage(messages, "Subdividing", levels, levels);
    for (int level = 0; level < levels; ++level) {
        stage.at(level);
        const Mesh& from = current ? *current : *source;
        if (level > 0) edge_map.build(from);
        auto next = std::make_unique<Mesh>();
        step(from, *next);
        current = std::move(next);
    }
    edge_map.clear();
    stage.at(levels);
    current->build({MESH_VERTEX_NORMALS, MESH_TEXCOORDS}, messages);
    result = std::move(current);
}

bool ButterflySubdivider::subdivide(Mesh& mesh, int subdiv, float w)
{
    // Whatever happens, the working meshes go: they are as big as the result.
    struct Release {
        ButterflySubdivider& s;
        ~Release()
        {
            s.source.reset();
            s.result.reset();
            s.edge_map.clear();
        }
    } release{*this};
    weight = w;
    levels = subdiv;
    source = mesh.clone();
    source->morphogen_values = mesh.morphogen_values;
    run();
    source.reset();
    if (!result) return false;
    // The result is built aside and put in place only once built, so a
    // failure on the way (memory) leaves the mesh as it was.
    Mesh fresh;
    fresh.assign(*result);
    fresh.morphogen_values = std::move(result->morphogen_values);
    result.reset();
    fresh.carry_over(mesh);
    fresh.build({MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_CENTRE, MESH_CENTROIDS, MESH_BB}, messages);
    mesh.swap(fresh);
    return true;
}
