#include "tests/support/MeshVariants.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>
#include <string>

namespace {

std::string text(const Vector& v)
{
    return "(" + std::to_string(v.x) + ", " + std::to_string(v.y) + ", " + std::to_string(v.z) + ")";
}

}  // namespace

bool same_bits(const Vector& a, const Vector& b)
{
    const float pa[4] = {a.x, a.y, a.z, a.w};
    const float pb[4] = {b.x, b.y, b.z, b.w};
    return std::memcmp(pa, pb, sizeof pa) == 0;
}

std::unique_ptr<Mesh> make_variant(const Mesh& base, const MeshVariant& how)
{
    std::mt19937 random(how.seed);
    std::uniform_real_distribution<float> jitter(-how.noise, how.noise);
    std::vector<Vector> points(base.vertices.begin(), base.vertices.begin() + base.nv);
    std::vector<std::array<int, 3>> faces;
    for (int i = 0; i < base.nf; ++i) faces.push_back({base.faces[i].vi[0], base.faces[i].vi[1], base.faces[i].vi[2]});
    if (how.noise > 0)
        for (Vector& p : points) p = Vector(p.x + jitter(random), p.y + jitter(random), p.z + jitter(random));

    auto pick = [&](std::size_t n) { return std::size_t(random() % n); };
    for (int k = 0; k < how.fins && !faces.empty(); ++k) {
        const std::array<int, 3> f = faces[pick(faces.size())];
        const Vector& a = points[f[0]];
        const Vector& b = points[f[1]];
        points.emplace_back((a.x + b.x) / 2 + 0.3f, (a.y + b.y) / 2 - 0.2f, (a.z + b.z) / 2 + 0.5f);
        faces.push_back({f[1], f[0], int(points.size()) - 1});
    }
    for (int k = 0; k < how.degenerate && !faces.empty(); ++k) {
        const std::array<int, 3> f = faces[pick(faces.size())];
        faces.push_back({f[0], f[0], f[1 + k % 2]});
    }
    for (int k = 0; k < how.duplicates && !faces.empty(); ++k) faces.push_back(faces[pick(faces.size())]);
    for (int k = 0; k < how.isolated; ++k) points.emplace_back(float(k), -7.0f, 3.0f + jitter(random));

    std::vector<int> order(points.size());
    std::iota(order.begin(), order.end(), 0);
    if (how.shuffle) {
        std::shuffle(order.begin(), order.end(), random);
        std::shuffle(faces.begin(), faces.end(), random);
    }
    std::vector<int> where(points.size());
    for (std::size_t i = 0; i < order.size(); ++i) where[order[i]] = int(i);

    auto mesh = std::make_unique<Mesh>();
    mesh->allocate_vertices(int(points.size()));
    for (std::size_t i = 0; i < order.size(); ++i) mesh->vertices[i] = points[order[i]];
    mesh->allocate_faces(int(faces.size()));
    for (std::size_t i = 0; i < faces.size(); ++i) {
        mesh->set_face(int(i), where[faces[i][0]], where[faces[i][1]], where[faces[i][2]]);
        mesh->faces[i].marked = int(i % 3 == 0);
        mesh->faces[i].group = int(i % 5);
    }
    return mesh;
}

bool same_mesh(const Mesh& a, const Mesh& b, std::string& why)
{
    using std::to_string;
    why.clear();
    auto corners = [](const Face& f) {
        return "(" + to_string(f.vi[0]) + " " + to_string(f.vi[1]) + " " + to_string(f.vi[2]) + ")";
    };
    if (a.nv != b.nv || a.nf != b.nf)
        why =
            "counts " + to_string(a.nv) + "/" + to_string(a.nf) + " against " + to_string(b.nv) + "/" + to_string(b.nf);
    for (int i = 0; why.empty() && i < a.nv; ++i)
        if (!same_bits(a.vertices[i], b.vertices[i]))
            why = "vertex " + to_string(i) + " " + text(a.vertices[i]) + " against " + text(b.vertices[i]);
    for (int i = 0; why.empty() && i < a.nf; ++i) {
        const Face& fa = a.faces[i];
        const Face& fb = b.faces[i];
        if (!std::equal(fa.vi, fa.vi + 3, fb.vi) || fa.marked != fb.marked || fa.group != fb.group ||
            !same_bits(fa.colour, fb.colour) || !same_bits(fa.normal, fb.normal))
            why = "face " + to_string(i) + " " + corners(fa) + " against " + corners(fb);
        for (int k = 0; why.empty() && k < 3; ++k)
            if (fa.v[k] != &a.vertices[fa.vi[k]] || a.face_list[i] != &fa)
                why = "face " + to_string(i) + " pointers out of step";
    }
    return why.empty();
}
