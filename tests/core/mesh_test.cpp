#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <utility>

#include <gtest/gtest.h>

#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"

TEST(Vector, QuirksTheMeshCodeReliesOn)
{
    Vector v(3, 4, 0, 1);
    v.normalise();  // divides all four and keeps the length
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.w, 0.2f);
    EXPECT_EQ(v.len, 5.0f);
    // A zero vector has no direction and stays zero (not NaN).
    Vector zero(0, 0, 0, 1);
    zero.normalise();
    EXPECT_EQ(xyzw(zero), (std::array<float, 4>{0, 0, 0, 1}));
    v = Vector(1, 2, 3, 1);
    v *= 2.0f;
    EXPECT_EQ(v.w, 1.0f);  // in place keeps w, a product scales it
    EXPECT_EQ((Vector(1, 2, 3, 1) * 2.0f).w, 2.0f);
    EXPECT_EQ((2.0f * Vector(1, 2, 3, 1)).w, 2.0f);
    EXPECT_TRUE(Vector(1, 2, 3, 1) == Vector(1, 2, 3, 9));
    EXPECT_TRUE(Vector(1, 2, 3) < Vector(1, 3, 0));
    EXPECT_FALSE(Vector(1, 2, 3) < Vector(1, 2, 3));
    Vector a(3, 4, 0), b(1, 0, 0);
    a.length();
    b.length();
    b = a;
    EXPECT_EQ(b.len, 1.0f);  // assignment leaves the cached length
}

TEST(MeshBuild, FlagNamesBoxCentroidsAndVertexNormals)
{
    Captured out;
    auto m = named::tetrahedron();
    EXPECT_EQ(printed(out,
                      [&] {
                          m->build({MESH_BB, 99, MESH_CENTRE, 0, MESH_EDGE_LIST}, out);
                      }),
              "BUILDING: MESH_BB MESH_CENTRE \n\n");
    auto e = named::empty();
    EXPECT_EQ(printed(out,
                      [&] {
                          e->build({MESH_CENTRE, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB, MESH_TEXCOORDS}, out);
                      }),
              "BUILDING: MESH_CENTRE MESH_EDGE_LIST MESH_VERTEX_NORMALS MESH_BB MESH_TEXCOORDS \n\n");
    EXPECT_EQ(e->edge_count, 0);
    EXPECT_EQ(e->extent, 1.0f);

    m = named::make({{0, 0, 0}, {1, 1, 1}, {1, 0, 0}}, {{0, 1, 2}});
    printed(out, [&] { m->build({MESH_BB, MESH_CENTRE, MESH_CENTROIDS}, out); });
    EXPECT_EQ(m->extent, 1.0f);
    EXPECT_EQ(m->bbox[0], Vector(1, 0, 1));
    EXPECT_EQ(m->bbox[4], Vector(0, 0, 0));
    EXPECT_EQ(m->bbox[1], Vector(1, 1, 1));
    EXPECT_EQ(m->centre, Vector(0.5f, 0.5f, 0.5f));
    EXPECT_FLOAT_EQ(m->centroids[0].x, 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(m->centroids[0].z, 1.0f / 3.0f);

    // Vertex 0 is met by faces with normals (1,0,0), (1,0,0), (0,1,0) in that
    // order: later faces weigh more.
    m = named::make({{0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 2, 0}, {0, 0, 2}, {1, 0, 0}, {0, 0, 1}},
                    {{0, 1, 2}, {0, 3, 4}, {0, 6, 5}});
    printed(out, [&] { m->build({MESH_VERTEX_NORMALS}, out); });
    EXPECT_EQ(m->faces[2].normal, Vector(0, 1, 0));
    EXPECT_FLOAT_EQ(m->vertex_normals[0].x, 1.0f / std::sqrt(2.0f));
    EXPECT_FLOAT_EQ(m->vertex_normals[0].y, 1.0f / std::sqrt(2.0f));
}

TEST(MeshCopy, AssignCopiesGeometryAndRepointsFaces)
{
    auto m = named::tetrahedron();
    m->vertex_colours[2] = Vector(0.5f, 0.25f, 1.0f, 1.0f);
    m->faces[1].marked = 1;
    Mesh copy;
    copy.assign(*m);
    EXPECT_EQ(copy.nf, 4);
    EXPECT_EQ(copy.vertex_colours[2], m->vertex_colours[2]);
    for (int i = 0; i < copy.nf; ++i) {
        EXPECT_EQ(copy.face_list[i], &copy.faces[i]);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(copy.faces[i].v[k], &copy.vertices[copy.faces[i].vi[k]]);
    }
    EXPECT_EQ(copy.faces[1].marked, 0);
    auto cloned = m->clone();
    EXPECT_EQ(cloned->faces[1].marked, 1);
    EXPECT_EQ(cloned->faces[0].v[0], &cloned->vertices[0]);

    // The clone is on its own: changing it leaves the original alone, and
    // its corners follow its own corner indices into its own vertices.
    cloned->vertices[0].x = 9.0f;
    std::swap(cloned->faces[2].vi[1], cloned->faces[2].vi[2]);
    cloned->faces[3].colour = Vector(1.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_NE(m->vertices[0].x, 9.0f);
    EXPECT_NE(m->faces[2].vi[1], cloned->faces[2].vi[1]);
    EXPECT_NE(m->faces[3].colour, cloned->faces[3].colour);
    for (int i = 0; i < cloned->nf; ++i)
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(cloned->faces[i].v[k], &cloned->vertices[cloned->faces[i].vi[k]]);
            EXPECT_EQ(m->faces[i].v[k], &m->vertices[m->faces[i].vi[k]]);
        }
}

// A copy by value is the whole mesh, derived data included, and every
// pointer in it leads into the copy's own arrays, so it outlives the original.
TEST(MeshCopy, CopyByValueIsWholeAndStandsAlone)
{
    Captured console;
    auto m = named::non_manifold_edge();
    m->build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB}, console);
    m->faces[2].group = 3;
    m->picked_face = 2;
    auto copy = std::make_unique<Mesh>(*m);
    Mesh assigned;
    assigned = *copy;
    // The edges every neighbour list names, list after list.
    const auto edges_named = [](const Mesh& mesh, const NeighbourLists& lists) {
        std::vector<int> named_edges;
        for (std::size_t i = 0; i < lists.size(); ++i)
            for (const int* p : lists[i]) named_edges.push_back(mesh.edge_of(p));
        return named_edges;
    };
    const std::vector<int> vertex_edges = edges_named(*m, m->vertex_neighbours);
    const std::vector<int> face_edges = edges_named(*m, m->face_neighbours);
    m.reset();
    for (const Mesh* c : {copy.get(), &assigned}) {
        EXPECT_EQ(c->faces[2].group, 3);
        EXPECT_EQ(c->picked_face, 2);
        EXPECT_TRUE(c->is_current(MESH_EDGE_LIST)) << "what was built stays built";
        EXPECT_FALSE(c->edge_more_faces.empty());
        for (int i = 0; i < c->nf; ++i) {
            EXPECT_EQ(c->face_list[i], &c->faces[i]);
            for (int k = 0; k < 3; ++k) EXPECT_EQ(c->faces[i].v[k], &c->vertices[c->faces[i].vi[k]]);
        }
        const std::vector<int> vertex_seen = edges_named(*c, c->vertex_neighbours);
        const std::vector<int> face_seen = edges_named(*c, c->face_neighbours);
        EXPECT_EQ(vertex_seen, vertex_edges);
        EXPECT_EQ(face_seen, face_edges);
        EXPECT_EQ(std::count(vertex_seen.begin(), vertex_seen.end(), -1), 0);
    }
}

