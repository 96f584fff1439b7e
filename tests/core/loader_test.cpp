#include <gtest/gtest.h>

#include "core/Mesh.h"
#include "core/MeshLoader.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/TempDir.h"

TEST(Loader, ChoosesReaderByLastFourCharacters)
{
    EXPECT_EQ(mesh_format_of("a.obj"), MeshFormat::Obj);
    EXPECT_EQ(mesh_format_of("A.OBJ"), MeshFormat::Obj);
    EXPECT_EQ(mesh_format_of("x.objx"), MeshFormat::Obj);
    EXPECT_EQ(mesh_format_of("b.net"), MeshFormat::Net);
    EXPECT_EQ(mesh_format_of("obj.txt"), MeshFormat::None);
    EXPECT_EQ(mesh_format_of("ob"), MeshFormat::None);
}

TEST(Loader, BuildsDerivedDataAndOrientsDegenerateFaces)
{
    TempDir dir;
    Mesh m;
    testing::internal::CaptureStdout();
    const LoadResult r = load_mesh_file(
        m, dir.write("t.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 2 0 0\nf 1 2 3\nf 1 2 4\n"));
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_EQ(r, LoadResult::Loaded);
    EXPECT_NE(out.find("BUILDING: MESH_CENTRE MESH_CENTROIDS MESH_EDGE_LIST MESH_VERTEX_NORMALS MESH_BB \n\n"
                       "BUILDING: MESH_VERTEX_NORMALS \n\n"),
              std::string::npos)
        << out;
    // A proper face is left alone; the collinear one has its last two corners swapped.
    EXPECT_EQ(m.faces[0].vi[1], 1);
    EXPECT_EQ(m.faces[1].vi[1], 3);
    EXPECT_EQ(m.faces[1].v[1], &m.vertices[3]);
    EXPECT_EQ(m.edge_count, 5);
    EXPECT_EQ(m.extent, 2.0f);
}

TEST(Loader, RejectedFileLeavesEmptyMeshUnknownNameKeepsOld)
{
    TempDir dir;
    auto m = named::tetrahedron();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(load_mesh_file(*m, dir.file("t.txt")), LoadResult::NotAMesh);
    EXPECT_EQ(m->nf, 4);
    EXPECT_EQ(load_mesh_file(*m, dir.write("bad.obj", "v 1 2\n")), LoadResult::Failed);
    EXPECT_EQ(m->nv, 0);
    EXPECT_EQ(load_mesh_file(*m, dir.file("missing.net")), LoadResult::Failed);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("ERROR Opening File: "), std::string::npos);
}
