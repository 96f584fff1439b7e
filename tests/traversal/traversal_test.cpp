// Region growing over edges, the export of its groups, and picking the face it starts from.
#include <algorithm>
#include <cmath>
#include <fstream>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"
#include "traversal/EdgeTraversal.h"
#include "traversal/pick_face.h"

namespace {

int marked_count(const Mesh& m)
{
    return int(std::count_if(m.faces.begin(), m.faces.end(), [](const Face& f) { return f.marked != 0; }));
}

// Picks face `index` (0-based) and traverses.
int walk(Mesh& m, EdgeTraversal& t, int index, int depth, int angle)
{
    m.picked_face = index + 1;
    return t.traverse(depth, angle);
}

struct Export {
    int failed;
    std::string console;
};

// Exports the groups 1 ... `groups` of `m` into `dir`.
Export run_export(Mesh& m, int groups, const TempDir& dir)
{
    Captured console;
    EdgeTraversal t(&m, console);
    t.group_count = groups;
    Export e{0, ""};
    e.console = printed(console, [&] { e.failed = t.export_groups(dir.path()); });
    return e;
}

}  // namespace

TEST(EdgeTraversal, BendFoldsIntoZeroToNinety)
{
    const Vector up(0, 0, 1);
    EXPECT_FLOAT_EQ(bend_degrees(up, up), 0.0f);
    EXPECT_FLOAT_EQ(bend_degrees(up, Vector(0, 0, -1)), 0.0f);
    EXPECT_NEAR(bend_degrees(up, Vector(1, 0, 0)), 90.0f, 1e-4f);
    EXPECT_NEAR(bend_degrees(up, Vector(0, std::sin(2.0944f), std::cos(2.0944f))), 60.0f, 1e-3f);
    // A product a hair above 1 is still no bend at all.
    const Vector longer(0, 0, 1.0000002f);
    EXPECT_EQ(bend_degrees(longer, longer), 0.0f);
    EXPECT_TRUE(std::isnan(bend_degrees(up, Vector(NAN, 0, 0))));
}

TEST(EdgeTraversal, DepthAndPickDecideWhetherAnythingRuns)
{
    auto m = named::open_grid(3);
    Captured console;
    EdgeTraversal t(m.get(), console);
    EXPECT_EQ(walk(*m, t, 4, 0, 360), 0);
    // Marks from an earlier walk go, even when nothing is picked.
    EXPECT_GT(walk(*m, t, 4, 3, 10), 0);
    EXPECT_EQ(walk(*m, t, -2, 5, 20), 0);
    EXPECT_EQ(marked_count(*m), 0);
    EXPECT_EQ(t.depth, 5);
    EXPECT_EQ(t.angle, 20);
    EXPECT_EQ(walk(*m, t, m->nf, 5, 20), 0);
}

TEST(EdgeTraversal, RingsAndTheStartFace)
{
    auto m = named::open_grid(2);
    Captured console;
    EdgeTraversal t(m.get(), console);
    const int first_ring = walk(*m, t, 0, 1, 1);  // builds the edge list read below
    EXPECT_EQ(first_ring, int(m->edge_table.face_links[0].size()));
    EXPECT_EQ(m->faces[0].marked, 0) << "the start face is not marked before the walk returns to it";
    for (const int s : m->edge_table.face_links[0]) EXPECT_EQ(m->faces[s].marked, 1);
    walk(*m, t, 0, 2, 1);
    EXPECT_EQ(m->faces[0].marked, 1);
    EXPECT_EQ(walk(*m, t, 0, 5000, 1), m->nf) << "a flat patch is covered whole";
}

TEST(EdgeTraversal, AngleStopsAtAFoldUnlessAbove90)
{
    auto m = named::folded_grid(4);  // x < 2 flat, the rest standing up
    Captured console;
    EdgeTraversal t(m.get(), console);
    EXPECT_EQ(walk(*m, t, 0, 5000, 1), 16);
    for (int i = 0; i < m->nf; ++i) {
        const Face& f = m->faces[i];
        EXPECT_EQ(f.marked, f.v[0]->z == 0 && f.v[1]->z == 0 && f.v[2]->z == 0 ? 1 : 0) << "face " << i;
    }
    EXPECT_EQ(walk(*m, t, 0, 5000, 90), 16) << "a right angle is not below 90";
    EXPECT_EQ(walk(*m, t, 0, 5000, 91), m->nf);

    // A face wound the other way is no bend.
    auto flipped = named::flipped_pair();
    EdgeTraversal f(flipped.get(), console);
    EXPECT_EQ(walk(*flipped, f, 0, 1, 1), 1);
    EXPECT_LT(flipped->faces[0].normal.dot(flipped->faces[1].normal), -0.99f);
}

