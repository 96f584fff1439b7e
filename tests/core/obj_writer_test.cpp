#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "core/Mesh.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/TempDir.h"

TEST(ObjWriter, DesignExampleTextAndConsole)
{
    TempDir dir;
    auto m = named::single_triangle();
    testing::internal::CaptureStdout();
    EXPECT_TRUE(m->write_obj(dir.file("t.obj")));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "3, 1\n\tMESH: Saving " + dir.file("t.obj") + "... done...\n");
    EXPECT_EQ(slurp(dir.file("t.obj")), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/1/ 2/2/ 3/3/\n");
}

TEST(ObjWriter, EmptyMeshWritesNothing)
{
    TempDir dir;
    Mesh m;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(m.write_obj(dir.file("e.obj")));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "0, 0\n");
    EXPECT_EQ(slurp(dir.file("e.obj")), "");
}

TEST(ObjWriter, FailedOpenAndFailedWriteAreReported)
{
    TempDir dir;
    auto m = named::single_triangle();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(m->write_obj(dir.path()));  // a directory cannot be opened as a file
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("ERROR"), std::string::npos);
    EXPECT_NE(out.find(dir.path()), std::string::npos);
    EXPECT_EQ(out.find(" done..."), std::string::npos);

    testing::internal::CaptureStdout();
    EXPECT_FALSE(m->write_obj("/dev/full"));
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("ERROR"), std::string::npos) << out;
    EXPECT_EQ(out.find(" done..."), std::string::npos);
}

TEST(ObjWriter, RoundTripKeepsEveryCoordinateExactly)
{
    TempDir dir;
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> any(-1e7f, 1e7f);
    std::vector<Vector> points{{4512345.67f, 1e-5f, -3.3f}, {8388608.0f, 1e-38f, 0.1f}, {-0.0f, 1.0f / 3.0f, 7}};
    for (int i = 0; i < 200; ++i) points.emplace_back(any(rng), any(rng) * 1e-9f, any(rng) * 1e-30f);
    std::vector<std::vector<int>> tris;
    for (int i = 0; i + 2 < int(points.size()); ++i) tris.push_back({i, i + 1, i + 2});
    auto m = named::make(points, tris);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(m->write_obj(dir.file("r.obj")));
    Mesh back;
    ASSERT_TRUE(back.read_obj(dir.file("r.obj")));
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(back.nv, m->nv);
    ASSERT_EQ(back.nf, m->nf);
    for (int i = 0; i < m->nv; ++i) {
        EXPECT_EQ(std::memcmp(&back.vertices[i].x, &m->vertices[i].x, 3 * sizeof(float)), 0) << i;
        EXPECT_EQ(back.vertices[i].w, 1.0f);
    }
    for (int i = 0; i < m->nf; ++i)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(back.faces[i].vi[k], m->faces[i].vi[k]);
}
