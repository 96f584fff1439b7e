// Opening a mesh orients its faces by comparing the angles of corners 1 and
// 2 around the centroid. The pass decides most faces from signs instead of
// measuring the angles, and builds the normals once instead of twice: both
// are checked here against the pass as first written, face for face and
// array for array.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "core/load_mesh_file.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/SameMesh.h"

namespace {

// The orientation of one face as first written: both corner angles from
// atan2 in degrees, corners 1 and 2 swapped unless corner 2's is larger.
bool literal_orient(Face& f, const Vector& c)
{
    // Faces without area keep their order (they have a zero normal to turn about).
    if (f.is_degenerate()) return false;
    const Vector& n = f.normal;
    const Vector a = *f.v[0] - c;
    double angle[3] = {0.0, 0.0, 0.0};
    for (int k = 1; k <= 2; ++k) {
        const Vector b = *f.v[k] - c;
        Vector axb;
        axb.cross(a, b);
        angle[k] = double(std::atan2(n.dot(axb), a.dot(b))) * 57.29577950560105;
        if (angle[k] < 0.0) angle[k] += 360.0;
    }
    if (angle[2] > angle[1]) return false;
    std::swap(f.vi[1], f.vi[2]);
    return true;
}

// What opening a file built as first written: two builds around the pass.
void literal_open(Mesh& m, Messages& out)
{
    m.build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}, out);
    for (int i = 0; i < m.nf; ++i)
        if (literal_orient(m.faces[i], m.centroids[i])) m.face_list[i] = &m.faces[i];
    m.build({MESH_VERTEX_NORMALS}, out);
}

// Every face of `m` (normals and centroids as they stand) oriented both ways;
// the number of faces that disagree.
int disagreements(Mesh& m, int& swapped)
{
    int wrong = 0;
    for (int i = 0; i < m.nf; ++i) {
        Face ours = m.faces[i], theirs = m.faces[i];
        const bool a = orient_face(ours, m.centroids[i]);
        const bool b = literal_orient(theirs, m.centroids[i]);
        swapped += b;
        if (a != b || ours.vi[1] != theirs.vi[1] || ours.v[1] != theirs.v[1]) {
            if (wrong < 5)
                ADD_FAILURE() << "face " << i << ": literal " << b << ", ours " << a << "; normal "
                              << m.faces[i].normal.x << " " << m.faces[i].normal.y << " " << m.faces[i].normal.z;
            ++wrong;
        }
    }
    return wrong;
}

std::unique_ptr<Mesh> with_centroids_and_normals(std::unique_ptr<Mesh> m)
{
    Captured quiet;
    m->build({MESH_CENTROIDS, MESH_FACE_NORMALS}, quiet);
    return m;
}

// Separate triangles whose corners are drawn by `corner`.
template <typename Corner>
std::unique_ptr<Mesh> triangles_from(int n, Corner corner)
{
    std::vector<Vector> points;
    std::vector<std::vector<int>> faces;
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < 3; ++k) points.push_back(corner(i, k));
        faces.push_back({3 * i, 3 * i + 1, 3 * i + 2});
    }
    return with_centroids_and_normals(named::make(points, faces));
}

}  // namespace

