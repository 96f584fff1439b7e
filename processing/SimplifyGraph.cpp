#include "processing/SimplifyGraph.h"

#include <cmath>
#include <limits>

#include "core/Mesh.h"

namespace {

// Vertices with up to this many triangles get the turn between every pair of
// their triangles computed once per cost update.
constexpr int table_size = 24;

float turn_between(const Vector& a, const Vector& b)
{
    return (1.0f - a.dot(b)) / 2.0f;
}

// A cost that is not a number (from overflowing coordinates) counts as the
// dearest possible, so it still has a place in the order.
float ordered(float cost)
{
    return std::isnan(cost) ? std::numeric_limits<float>::infinity() : cost;
}

}  // namespace

void SimplifyGraph::build(const Mesh& mesh)
{
    const int nv = mesh.nv;
    positions.assign(mesh.vertices.begin(), mesh.vertices.begin() + nv);
    std::vector<int> room(std::size_t(nv), 2);
    int kept = 0;
    for (int i = 0; i < mesh.nf; ++i) {
        const int* vi = mesh.faces[i].vi;
        if (vi[0] == vi[1] || vi[1] == vi[2] || vi[2] == vi[0]) continue;
        for (int k = 0; k < 3; ++k) ++room[vi[k]];
        ++kept;
    }
    neighbours.reset(room);
    faces.reset(room);
    corners.clear();
    corners.reserve(std::size_t(kept));
    normals.assign(std::size_t(kept), Vector());
    for (int i = 0; i < mesh.nf; ++i) {
        const int* vi = mesh.faces[i].vi;
        if (vi[0] == vi[1] || vi[1] == vi[2] || vi[2] == vi[0]) continue;
        const int t = int(corners.size());
        corners.push_back({vi[0], vi[1], vi[2]});
        for (int k = 0; k < 3; ++k) faces.push(vi[k], t);
        for (int k = 0; k < 3; ++k)
            for (int j = 0; j < 3; ++j)
                if (j != k) neighbours.push_unique(vi[k], vi[j]);
        compute_normal(t);
    }
    vertex_alive.assign(std::size_t(nv), 1);
    triangle_alive.assign(std::size_t(kept), 1);
    cost.assign(std::size_t(nv), 0.0f);
    target.assign(std::size_t(nv), -1);
    vertex_count = nv;
    triangle_count = kept;
}

void SimplifyGraph::compute_normal(int t)
{
    const std::array<int, 3>& c = corners[std::size_t(t)];
    const Vector& a = positions[c[0]];
    const Vector& b = positions[c[1]];
    const Vector& d = positions[c[2]];
    Vector n;
    n.cross(b - a, d - b);
    if (n.x != 0.0f || n.y != 0.0f || n.z != 0.0f) n.normalise();
    normals[std::size_t(t)] = n;
}

float SimplifyGraph::edge_cost(int u, int v) const
{
    const int k = faces.size(u);
    const int* around = faces.data(u);
    std::vector<int> sides;
    for (int l = 0; l < k; ++l)
        if (has(around[l], v)) sides.push_back(around[l]);
    float curvature = 0.0f;
    for (int j = 0; j < k; ++j) {
        float m = 1.0f;
        for (int s : sides) {
            const float t = turn_between(normals[around[j]], normals[s]);
            if (t < m) m = t;
        }
        if (m >= curvature) curvature = m;
    }
    Vector d = positions[v] - positions[u];
    return ordered(d.length() * curvature);
}

void SimplifyGraph::compute_cost(int v)
{
    const int degree = neighbours.size(v);
    if (degree == 0) {
        cost[v] = -0.01f;
        target[v] = -1;
        return;
    }
    const int k = faces.size(v);
    const int* around = faces.data(v);
    const bool tabled = k <= table_size;
    float turn[table_size * table_size];
    if (tabled)
        for (int j = 0; j < k; ++j)
            for (int l = 0; l <= j; ++l)
                turn[j * k + l] = turn[l * k + j] = turn_between(normals[around[j]], normals[around[l]]);

    float best = 1000000.0f;
    int to = -1;
    float least = 0.0f;
    int least_at = -1;
    for (int a = 0; a < degree; ++a) {
        const int n = neighbours.at(v, a);
        float c;
        if (tabled) {
            int sides[table_size];
            int count = 0;
            for (int l = 0; l < k; ++l)
                if (has(around[l], n)) sides[count++] = l;
            float curvature = 0.0f;
            for (int j = 0; j < k; ++j) {
                float m = 1.0f;
                for (int s = 0; s < count; ++s) {
                    const float t = turn[j * k + sides[s]];
                    if (t < m) m = t;
                }
                if (m >= curvature) curvature = m;
            }
            Vector d = positions[n] - positions[v];
            c = ordered(d.length() * curvature);
        } else {
            c = edge_cost(v, n);
        }
        if (c < best) {
            best = c;
            to = n;
        }
        if (least_at < 0 || c < least) {
            least = c;
            least_at = n;
        }
    }
    // Every collapse costs a million or more (very long edges): take the
    // cheapest anyway, since a vertex with triangles must go somewhere.
    if (to < 0) {
        best = least;
        to = least_at;
    }
    cost[v] = best;
    target[v] = to;
}

