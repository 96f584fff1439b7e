#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"

TEST(MeshBuild, PrintsFlagNamesInOrderAndSkipsUnknown)
{
    auto m = named::tetrahedron();
    testing::internal::CaptureStdout();
    m->build({MESH_BB, 99, MESH_CENTRE, 0, MESH_EDGE_LIST});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "BUILDING: MESH_BB MESH_CENTRE \n\n");
}

TEST(MeshBuild, EmptyMeshPrintsAndChangesNothing)
{
    auto m = named::empty();
    testing::internal::CaptureStdout();
    m->build({MESH_CENTRE, MESH_CENTROIDS, MESH_EDGE_LIST, MESH_VERTEX_NORMALS, MESH_BB, MESH_TEXCOORDS});
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "BUILDING: MESH_CENTRE MESH_CENTROIDS MESH_EDGE_LIST MESH_VERTEX_NORMALS MESH_BB MESH_TEXCOORDS \n\n");
    EXPECT_EQ(m->edge_count, 0);
    EXPECT_EQ(m->extent, 1.0f);
}

TEST(MeshBuild, BoxOfUnitCube)
{
    auto m = named::make({{0, 0, 0}, {1, 1, 1}, {1, 0, 0}}, {{0, 1, 2}});
    printed([&] { m->build({MESH_BB, MESH_CENTRE, MESH_CENTROIDS}); });
    EXPECT_EQ(m->extent, 1.0f);
    EXPECT_EQ(m->bbox[0], Vector(1, 0, 1));
    EXPECT_EQ(m->bbox[4], Vector(0, 0, 0));
    EXPECT_EQ(m->bbox[1], Vector(1, 1, 1));
    EXPECT_EQ(m->centre, Vector(0.5f, 0.5f, 0.5f));
    EXPECT_FLOAT_EQ(m->centroids[0].x, 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(m->centroids[0].z, 1.0f / 3.0f);
}

TEST(MeshBuild, VertexNormalsWeighLaterFacesMore)
{
    // Vertex 0 is met by faces with normals (1,0,0), (1,0,0), (0,1,0) in that order.
    auto m = named::make({{0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 2, 0}, {0, 0, 2}, {1, 0, 0}, {0, 0, 1}},
                         {{0, 1, 2}, {0, 3, 4}, {0, 6, 5}});
    printed([&] { m->build({MESH_VERTEX_NORMALS}); });
    EXPECT_EQ(m->faces[0].normal, Vector(1, 0, 0));
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
    EXPECT_EQ(copy.nv, 4);
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
}

TEST(MeshStaleness, ToolsSeeWhenDerivedDataIsOld)
{
    auto m = named::two_triangles();
    testing::internal::CaptureStdout();
    m->build({MESH_CENTROIDS, MESH_EDGE_LIST});
    EXPECT_TRUE(m->is_current(MESH_CENTROIDS));
    m->build_stale({MESH_CENTROIDS});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "BUILDING: MESH_CENTROIDS MESH_EDGE_LIST \n\n");
    m->vertices[3].x = 4.0f;
    m->touch();
    EXPECT_FALSE(m->is_current(MESH_CENTROIDS));
    testing::internal::CaptureStdout();
    m->build_stale({MESH_CENTROIDS, MESH_BB});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "BUILDING: MESH_CENTROIDS MESH_BB \n\n");
    EXPECT_FLOAT_EQ(m->centroids[1].x, 5.0f / 3.0f);
}

TEST(FaceIntersect, SegmentThroughFaceAndEdgeCases)
{
    auto m = named::single_triangle();
    Face& f = m->faces[0];
    Vector hit;
    ASSERT_TRUE(f.intersect_segment(Vector(0.25f, 0.25f, 1), Vector(0.25f, 0.25f, -1), hit));
    EXPECT_EQ(hit, Vector(0.25f, 0.25f, 0));
    // On an edge counts as inside.
    EXPECT_TRUE(f.intersect_segment(Vector(0.5f, 0, 1), Vector(0.5f, 0, -1), hit));
    // Outside the triangle.
    EXPECT_FALSE(f.intersect_segment(Vector(1, 1, 1), Vector(1, 1, -1), hit));
    // Ending exactly on the plane.
    EXPECT_FALSE(f.intersect_segment(Vector(0.25f, 0.25f, 1), Vector(0.25f, 0.25f, 0), hit));
}
