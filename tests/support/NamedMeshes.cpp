#include "tests/support/NamedMeshes.h"

#include <cmath>
#include <random>

namespace named {

std::unique_ptr<Mesh> make(const std::vector<Vector>& points, const std::vector<std::vector<int>>& triangles)
{
    auto m = std::make_unique<Mesh>();
    m->allocate_vertices(int(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) m->vertices[i] = points[i];
    m->allocate_faces(int(triangles.size()));
    for (std::size_t i = 0; i < triangles.size(); ++i)
        m->set_face(int(i), triangles[i][0], triangles[i][1], triangles[i][2]);
    return m;
}

std::unique_ptr<Mesh> empty()
{
    return std::make_unique<Mesh>();
}

std::unique_ptr<Mesh> single_triangle()
{
    return make({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
}

std::unique_ptr<Mesh> two_triangles()
{
    return make({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 1, 2}, {1, 3, 2}});
}

std::unique_ptr<Mesh> tetrahedron()
{
    return make({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 2, 1}, {0, 1, 3}, {1, 2, 3}, {0, 3, 2}});
}

std::unique_ptr<Mesh> octahedron()
{
    return make({{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}},
                {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4}, {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}});
}

std::unique_ptr<Mesh> open_grid(int n)
{
    std::vector<Vector> points;
    std::vector<std::vector<int>> triangles;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) points.emplace_back(float(i), float(j), 0.0f);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int a = j * (n + 1) + i, b = a + 1, c = a + n + 1, d = c + 1;
            triangles.push_back({a, b, d});
            triangles.push_back({a, d, c});
        }
    return make(points, triangles);
}

std::unique_ptr<Mesh> folded_grid(int n)
{
    auto m = open_grid(n);
    const float fold = float(n) / 2.0f;
    for (Vector& p : m->vertices)
        if (p.x > fold) {
            p.z = p.x - fold;
            p.x = fold;
        }
    return m;
}

std::unique_ptr<Mesh> disconnected_pair()
{
    return make({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 0, 0}, {6, 0, 0}, {5, 1, 0}}, {{0, 1, 2}, {3, 4, 5}});
}

std::unique_ptr<Mesh> non_manifold_edge()
{
    return make({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}}, {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}});
}

std::unique_ptr<Mesh> degenerate_pair()
{
    return make({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 0, 1}});
}

std::unique_ptr<Mesh> torus(int rings, int sides)
{
    std::vector<Vector> points;
    std::vector<std::vector<int>> triangles;
    const double tau = 6.283185307179586;
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < sides; ++s) {
            const double u = tau * r / rings, v = tau * s / sides;
            points.emplace_back(float((2.0 + std::cos(v)) * std::cos(u)), float((2.0 + std::cos(v)) * std::sin(u)),
                                float(std::sin(v)));
        }
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < sides; ++s) {
            const int a = r * sides + s, b = ((r + 1) % rings) * sides + s;
            const int c = r * sides + (s + 1) % sides, d = ((r + 1) % rings) * sides + (s + 1) % sides;
            triangles.push_back({a, b, d});
            triangles.push_back({a, d, c});
        }
    return make(points, triangles);
}

std::unique_ptr<Mesh> bipyramid(int sides)
{
    std::vector<Vector> points = {{0, 0, 1}, {0, 0, -1}};
    std::vector<std::vector<int>> triangles;
    for (int s = 0; s < sides; ++s) {
        const double a = 6.283185307179586 * s / sides;
        points.emplace_back(float(std::cos(a)), float(std::sin(a)), 0.0f);
        const int here = 2 + s, next = 2 + (s + 1) % sides;
        triangles.push_back({0, here, next});
        triangles.push_back({1, next, here});
    }
    return make(points, triangles);
}

std::unique_ptr<Mesh> fan_polygon(int corners)
{
    std::vector<Vector> points;
    std::vector<std::vector<int>> triangles;
    for (int c = 0; c < corners; ++c) {
        const double a = 6.283185307179586 * c / corners;
        points.emplace_back(float(std::cos(a)), float(std::sin(a)), 0.0f);
        if (c >= 2) triangles.push_back({0, c - 1, c});
    }
    return make(points, triangles);
}

