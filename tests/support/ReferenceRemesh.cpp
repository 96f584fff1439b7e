#include "tests/support/ReferenceRemesh.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/Mesh.h"
#include "core/MessageLog.h"
#include "core/Messages.h"

namespace {

// ---- subdivision ----

struct ListedEdge {
    int a, b;
    int face1, face2;
};

struct EdgeList {
    std::vector<ListedEdge> edges;

    int find(int a, int b) const
    {
        for (std::size_t i = 0; i < edges.size(); ++i)
            if ((edges[i].a == a && edges[i].b == b) || (edges[i].a == b && edges[i].b == a)) return int(i);
        return -1;
    }
    void add(int a, int b, int face)
    {
        const int e = find(a, b);
        if (e >= 0)
            edges[e].face2 = face;
        else
            edges.push_back({a, b, face, -1});
    }
};

int other_corner(const Face& f, int a, int b)
{
    for (int k = 0; k < 3; ++k)
        if (f.vi[k] != a && f.vi[k] != b) return f.vi[k];
    return -1;
}

std::unique_ptr<Mesh> one_level(const Mesh& old, float w)
{
    EdgeList list;
    for (int i = 0; i < old.nf; ++i)
        for (int j = 0; j < 3; ++j) list.add(old.faces[i].vi[j], old.faces[i].vi[(j + 1) % 3], i);

    auto next = std::make_unique<Mesh>();
    const int nv = old.nv;
    next->allocate_vertices(nv + int(list.edges.size()));
    for (int i = 0; i < nv; ++i) next->vertices[i] = old.vertices[i];
    for (std::size_t e = 0; e < list.edges.size(); ++e) {
        const ListedEdge& edge = list.edges[e];
        const Vector& a = old.vertices[edge.a];
        const Vector& b = old.vertices[edge.b];
        Vector& p = next->vertices[nv + e];
        p.x = (a.x + b.x) / 2.0f;
        p.y = (a.y + b.y) / 2.0f;
        p.z = (a.z + b.z) / 2.0f;
        if (edge.face2 == -1) continue;
        const int c = other_corner(old.faces[edge.face1], edge.a, edge.b);
        const int d = other_corner(old.faces[edge.face2], edge.a, edge.b);
        if (c < 0 || d < 0) continue;
        const int ends[4][2] = {{edge.a, c}, {edge.a, d}, {edge.b, c}, {edge.b, d}};
        int outer[4];
        bool found = true;
        for (int k = 0; k < 4 && found; ++k) {
            const int n = list.find(ends[k][0], ends[k][1]);
            if (n < 0) {
                found = false;
                break;
            }
            const ListedEdge& wing = list.edges[n];
            int face = wing.face1;
            if (face == edge.face1 || face == edge.face2) face = wing.face2;
            if (face == -1) {
                found = false;
                break;
            }
            outer[k] = other_corner(old.faces[face], wing.a, wing.b);
            found = outer[k] >= 0;
        }
        if (!found) continue;
        const Vector &vc = old.vertices[c], &vd = old.vertices[d];
        const Vector &e1 = old.vertices[outer[0]], &e2 = old.vertices[outer[1]];
        const Vector &e3 = old.vertices[outer[2]], &e4 = old.vertices[outer[3]];
        const float near = 1.0f / 8.0f + 2.0f * w;
        const float far = -1.0f / 16.0f - w;
        p.x += near * (vc.x + vd.x) + far * (e1.x + e2.x + e3.x + e4.x);
        p.y += near * (vc.y + vd.y) + far * (e1.y + e2.y + e3.y + e4.y);
        p.z += near * (vc.z + vd.z) + far * (e1.z + e2.z + e3.z + e4.z);
    }

    next->allocate_faces(4 * old.nf);
    for (int i = 0; i < old.nf; ++i) {
        const Face& f = old.faces[i];
        const int A = f.vi[0], B = f.vi[1], C = f.vi[2];
        const int ab = nv + list.find(A, B), bc = nv + list.find(B, C), ca = nv + list.find(C, A);
        const int corners[4][3] = {{A, ab, ca}, {ab, B, bc}, {ca, bc, C}, {ab, bc, ca}};
        for (int k = 0; k < 4; ++k) {
            next->faces[4 * i + k] = f;
            next->set_face(4 * i + k, corners[k][0], corners[k][1], corners[k][2]);
        }
    }
    return next;
}

// ---- simplification ----

struct Triangle;

struct Vertex {
    Vector position;
    int id = 0;
    int original = 0;
    std::vector<Vertex*> neighbours;
    std::vector<Triangle*> faces;
    float cost = 0.0f;
    Vertex* target = nullptr;
};

struct Triangle {
    Vertex* v[3];
    Vector normal;
    bool has(const Vertex* x) const { return v[0] == x || v[1] == x || v[2] == x; }
};

template <typename T>
void remove_first(std::vector<T*>& list, const T* x)
{
    auto it = std::find(list.begin(), list.end(), x);
    if (it != list.end()) list.erase(it);
}

template <typename T>
void add_unique(std::vector<T*>& list, T* x)
{
    if (std::find(list.begin(), list.end(), x) == list.end()) list.push_back(x);
}

struct Graph {
    std::vector<std::unique_ptr<Vertex>> vertex_store;
    std::vector<std::unique_ptr<Triangle>> triangle_store;
    std::vector<Vertex*> vertices;
    std::vector<Triangle*> triangles;