TEST(EdgeTraversal, CommitsNumberGroupsAndColourThem)
{
    auto m = named::open_grid(2);
    Captured console;
    EdgeTraversal t(m.get(), console);
    walk(*m, t, 0, 1, 1);
    const int marked = marked_count(*m);
    t.commit();
    EXPECT_EQ(t.group_count, 1);
    EXPECT_EQ(marked_count(*m), 0);
    std::vector<Vector> colours;
    for (const Face& f : m->faces)
        if (f.group == 1) colours.push_back(f.colour);
    ASSERT_EQ(int(colours.size()), marked);
    EXPECT_EQ(std::count(colours.begin(), colours.end(), colours[0]), marked);
    // Full saturation and value: one channel at 1, one at 0.
    const Vector& c = colours[0];
    EXPECT_EQ(std::max({c.x, c.y, c.z}), 1.0f);
    EXPECT_EQ(std::min({c.x, c.y, c.z}), 0.0f);

    t.commit();  // nothing marked: only the count moves on
    EXPECT_EQ(t.group_count, 2);
    // A later walk can take faces over into a new group.
    walk(*m, t, 0, 5000, 1);
    t.commit();
    for (const Face& f : m->faces) EXPECT_EQ(f.group, 3);
}

TEST(EdgeTraversal, WalksTheFacesAsTheyAreNow)
{
    // The mesh first has one face with its edge list and normals built;
    // then its faces are replaced, as subdivision does, with nothing rebuilt.
    auto m = named::single_triangle();
    Captured console;
    m->build({MESH_EDGE_LIST, MESH_FACE_NORMALS}, console);
    m->assign(*named::open_grid(3));
    EdgeTraversal t(m.get(), console);
    EXPECT_EQ(walk(*m, t, 0, 5000, 1), m->nf);
    EXPECT_EQ(m->edge_table.face_links.size(), std::size_t(m->nf));
}

TEST(SegmentedExport, NoGroupWritesTheWholeMeshAndAnEmptySegmentedFile)
{
    auto m = named::two_triangles();
    TempDir dir;
    const Export e = run_export(*m, 0, dir);
    EXPECT_EQ(e.failed, 0);
    EXPECT_EQ(e.console, "Saving: " + dir.file("non-segemented.obj") + " v:4 f:6\n" + "Saving: " +
                             dir.file("segemented.obj") + " v:0 f:0\n" + "Segmented export: 0 of 2 files failed\n");
    EXPECT_EQ(slurp(dir.file("non-segemented.obj")),
              "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n"
              "f 3/3/3 2/2/2 1/1/1\nf 3/3/3 4/4/4 2/2/2\n");
    EXPECT_EQ(slurp(dir.file("segemented.obj")), "");
    EXPECT_FALSE(std::ifstream(dir.file("object_1.obj")).good());
}

TEST(SegmentedExport, OneFilePerGroupNumber)
{
    auto m = named::open_grid(2);  // 8 faces
    m->faces[1].group = 2;
    m->faces[2].group = 2;
    m->faces[5].group = 3;
    TempDir dir;
    const Export e = run_export(*m, 3, dir);
    EXPECT_EQ(e.failed, 0);
    for (const char* line :
         {"non-segemented.obj v:7 f:15\n", "object_1.obj v:0 f:0\n", "object_2.obj v:6 f:6\n", "object_3.obj v:3 f:3\n",
          "/segemented.obj v:8 f:9\n", "Segmented export: 0 of 5 files failed\n"})
        EXPECT_NE(e.console.find(line), std::string::npos) << line << e.console;
    EXPECT_LT(e.console.find("object_3.obj"), e.console.find("/segemented.obj"));
    EXPECT_EQ(slurp(dir.file("object_1.obj")), "");
}

TEST(SegmentedExport, EqualPositionsMergeAndFloatsReadBack)
{
    auto m = named::split_pair();
    m->vertices[0] = Vector(0.1f, -0.0f, 1.0f / 3.0f);
    m->vertices[3] = Vector(1e-7f, 123456.79f, 0.0f);
    for (Face& f : m->faces) f.group = 1;
    TempDir dir;
    const Export e = run_export(*m, 1, dir);
    EXPECT_NE(e.console.find("object_1.obj v:4 f:6\n"), std::string::npos) << e.console;
    EXPECT_EQ(slurp(dir.file("object_1.obj")),
              "v 0.1 -0 0.33333334\nv 1 0 0\nv 0 1 0\nv 1e-07 123456.79 0\n"
              "f 3/3/3 2/2/2 1/1/1\nf 3/3/3 4/4/4 2/2/2\n");

    // -0 and 0 are one position.
    m->vertices[4] = Vector(1.0f, -0.0f, -0.0f);
    run_export(*m, 1, dir);
    EXPECT_EQ(slurp(dir.file("object_1.obj")).find("v 1 -0 -0"), std::string::npos);
}