void SimplifyGraph::drop_if_apart(int a, int n)
{
    if (!neighbours.contains(a, n)) return;
    const int k = faces.size(a);
    const int* around = faces.data(a);
    for (int l = 0; l < k; ++l)
        if (has(around[l], n)) return;
    neighbours.remove(a, n);
}

void SimplifyGraph::delete_triangle(int t)
{
    triangle_alive[std::size_t(t)] = 0;
    --triangle_count;
    const std::array<int, 3> c = corners[std::size_t(t)];
    for (int k = 0; k < 3; ++k) faces.remove(c[k], t);
    for (int k = 0; k < 3; ++k) {
        const int k2 = (k + 1) % 3;
        drop_if_apart(c[k], c[k2]);
        drop_if_apart(c[k2], c[k]);
    }
}

void SimplifyGraph::replace_vertex(int t, int from, int to)
{
    std::array<int, 3>& c = corners[std::size_t(t)];
    if (c[0] == from)
        c[0] = to;
    else if (c[1] == from)
        c[1] = to;
    else
        c[2] = to;
    faces.remove(from, t);
    faces.push(to, t);
    for (int k = 0; k < 3; ++k) {
        drop_if_apart(from, c[k]);
        drop_if_apart(c[k], from);
    }
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 3; ++j)
            if (j != k) neighbours.push_unique(c[k], c[j]);
    compute_normal(t);
}

void SimplifyGraph::remove_vertex(int u)
{
    while (!neighbours.empty(u)) {
        const int n = neighbours.at(u, 0);
        neighbours.remove(n, u);
        neighbours.remove_at(u, 0);
    }
    vertex_alive[std::size_t(u)] = 0;
    --vertex_count;
}

void SimplifyGraph::collapse(int u, int v, std::vector<int>& touched)
{
    touched.clear();
    if (v < 0) {
        remove_vertex(u);
        return;
    }
    touched.assign(neighbours.data(u), neighbours.data(u) + neighbours.size(u));
    for (int i = faces.size(u) - 1; i >= 0; --i) {
        const int t = faces.at(u, i);
        if (has(t, v)) delete_triangle(t);
    }
    for (int i = faces.size(u) - 1; i >= 0; --i) replace_vertex(faces.at(u, i), u, v);
    remove_vertex(u);
}

void SimplifyGraph::write_back(Mesh& mesh) const
{
    const std::size_t nv = vertex_alive.size();
    std::vector<int> id(nv, -1);
    int next = 0;
    for (std::size_t v = 0; v < nv; ++v)
        if (vertex_alive[v]) id[v] = next++;

    std::vector<std::vector<float>> values;
    if (!mesh.morphogen_values.empty() && mesh.morphogen_values.size() == nv) {
        values.resize(std::size_t(next));
        for (std::size_t v = 0; v < nv; ++v)
            if (id[v] >= 0) values[std::size_t(id[v])] = std::move(mesh.morphogen_values[v]);
    }

    mesh.clear();
    mesh.allocate_vertices(next);
    mesh.allocate_faces(triangle_count);
    for (std::size_t v = 0; v < nv; ++v)
        if (id[v] >= 0) mesh.vertices[std::size_t(id[v])] = positions[v];
    int f = 0;
    for (std::size_t t = 0; t < corners.size(); ++t) {
        if (!triangle_alive[t]) continue;
        const std::array<int, 3>& c = corners[t];
        mesh.set_face(f++, id[c[0]], id[c[1]], id[c[2]]);
    }
    mesh.morphogen_values = std::move(values);
}