TEST(MeshStaleness, ToolsSeeWhenDerivedDataIsOld)
{
    Captured out;
    auto m = named::two_triangles();
    EXPECT_EQ(printed(out,
                      [&] {
                          m->build({MESH_CENTROIDS, MESH_EDGE_LIST}, out);
                          m->build_stale({MESH_CENTROIDS}, out);
                      }),
              "BUILDING: MESH_CENTROIDS MESH_EDGE_LIST \n\n");
    m->vertices[3].x = 4.0f;
    m->touch();
    EXPECT_EQ(printed(out,
                      [&] {
                          m->build_stale({MESH_CENTROIDS, MESH_BB}, out);
                      }),
              "BUILDING: MESH_CENTROIDS MESH_BB \n\n");
    EXPECT_FLOAT_EQ(m->centroids[1].x, 5.0f / 3.0f);
}

TEST(FaceIntersect, SegmentThroughFaceAndEdgeCases)
{
    auto m = named::single_triangle();
    Face& f = m->faces[0];
    Vector hit;
    ASSERT_TRUE(f.intersect_segment(Vector(0.25f, 0.25f, 1), Vector(0.25f, 0.25f, -1), hit));
    EXPECT_EQ(hit, Vector(0.25f, 0.25f, 0));
    EXPECT_TRUE(f.intersect_segment(Vector(0.5f, 0, 1), Vector(0.5f, 0, -1), hit));            // on an edge
    EXPECT_FALSE(f.intersect_segment(Vector(1, 1, 1), Vector(1, 1, -1), hit));                 // outside
    EXPECT_FALSE(f.intersect_segment(Vector(0.25f, 0.25f, 1), Vector(0.25f, 0.25f, 0), hit));  // ends on it
}

