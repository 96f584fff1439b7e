#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "processing/EdgeTraversal.h"
#include "tests/support/NamedMeshes.h"

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
    EdgeTraversal t(m.get());
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
    EdgeTraversal t(m.get());
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
    EdgeTraversal t(m.get());
    EXPECT_EQ(walk(*m, t, 0, 5000, 1), 16);
    for (int i = 0; i < m->nf; ++i) {
        const Face& f = m->faces[i];
        EXPECT_EQ(f.marked, f.v[0]->z == 0 && f.v[1]->z == 0 && f.v[2]->z == 0 ? 1 : 0) << "face " << i;
    }
    EXPECT_EQ(walk(*m, t, 0, 5000, 90), 16) << "a right angle is not below 90";
    EXPECT_EQ(walk(*m, t, 0, 5000, 91), m->nf);

    // A face wound the other way is no bend.
    auto flipped = named::flipped_pair();
    EdgeTraversal f(flipped.get());
    EXPECT_EQ(walk(*flipped, f, 0, 1, 1), 1);
    EXPECT_LT(flipped->faces[0].normal.dot(flipped->faces[1].normal), -0.99f);
}

TEST(EdgeTraversal, CommitsNumberGroupsAndColourThem)
{
    auto m = named::open_grid(2);
    EdgeTraversal t(m.get());
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
    m->build({MESH_EDGE_LIST, MESH_FACE_NORMALS});
    m->assign(*named::open_grid(3));
    EdgeTraversal t(m.get());
    EXPECT_EQ(walk(*m, t, 0, 5000, 1), m->nf);
    EXPECT_EQ(m->edge_table.face_links.size(), std::size_t(m->nf));
}