std::unique_ptr<Mesh> capped_cylinder(int segments)
{
    std::vector<Vector> points(std::size_t(2 * segments + 2));
    std::vector<std::vector<int>> triangles;
    const int bottom = 2 * segments, top = bottom + 1;
    for (int s = 0; s < segments; ++s) {
        const double a = 6.283185307179586 * s / segments;
        const float x = float(std::cos(a)), y = float(std::sin(a));
        points[std::size_t(s)] = Vector(x, y, 0.0f);
        points[std::size_t(segments + s)] = Vector(x, y, 2.0f);
        const int next = (s + 1) % segments;
        triangles.push_back({s, next, segments + next});
        triangles.push_back({s, segments + next, segments + s});
        triangles.push_back({bottom, next, s});
        triangles.push_back({top, segments + s, segments + next});
    }
    points[std::size_t(bottom)] = Vector(0.0f, 0.0f, 0.0f);
    points[std::size_t(top)] = Vector(0.0f, 0.0f, 2.0f);
    return make(points, triangles);
}

// One face for each three points in turn.
static std::unique_ptr<Mesh> separate_triangles(const std::vector<Vector>& points)
{
    std::vector<std::vector<int>> triangles;
    for (int a = 0; a + 2 < int(points.size()); a += 3) triangles.push_back({a, a + 1, a + 2});
    return make(points, triangles);
}

std::unique_ptr<Mesh> triangle_row(const std::vector<float>& xs)
{
    std::vector<Vector> points;
    for (float x : xs)
        points.insert(points.end(), {Vector(x, 1.0f, 0.0f), Vector(x, -1.0f, 0.0f), Vector(x, 0.0f, 3.0f)});
    return separate_triangles(points);
}

std::unique_ptr<Mesh> random_triangles(int n, int size, unsigned seed)
{
    std::vector<Vector> points;
    unsigned state = seed;
    auto next = [&state, size]() {
        state = state * 1664525u + 1013904223u;
        return float((state >> 8) % unsigned(size + 1));
    };
    for (int i = 0; i < 3 * n; ++i) {
        const float x = next(), y = next(), z = next();
        points.emplace_back(x, y, z);
    }
    return separate_triangles(points);
}

std::unique_ptr<Mesh> flipped_pair()
{
    return make({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 1, 2}, {1, 2, 3}});
}

std::unique_ptr<Mesh> split_pair()
{
    return make({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {4, 3, 5}});
}

std::unique_ptr<Mesh> triangle_strip(int n)
{
    std::vector<Vector> points;
    std::vector<std::vector<int>> triangles;
    for (int i = 0; i < n + 2; ++i) points.emplace_back(float(i / 2) + (i % 2) * 0.5f, float(i % 2), 0.0f);
    for (int i = 0; i < n; ++i)
        triangles.push_back(i % 2 ? std::vector<int>{i, i + 2, i + 1} : std::vector<int>{i, i + 1, i + 2});
    return make(points, triangles);
}

std::unique_ptr<Mesh> two_grids(int n)
{
    auto left = open_grid(n);
    std::vector<Vector> points(left->vertices);
    std::vector<std::vector<int>> triangles;
    for (const Vector& p : left->vertices) points.emplace_back(p.x + float(n + 2), p.y, 0.0f);
    for (int copy : {0, left->nv})
        for (const Face& f : left->faces) triangles.push_back({f.vi[0] + copy, f.vi[1] + copy, f.vi[2] + copy});
    return make(points, triangles);
}

std::unique_ptr<Mesh> random_soup(int vertices, int faces, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> coordinate(-1.0f, 1.0f);
    std::uniform_int_distribution<int> corner(0, vertices - 1);
    std::vector<Vector> points;
    std::vector<std::vector<int>> triangles;
    // One draw a statement: C++ leaves the order of arguments' evaluation open.
    for (int i = 0; i < vertices; ++i) {
        const float x = coordinate(random), y = coordinate(random), z = coordinate(random);
        points.emplace_back(x, y, z);
    }
    for (int i = 0; i < faces; ++i) {
        const int a = corner(random), b = corner(random), c = corner(random);
        triangles.push_back({a, b, c});
    }
    return make(points, triangles);
}

}  // namespace named

std::string obj_text(const Mesh& mesh, float scale, const Vector& offset, const Vector* colour)
{
    std::string text;
    for (const Vector& p : mesh.vertices) {
        const Vector q = p * scale + offset;
        text += "v " + std::to_string(q.x) + " " + std::to_string(q.y) + " " + std::to_string(q.z) + "\n";
    }
    if (colour)
        for (int i = 0; i < mesh.nv; ++i)
            text += "vc " + std::to_string(colour->x) + " " + std::to_string(colour->y) + " " +
                    std::to_string(colour->z) + "\n";
    for (const Face& f : mesh.faces)
        text += "f " + std::to_string(f.vi[0] + 1) + " " + std::to_string(f.vi[1] + 1) + " " +
                std::to_string(f.vi[2] + 1) + "\n";
    return text;
}