    static void compute_normal(Triangle& t)
    {
        const Vector& a = t.v[0]->position;
        const Vector& b = t.v[1]->position;
        const Vector& c = t.v[2]->position;
        Vector n;
        n.cross(b - a, c - b);
        if (n.x != 0.0f || n.y != 0.0f || n.z != 0.0f) n.normalise();
        t.normal = n;
    }

    static void remove_if_non_neighbour(Vertex* a, Vertex* n)
    {
        if (std::find(a->neighbours.begin(), a->neighbours.end(), n) == a->neighbours.end()) return;
        for (Triangle* f : a->faces)
            if (f->has(n)) return;
        remove_first(a->neighbours, n);
    }

    void delete_triangle(Triangle* t)
    {
        remove_first(triangles, t);
        for (int i = 0; i < 3; ++i) remove_first(t->v[i]->faces, t);
        for (int i = 0; i < 3; ++i) {
            const int i2 = (i + 1) % 3;
            remove_if_non_neighbour(t->v[i], t->v[i2]);
            remove_if_non_neighbour(t->v[i2], t->v[i]);
        }
    }

    static void replace_vertex(Triangle* t, Vertex* from, Vertex* to)
    {
        if (t->v[0] == from)
            t->v[0] = to;
        else if (t->v[1] == from)
            t->v[1] = to;
        else
            t->v[2] = to;
        remove_first(from->faces, t);
        to->faces.push_back(t);
        for (int i = 0; i < 3; ++i) {
            remove_if_non_neighbour(from, t->v[i]);
            remove_if_non_neighbour(t->v[i], from);
        }
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                if (i != j) add_unique(t->v[i]->neighbours, t->v[j]);
        compute_normal(*t);
    }

    void remove_vertex(Vertex* u)
    {
        while (!u->neighbours.empty()) {
            Vertex* n = u->neighbours[0];
            remove_first(n->neighbours, u);
            remove_first(u->neighbours, n);
        }
        remove_first(vertices, u);
    }

    static float edge_cost(Vertex* u, Vertex* v)
    {
        Vector d = v->position - u->position;
        const float length = d.length();
        std::vector<Triangle*> sides;
        for (Triangle* f : u->faces)
            if (f->has(v)) sides.push_back(f);
        float curvature = 0.0f;
        for (Triangle* f : u->faces) {
            float m = 1.0f;
            for (Triangle* s : sides) m = std::min(m, (1.0f - f->normal.dot(s->normal)) / 2.0f);
            curvature = std::max(curvature, m);
        }
        const float cost = length * curvature;
        return std::isnan(cost) ? std::numeric_limits<float>::infinity() : cost;
    }

