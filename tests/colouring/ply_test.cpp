#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "colouring/PlyFile.h"
#include "core/Mesh.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/TempDir.h"

TEST(PlyFile, AsciiHoldsPositionsClampedColoursAndFaces)
{
    TempDir dir;
    auto m = named::single_triangle();
    m->vertices[1].x = 0.1f;
    m->vertex_colours[0] = Vector(1.5f, -0.2f, 0.5f, 1.0f);
    m->vertex_colours[1] = Vector(10 / 255.0f, 20 / 255.0f, 30 / 255.0f, 1.0f);
    m->vertex_colours[2] = Vector(NAN, 1.0f, 0.0f, 1.0f);
    ASSERT_TRUE(write_ply(*m, dir.file("t.ply"), PlyFormat::Ascii));
    EXPECT_EQ(slurp(dir.file("t.ply")),
              "ply\nformat ascii 1.0\ncomment written by Halvane\nelement vertex 3\n"
              "property float x\nproperty float y\nproperty float z\n"
              "property uchar red\nproperty uchar green\nproperty uchar blue\n"
              "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
              "0 0 0 255 0 128\n0.1 0 0 10 20 30\n0 1 0 0 255 0\n3 0 1 2\n");
}

TEST(PlyFile, BinaryIsLittleEndianAndWritesAreChecked)
{
    TempDir dir;
    auto m = named::two_triangles();
    m->vertices[3].y = -2.5f;
    m->vertex_colours[3] = Vector(0.0f, 0.0f, 1.0f, 1.0f);
    ASSERT_TRUE(write_ply(*m, dir.file("b.ply"), PlyFormat::BinaryLittleEndian));
    const std::string data = slurp(dir.file("b.ply"));
    const std::size_t body = data.find("end_header\n") + 11;
    ASSERT_NE(data.find("format binary_little_endian 1.0\n"), std::string::npos);
    ASSERT_EQ(data.size(), body + 4 * 15 + 2 * 13);
    const unsigned char* v3 = reinterpret_cast<const unsigned char*>(data.data() + body + 3 * 15);
    const unsigned char minus_2_5[4] = {0x00, 0x00, 0x20, 0xc0};
    EXPECT_EQ(std::memcmp(v3 + 4, minus_2_5, 4), 0);
    EXPECT_EQ(v3[12], 0);
    EXPECT_EQ(v3[14], 255);
    const unsigned char* f1 = reinterpret_cast<const unsigned char*>(data.data() + body + 4 * 15 + 13);
    const unsigned char face[13] = {3, 1, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0};
    EXPECT_EQ(std::memcmp(f1, face, 13), 0);

    testing::internal::CaptureStdout();
    EXPECT_FALSE(write_ply(*m, "/dev/full", PlyFormat::Ascii));
    EXPECT_FALSE(write_ply(*m, dir.path() + "/no/such/dir/x.ply", PlyFormat::Ascii));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("could not write /dev/full completely"), std::string::npos) << out;
    EXPECT_NE(out.find("could not open"), std::string::npos) << out;
}
