#include <gtest/gtest.h>

#include "processing/Picking.h"
#include "tests/support/NamedMeshes.h"

// The segments here are in the frame the mesh is drawn in: model
// coordinates less the mesh's centre.

TEST(Picking, NearestFaceAlongTheSegmentWins)
{
    auto m = named::stacked_pair();  // face 0 at z = 0, face 1 at z = 1
    m->build({MESH_CENTRE});
    const Vector c = m->centre;
    const Vector above = Vector(0.25f, 0.25f, 5.0f) - c, below = Vector(0.25f, 0.25f, -5.0f) - c;
    EXPECT_TRUE(pick_face(*m, above, below));
    EXPECT_EQ(m->picked_face, 2);
    EXPECT_TRUE(pick_face(*m, below, above));
    EXPECT_EQ(m->picked_face, 1);
}

TEST(Picking, AMissKeepsThePreviousPick)
{
    auto m = named::two_triangles();
    m->build({MESH_CENTRE});
    EXPECT_FALSE(pick_face(*m, Vector(0, 0, 5), Vector(0, 0, 4)));  // stops short of the plane
    EXPECT_EQ(m->picked_face, -1);
    EXPECT_TRUE(pick_face(*m, Vector(0.25f, 0.25f, 1), Vector(0.25f, 0.25f, -1)));
    EXPECT_EQ(m->picked_face, 2) << "the second face holds the centre's upper right";
    EXPECT_FALSE(pick_face(*m, Vector(3, 3, 1), Vector(3, 3, -1)));
    EXPECT_EQ(m->picked_face, 2);
}

TEST(Picking, FarFromTheOriginThePointedFaceIsPicked)
{
    auto m = named::two_triangles();
    for (Vector& p : m->vertices) p += Vector(10000.0f, -20000.0f, 5000.0f, 0.0f);
    m->build({MESH_CENTRE});
    // Drawn frame: the square spans -0.5 .. 0.5 around the origin.
    EXPECT_TRUE(pick_face(*m, Vector(-0.25f, -0.25f, 3), Vector(-0.25f, -0.25f, -3)));
    EXPECT_EQ(m->picked_face, 1);
    EXPECT_TRUE(pick_face(*m, Vector(0.25f, 0.25f, 3), Vector(0.25f, 0.25f, -3)));
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
