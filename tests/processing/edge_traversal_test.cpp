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
    EXPECT_EQ(t.depth, 0);
    EXPECT_EQ(t.angle, 360);

    // Marks from an earlier walk go, even when nothing is picked.
    EXPECT_GT(walk(*m, t, 4, 3, 10), 0);
    m->picked_face = -1;
    EXPECT_EQ(t.traverse(5, 20), 0);
    EXPECT_EQ(marked_count(*m), 0);
    EXPECT_EQ(t.depth, 5);
    EXPECT_EQ(t.angle, 20);
    m->picked_face = m->nf + 1;
    EXPECT_EQ(t.traverse(5, 20), 0);
}

TEST(EdgeTraversal, RingsAndTheStartFace)
{
    auto m = named::open_grid(2);
    EdgeTraversal t(m.get());
    const int start = 0;
    const int first_ring = walk(*m, t, start, 1, 1);
    EXPECT_EQ(first_ring, int(m->edge_table.face_links[start].size()));
    EXPECT_EQ(m->faces[start].marked, 0) << "the start face is not marked before the walk returns to it";
    for (const int s : m->edge_table.face_links[start]) EXPECT_EQ(m->faces[s].marked, 1);

    walk(*m, t, start, 2, 1);
    EXPECT_EQ(m->faces[start].marked, 1);
    EXPECT_EQ(walk(*m, t, start, 5000, 1), m->nf) << "a flat patch is covered whole";
}

TEST(EdgeTraversal, AngleStopsAtAFoldUnlessAbove90)
{
    auto m = named::folded_grid(4);  // x < 2 flat, the rest standing up
    EdgeTraversal t(m.get());
    EXPECT_EQ(walk(*m, t, 0, 5000, 1), 16);
    for (int i = 0; i < m->nf; ++i) {
        const Face& f = m->faces[i];
        const bool flat = f.v[0]->z == 0 && f.v[1]->z == 0 && f.v[2]->z == 0;
        EXPECT_EQ(f.marked, flat ? 1 : 0) << "face " << i;
    }
    EXPECT_EQ(walk(*m, t, 0, 5000, 90), 16) << "a right angle is not below 90";
    EXPECT_EQ(walk(*m, t, 0, 5000, 91), m->nf);
    EXPECT_EQ(walk(*m, t, 0, 5000, 360), m->nf);
}

TEST(EdgeTraversal, ReversedNormalCountsAsNoBend)
{
    auto m = named::flipped_pair();
    EdgeTraversal t(m.get());
    EXPECT_EQ(walk(*m, t, 0, 1, 1), 1);
    EXPECT_EQ(m->faces[1].marked, 1);
    EXPECT_LT(m->faces[0].normal.dot(m->faces[1].normal), -0.99f);
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
    Vector colour;
    int in_group = 0;
    for (const Face& f : m->faces) {
        if (f.group != 1) continue;
        if (in_group++ == 0) colour = f.colour;
        EXPECT_EQ(f.colour, colour);
    }
    EXPECT_EQ(in_group, marked);
    // Full saturation and value: one channel at 1, one at 0.
    EXPECT_EQ(std::max({colour.x, colour.y, colour.z}), 1.0f);
    EXPECT_EQ(std::min({colour.x, colour.y, colour.z}), 0.0f);

    t.commit();  // nothing marked: only the count moves on
    EXPECT_EQ(t.group_count, 2);
    for (const Face& f : m->faces) EXPECT_NE(f.group, 2);

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
    auto grid = named::open_grid(3);
    m->assign(*grid);
    EdgeTraversal t(m.get());
    EXPECT_EQ(walk(*m, t, 0, 5000, 1), m->nf);
    EXPECT_EQ(m->edge_table.face_links.size(), std::size_t(m->nf));
}

TEST(EdgeTraversal, HueColours)
{
    EXPECT_EQ(hue_colour(0), Vector(1, 0, 0));
    EXPECT_EQ(hue_colour(120), Vector(0, 1, 0));
    EXPECT_EQ(hue_colour(240), Vector(0, 0, 1));
    EXPECT_EQ(hue_colour(360), Vector(1, 0, 0));
    EXPECT_EQ(hue_colour(30), Vector(1, 0.5f, 0));
    EXPECT_EQ(hue_colour(300), Vector(1, 0, 1));
}