TEST(SegmentedExport, AFileThatCannotBeWrittenIsReportedAndTheRestAreWritten)
{
    auto m = named::two_triangles();
    m->faces[1].group = 1;
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("object_1.obj").c_str(), 0755), 0);
    const Export e = run_export(*m, 1, dir);
    EXPECT_EQ(e.failed, 1);
    EXPECT_NE(e.console.find("ERROR: could not write " + dir.file("object_1.obj") + ": Is a directory"),
              std::string::npos)
        << e.console;
    EXPECT_NE(e.console.find("Saving: " + dir.file("segemented.obj") + " v:3 f:3\n"), std::string::npos);
    EXPECT_NE(e.console.find("Segmented export: 1 of 3 files failed\n"), std::string::npos);
    EXPECT_EQ(slurp(dir.file("non-segemented.obj")), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 3/3/3 2/2/2 1/1/1\n");
    EXPECT_EQ(slurp(dir.file("segemented.obj")), "v 1 0 0\nv 1 1 0\nv 0 1 0\nf 3/3/3 2/2/2 1/1/1\n");
}

TEST(SegmentedExport, AFailedWriteIsReported)
{
    if (!std::ifstream("/dev/full").good()) GTEST_SKIP() << "no /dev/full here";
    auto m = named::open_grid(2);
    TempDir dir;
    // A link to a device is written in place, and every write fails as on
    // a full disk.
    ASSERT_EQ(::symlink("/dev/full", dir.file("non-segemented.obj").c_str()), 0);
    const Export e = run_export(*m, 0, dir);
    EXPECT_EQ(e.failed, 1);
    EXPECT_NE(e.console.find("ERROR: could not write " + dir.file("non-segemented.obj") + ": No space left on device"),
              std::string::npos)
        << e.console;
    EXPECT_NE(e.console.find("Segmented export: 1 of 2 files failed\n"), std::string::npos) << e.console;
}

// The segments here are in the frame the mesh is drawn in: model
// coordinates less the mesh's centre.

TEST(Picking, AMissKeepsThePreviousPick)
{
    auto m = named::two_triangles();
    Captured console;
    m->build({MESH_CENTRE}, console);
    EXPECT_FALSE(pick_face(*m, Vector(0, 0, 5), Vector(0, 0, 4)));  // stops short of the plane
    EXPECT_EQ(m->picked_face, -1);
    EXPECT_TRUE(pick_face(*m, Vector(0.25f, 0.25f, 1), Vector(0.25f, 0.25f, -1)));
    EXPECT_EQ(m->picked_face, 2) << "the second face holds the centre's upper right";
    EXPECT_FALSE(pick_face(*m, Vector(3, 3, 1), Vector(3, 3, -1)));
    EXPECT_EQ(m->picked_face, 2);
}

TEST(Picking, DegenerateFacesAreNeverPickedAndTiesKeepTheLowerNumber)
{
    // Face 0 has all corners on one line through the ray's path, face 1 is
    // a point, face 2 is a real triangle behind them, face 3 repeats face 2.
    auto m = named::make({{-1, 0, 1}, {1, 0, 1}, {0, 0, 1}, {0, 0, 0.5f}, {-1, -1, 0}, {2, -1, 0}, {-1, 2, 0}},
                         {{0, 1, 2}, {3, 3, 3}, {4, 5, 6}, {4, 5, 6}});
    const Vector from(0, 0, 3), to(0, 0, -3);  // centre left at the origin
    EXPECT_TRUE(pick_face(*m, from, to));
    EXPECT_EQ(m->picked_face, 3);

    auto flat = named::make({{-1, 0, 0}, {1, 0, 0}, {0, 0, 0}}, {{0, 1, 2}});
    EXPECT_FALSE(pick_face(*flat, from, to));
    EXPECT_EQ(flat->picked_face, -1);
}

TEST(Picking, FaceNormalsFollowTheCorners)
{
    auto m = named::single_triangle();
    m->faces[0].normal = Vector(1, 0, 0, 0);  // as smoothing may leave it
    pick_face(*m, Vector(5, 5, 1), Vector(5, 5, -1));
    EXPECT_EQ(m->faces[0].normal, Vector(0, 0, 1));
}

TEST(EdgeTraversal, CrossesEdgesOfThreeFaces)
{
    // The fin (face 2) on the edge of faces 0 and 1 once had no neighbour.
    auto fin = named::non_manifold_edge();
    Captured console;
    printed(console, [&] { fin->build({MESH_EDGE_LIST, MESH_FACE_NORMALS}, console); });
    EdgeTraversal t(fin.get(), console);
    EXPECT_EQ(walk(*fin, t, 2, 1, 180), 2);
    EXPECT_TRUE(fin->faces[0].marked && fin->faces[1].marked);
    EXPECT_EQ(walk(*fin, t, 0, 1, 180), 2);
    EXPECT_TRUE(fin->faces[1].marked && fin->faces[2].marked);
    EXPECT_EQ(walk(*fin, t, 0, 2, 180), 3);  // and back to the start
}