TEST(Orientation, DecidesAsTheAngleComparisonOnRandomAndDegenerateFaces)
{
    std::mt19937 rng(17);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    auto point = [&](float scale) { return Vector(unit(rng) * scale, unit(rng) * scale, unit(rng) * scale); };
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<std::pair<const char*, std::unique_ptr<Mesh>>> cases;
    cases.emplace_back("random", triangles_from(3000, [&](int, int) { return point(10.0f); }));
    cases.emplace_back("slivers", triangles_from(3000, [&](int i, int k) {
                           // Three points near a line, off it by 10^-1 ... 10^-9 of its length.
                           const float t = unit(rng) * 5.0f, off = std::pow(10.0f, -float(1 + i % 9)) * unit(rng);
                           return k == 2 ? Vector(t, off, 0.5f * off) : Vector(float(k) * 3.0f - 1.5f, 0.0f, 0.0f);
                       }));
    cases.emplace_back("needles", triangles_from(2000, [&](int i, int k) {
                           // Corners 1 and 2 close together, corner 0 far away.
                           const float gap = std::pow(10.0f, -float(i % 8));
                           return k == 0 ? Vector(-7.0f, 1.0f, 2.0f)
                                         : Vector(5.0f, gap * float(2 * k - 3), gap * unit(rng));
                       }));
    cases.emplace_back("collinear and coincident", triangles_from(2000, [&](int i, int k) {
                           const Vector p = i % 3 == 0 ? Vector(1, 2, 3) : Vector(float(k), 2.0f * float(k), 0.0f);
                           return i % 3 == 2 ? Vector(float((k * 7 + i) % 3), 0.0f, 0.0f) : p;
                       }));
    cases.emplace_back("lattice ties", triangles_from(3000, [&](int, int) {
                           return Vector(float(rng() % 3), float(rng() % 3), float(rng() % 2));
                       }));
    cases.emplace_back("huge and tiny", triangles_from(2000, [&](int i, int) {
                           const float scale = std::pow(10.0f, float(i % 2 == 0 ? 19 + i % 20 : -20 - i % 20));
                           return point(scale);
                       }));
    // Normals that do not belong to the face: every sign and size of the
    // two angles comes up, zero and not-a-number normals too (a degenerate
    // face has either, depending on how its normal is built).
    auto odd = triangles_from(6000, [&](int, int) { return point(4.0f); });
    for (int i = 0; i < odd->nf; ++i) {
        Vector& n = odd->faces[i].normal;
        switch (i % 6) {
        case 0: n = point(1.0f); break;
        case 1: n = Vector(0.0f, 0.0f, 0.0f, 0.0f); break;
        case 2: n = Vector(nan, nan, nan, nan); break;
        case 3: n = Vector(0.0f, -0.0f, 0.0f, 0.0f) * -1.0f; break;
        case 4: n = Vector(inf, 0.0f, 1.0f, 0.0f); break;
        default: n = odd->faces[i].normal * -1.0f; break;  // flipped: every face swaps
        }
    }
    cases.emplace_back("foreign normals", std::move(odd));
    // Centroids off the face put the two corners in any half-turns.
    auto off = triangles_from(6000, [&](int, int) { return point(4.0f); });
    for (Vector& c : off->centroids) c = c + point(6.0f);
    cases.emplace_back("foreign centroids", std::move(off));
    // Normals so small beside large corners that an angle comes out 0.
    auto faint = triangles_from(4000, [&](int i, int) { return point(std::pow(10.0f, float(i % 7))); });
    for (int i = 0; i < faint->nf; ++i) {
        const float scale = std::numeric_limits<float>::denorm_min() * float(1 + i % 5);
        faint->faces[i].normal = Vector(unit(rng) * scale, unit(rng) * scale, scale);
    }
    cases.emplace_back("faint normals", std::move(faint));
    cases.emplace_back("torus", with_centroids_and_normals(named::torus(40, 30)));
    cases.emplace_back("soup", with_centroids_and_normals(named::random_soup(200, 3000, 5)));

    for (auto& [name, mesh] : cases) {
        SCOPED_TRACE(name);
        int swapped = 0;
        EXPECT_EQ(disagreements(*mesh, swapped), 0);
        if (std::string(name) == "torus") {
            EXPECT_EQ(swapped, 0);
        } else if (std::string(name) == "foreign normals") {
            EXPECT_GT(swapped, 2000);
        }
    }
}

TEST(Orientation, OpeningBuildsTheArraysOfTwoBuildsAroundTheLiteralPass)
{
    auto nan_corner = named::torus(12, 10);
    nan_corner->vertices[7] = Vector(std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f);
    auto collinear = named::open_grid(6);
    for (int i = 0; i < collinear->nv; i += 4) collinear->vertices[i].y = 0.0f;  // some faces flat to a line
    std::pair<const char*, std::unique_ptr<Mesh>> cases[] = {
        {"torus", named::torus(30, 20)},           {"soup with degenerate faces", named::random_soup(100, 600, 9)},
        {"collinear faces", std::move(collinear)}, {"a corner not a number", std::move(nan_corner)},
        {"flipped pair", named::flipped_pair()},   {"empty", named::empty()},
    };
    for (auto& [name, mesh] : cases) {
        SCOPED_TRACE(name);
        auto ours = mesh->clone();
        auto theirs = mesh->clone();
        Captured console;
        const std::string said = printed(console, [&] { ours->build_oriented(orient_face, console); });
        const std::string expected = printed(console, [&] { literal_open(*theirs, console); });
        EXPECT_EQ(said, expected);
        expect_same_mesh_fields(*ours, *theirs);

        // Again on the built mesh, as opening a name that is no mesh's
        // rebuilds the old one: normals that are already there.
        const std::string again = printed(console, [&] { ours->build_oriented(orient_face, console); });
        literal_open(*theirs, console);
        EXPECT_EQ(again, expected);
        expect_same_mesh_fields(*ours, *theirs);
    }
}