TEST(ObjWriter, TextConsoleAndFailures)
{
    Captured out;
    TempDir dir;
    auto m = named::single_triangle();
    EXPECT_EQ(printed(out, [&] { EXPECT_TRUE(m->write_obj(dir.file("t.obj"), out)); }),
              "3, 1\n\tMESH: Saving " + dir.file("t.obj") + "... done...\n");
    EXPECT_EQ(slurp(dir.file("t.obj")), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/1/ 2/2/ 3/3/\n");

    Mesh empty;
    EXPECT_EQ(printed(out, [&] { EXPECT_FALSE(empty.write_obj(dir.file("e.obj"), out)); }), "0, 0\n");
    EXPECT_EQ(slurp(dir.file("e.obj")), "");
    // A directory cannot be opened as a file; /dev/full takes no bytes.
    for (const std::string& path : {dir.path(), std::string("/dev/full")}) {
        const std::string text = printed(out, [&] { EXPECT_FALSE(m->write_obj(path, out)); });
        EXPECT_NE(text.find("ERROR"), std::string::npos) << text;
        EXPECT_NE(text.find(path), std::string::npos) << text;
        EXPECT_EQ(text.find(" done..."), std::string::npos);
    }
}

namespace {

std::uint32_t bit_pattern(float f)
{
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

std::array<std::uint32_t, 3> bits(const Vector& v)
{
    return {bit_pattern(v.x), bit_pattern(v.y), bit_pattern(v.z)};
}

}  // namespace

TEST(ObjWriter, RoundTripKeepsEveryCoordinateColourAndMorphogenExactly)
{
    Captured out;
    TempDir dir;
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> any(-1e7f, 1e7f);
    std::vector<Vector> points{{4512345.67f, 1e-5f, -3.3f}, {8388608.0f, 1e-38f, 0.1f}, {-0.0f, 1.0f / 3.0f, 7}};
    for (int i = 0; i < 200; ++i) points.emplace_back(any(rng), any(rng) * 1e-9f, any(rng) * 1e-30f);
    std::vector<std::vector<int>> tris;
    for (int i = 0; i + 2 < int(points.size()); ++i) tris.push_back({i, i + 1, i + 2});
    auto m = named::make(points, tris);
    m->morphogen_names = {"alpha", "beta"};
    m->allocate_morphogens(m->nv, 2);
    for (int i = 0; i < m->nv; ++i) {
        m->vertex_colours[i] = Vector(any(rng) * 1e-7f, 1.0f / float(i + 3), -0.0f);
        m->morphogen_values[i] = {any(rng), any(rng) * 1e-33f};
    }
    m->has_colours = true;
    Mesh back;
    printed(out, [&] { ASSERT_TRUE(m->write_obj(dir.file("r.obj"), out) && back.read_obj(dir.file("r.obj"), out)); });
    ASSERT_EQ(back.nv, m->nv);
    ASSERT_EQ(back.nf, m->nf);
    EXPECT_TRUE(back.has_colours);
    EXPECT_EQ(back.morphogen_names, m->morphogen_names);
    for (int i = 0; i < m->nv; ++i) {
        EXPECT_EQ(bits(back.vertices[i]), bits(m->vertices[i])) << i;
        EXPECT_EQ(back.vertices[i].w, 1.0f);
        EXPECT_EQ(bits(back.vertex_colours[i]), bits(m->vertex_colours[i])) << i;
        for (int k = 0; k < 2; ++k)
            EXPECT_EQ(bit_pattern(back.morphogen_values[i][k]), bit_pattern(m->morphogen_values[i][k])) << i;
    }
    EXPECT_EQ(corners(back), corners(*m));

    // Colours that were never read or made are not written; nor is a file
    // our reader would refuse, and the old file stays.
    m->has_colours = false;
    printed(out, [&] { ASSERT_TRUE(m->write_obj(dir.file("r.obj"), out)); });
    const std::string written = slurp(dir.file("r.obj"));
    EXPECT_EQ(written.find("\nvc "), std::string::npos);
    m->morphogen_values[5][1] = std::numeric_limits<float>::infinity();
    const std::string said = printed(out, [&] { EXPECT_FALSE(m->write_obj(dir.file("r.obj"), out)); });
    EXPECT_NE(said.find("vertex 6 has a morphogen value that is not a finite number; nothing written"),
              std::string::npos)
        << said;
    EXPECT_EQ(slurp(dir.file("r.obj")), written);
}
