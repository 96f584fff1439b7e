#include <gtest/gtest.h>

#include "core/Mesh.h"
#include "tests/support/TempDir.h"

namespace {

bool read(Mesh& m, const std::string& path, std::string* err = nullptr)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool ok = m.read_net(path);
    testing::internal::GetCapturedStdout();
    const std::string e = testing::internal::GetCapturedStderr();
    if (err) *err = e;
    return ok;
}

}  // namespace

TEST(NetReader, GreyDefaultsZeroNormalsAndFirstThreeIndices)
{
    TempDir dir;
    Mesh m;
    ASSERT_TRUE(read(m, dir.write("a.net", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\nt 0 0\n# x\n")));
    EXPECT_EQ(m.nv, 3);
    EXPECT_EQ(m.nf, 1);
    EXPECT_EQ(m.vertex_colours[1], Vector(0.4f, 0.4f, 0.4f));
    EXPECT_EQ(m.vertex_normals[2], Vector(0, 0, 0));
    EXPECT_EQ(m.faces[0].vi[2], 2);

    ASSERT_TRUE(read(m, dir.write("b.net", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nn 0 0 1\nn 0 0 1\nn 0 0 1\nn 0 0 1\n"
                                           "c 1 0 0\nc 0 1 0\nc 0 0 1\nc 1 1 1\nf 1 3 2 0\n")));
    EXPECT_EQ(m.vertex_normals[3], Vector(0, 0, 1));
    EXPECT_EQ(m.vertex_colours[2], Vector(0, 0, 1));
    EXPECT_EQ(m.faces[0].vi[0], 1);
    EXPECT_EQ(m.faces[0].vi[2], 2);
}

TEST(NetReader, RejectsMalformedLinesBadIndicesAndShortColourLists)
{
    TempDir dir;
    for (const std::string text : {"v 1 2\n", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 3\n", "v 0 0 0\nf 0 1\n",
                                   "v 0 0 0\nv 1 0 0\nv 0 1 0\nc 1 1 1\nf 0 1 2\n",
                                   "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 -1 2\n"}) {
        Mesh m;
        std::string err;
        const std::string path = dir.write("bad.net", text);
        EXPECT_FALSE(read(m, path, &err)) << text;
        EXPECT_NE(err.find(path), std::string::npos);
        EXPECT_EQ(m.nv, 0);
        EXPECT_EQ(m.nf, 0);
    }
}