    static void vertex_cost(Vertex* v)
    {
        if (v->neighbours.empty()) {
            v->target = nullptr;
            v->cost = -0.01f;
            return;
        }
        auto take_cheaper = [v] {
            for (Vertex* n : v->neighbours) {
                const float c = edge_cost(v, n);
                if (c < v->cost) {
                    v->target = n;
                    v->cost = c;
                }
            }
        };
        v->cost = 1000000.0f;
        v->target = nullptr;
        take_cheaper();
        if (v->target) return;
        // Every collapse costs a million or more: the cheapest one anyway.
        v->cost = edge_cost(v, v->neighbours[0]);
        v->target = v->neighbours[0];
        take_cheaper();
    }

    void collapse(Vertex* u, Vertex* v)
    {
        if (!v) {
            remove_vertex(u);
            return;
        }
        const std::vector<Vertex*> former = u->neighbours;
        for (int i = int(u->faces.size()) - 1; i >= 0; --i)
            if (u->faces[i]->has(v)) delete_triangle(u->faces[i]);
        for (int i = int(u->faces.size()) - 1; i >= 0; --i) replace_vertex(u->faces[i], u, v);
        remove_vertex(u);
        for (Vertex* n : former) vertex_cost(n);
    }
};

}  // namespace

std::unique_ptr<Mesh> reference_subdivide(const Mesh& source, int levels, float weight)
{
    if (levels < 1) return nullptr;
    std::unique_ptr<Mesh> current = source.clone();
    for (int level = 0; level < levels; ++level) current = one_level(*current, weight);
    MessageLog quiet;
    Messages out(quiet);
    current->build({MESH_VERTEX_NORMALS, MESH_TEXCOORDS}, out);
    return current;
}

void reference_simplify(Mesh& mesh, float x)
{
    Graph g;
    for (int i = 0; i < mesh.nv; ++i) {
        g.vertex_store.push_back(std::make_unique<Vertex>());
        Vertex* v = g.vertex_store.back().get();
        v->position = mesh.vertices[i];
        v->id = i;
        v->original = i;
        g.vertices.push_back(v);
    }
    for (int i = 0; i < mesh.nf; ++i) {
        const int* vi = mesh.faces[i].vi;
        if (vi[0] == vi[1] || vi[1] == vi[2] || vi[2] == vi[0]) continue;
        g.triangle_store.push_back(std::make_unique<Triangle>());
        Triangle* t = g.triangle_store.back().get();
        for (int k = 0; k < 3; ++k) t->v[k] = g.vertices[vi[k]];
        g.triangles.push_back(t);
        for (int k = 0; k < 3; ++k) t->v[k]->faces.push_back(t);
        for (int k = 0; k < 3; ++k)
            for (int j = 0; j < 3; ++j)
                if (j != k) add_unique(t->v[k]->neighbours, t->v[j]);
        Graph::compute_normal(*t);
    }
    for (Vertex* v : g.vertices) Graph::vertex_cost(v);

    const int start = mesh.nv;
    int keep = start;
    if (!std::isnan(x) && x < 1.0f) keep = x > 0.0f ? int(x * float(start)) : 0;
    while (int(g.vertices.size()) > keep) {
        Vertex* cheapest = g.vertices[0];
        std::size_t at = 0;
        for (std::size_t i = 0; i < g.vertices.size(); ++i)
            if (g.vertices[i]->cost < cheapest->cost) {
                cheapest = g.vertices[i];
                at = i;
            }
        for (std::size_t i = at + 1; i < g.vertices.size(); ++i) g.vertices[i]->id -= 1;
        g.collapse(cheapest, cheapest->target);
    }

    std::vector<std::vector<float>> values;
    if (!mesh.morphogen_values.empty() && int(mesh.morphogen_values.size()) == start) {
        for (Vertex* v : g.vertices) values.push_back(mesh.morphogen_values[v->original]);
    }
    mesh.clear();
    mesh.allocate_vertices(int(g.vertices.size()));
    mesh.allocate_faces(int(g.triangles.size()));
    for (std::size_t i = 0; i < g.vertices.size(); ++i) mesh.vertices[i] = g.vertices[i]->position;
    for (std::size_t i = 0; i < g.triangles.size(); ++i) {
        const Triangle* t = g.triangles[i];
        mesh.set_face(int(i), t->v[0]->id, t->v[1]->id, t->v[2]->id);
    }
    mesh.morphogen_values = std::move(values);
}
