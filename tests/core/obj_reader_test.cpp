#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/TempDir.h"
#include "core/Mesh.h"

namespace {

struct Read {
    bool ok;
    std::string out, err;
};

Read read(Mesh& m, const std::string& path)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool ok = m.read_obj(path);
    return {ok, testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
}

const char* tri = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

}  // namespace

TEST(ObjReader, PrintsCountsAndFormForEachFaceForm)
{
    TempDir dir;
    const std::vector<std::pair<std::string, int>> forms = {
        {"f 1 2 3", 1},         {"f 1/1/1 2/2/2 3/3/3", 2}, {"f 1//1 2//2 3//3", 3},
        {"f 1/1/ 2/2/ 3/3/", 4}, {"f 1// 2// 3//", 5},       {"f 1/2 2/3 3/1", 6}};
    for (const auto& [face, form] : forms) {
        Mesh m;
        const Read r = read(m, dir.write("t.obj", std::string(tri) + face + "\n"));
        ASSERT_TRUE(r.ok) << face << r.err;
        EXPECT_EQ(r.out, "Opening: " + dir.file("t.obj") + "\nnv: 3, nf: 1\nfaceformat_type: " +
                             std::to_string(form) + "\n");
        EXPECT_EQ(m.faces[0].vi[0], 0);
        EXPECT_EQ(m.faces[0].vi[1], 1);
        EXPECT_EQ(m.faces[0].vi[2], 2);
        EXPECT_EQ(m.faces[0].v[2], &m.vertices[2]);
    }
}

TEST(ObjReader, NoFacesGivesFormMinusOne_FaceColourResetsForm)
{
    TempDir dir;
    Mesh m;
    Read r = read(m, dir.write("a.obj", tri));
    EXPECT_NE(r.out.find("nv: 3, nf: 0\nfaceformat_type: -1"), std::string::npos);
    r = read(m, dir.write("b.obj", std::string(tri) + "f 1 2 3\nfc 0.1 0.2 0.3\nf 1//1 2//2 3//3\n"));
    EXPECT_NE(r.out.find("nf: 2\nfaceformat_type: 3"), std::string::npos) << r.out;
}

TEST(ObjReader, PolygonsAreFanTriangulatedAndNegativeCornersCountBack)
{
    TempDir dir;
    Mesh m;
    const Read r = read(m, dir.write("q.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\nf -4 -3 -1\n"));
    ASSERT_TRUE(r.ok) << r.err;
    ASSERT_EQ(m.nf, 3);
    EXPECT_EQ((std::vector<int>{m.faces[0].vi[0], m.faces[0].vi[1], m.faces[0].vi[2]}), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ((std::vector<int>{m.faces[1].vi[0], m.faces[1].vi[1], m.faces[1].vi[2]}), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ((std::vector<int>{m.faces[2].vi[0], m.faces[2].vi[1], m.faces[2].vi[2]}), (std::vector<int>{0, 1, 3}));
}

TEST(ObjReader, ColoursMorphogensAndExponents)
{
    TempDir dir;
    Mesh m;
    const Read r = read(m, dir.write("c.obj",
                                     "mn alpha beta\n"
                                     "v 1e-5 2 3\nv .5 -1E2 +4\nv 0 1 0\n"
                                     "vc 1 0 0\nvc 0 1 0\n"
                                     "m 0.5 1.5\nm 2 3\nm 4 5\n"
                                     "mtllib x.mtl\nusemtl red\nf 1 2 3\n"));
    ASSERT_TRUE(r.ok) << r.err;
    EXPECT_EQ(m.vertices[0], Vector(1e-5f, 2, 3));
    EXPECT_EQ(m.vertices[1], Vector(0.5f, -100, 4));
    EXPECT_EQ(m.vertex_colours[1], Vector(0, 1, 0));
    EXPECT_EQ(m.vertex_colours[2], Vector(0, 0, 0));  // no vc line: the allocation default
    EXPECT_EQ(m.vertex_colours[2].w, 1.0f);
    EXPECT_EQ(m.morphogen_names, (std::vector<std::string>{"alpha", "beta"}));
    ASSERT_EQ(m.morphogen_values.size(), 3u);
    EXPECT_EQ(m.morphogen_values[0], (std::vector<float>{0.5f, 1.5f}));
    EXPECT_EQ(m.morphogen_values[2], (std::vector<float>{4, 5}));
}

TEST(ObjReader, MalformedFilesAreRejectedWithLineAndLeaveMeshEmpty)
{
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> bad = {
        {std::string(tri) + "f 1 2 4\n", "line 4"},
        {std::string(tri) + "f 1 -4 2\n", "line 4"},
        {std::string(tri) + "f 1 x 2\n", "line 4"},
        {"v 1 2\nv 0 0 0\nv 1 1 1\nf 1 2 3\n", "line 1"},
        {std::string(tri) + "vc 1 1 1\nvc 1 1 1\nvc 1 1 1\nvc 0 0 0\n", "line 7"},
        {std::string(tri) + "m 1\nm 1\nm 1\nm 1\n", "line 7"},
    };
    for (const auto& [text, where] : bad) {
        Mesh m;
        m.morphogen_names = {"old"};
        const std::string path = dir.write("bad.obj", text);
        const Read r = read(m, path);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(where), std::string::npos) << text << " -> " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(m.nv, 0);
        EXPECT_EQ(m.nf, 0);
        EXPECT_TRUE(m.morphogen_names.empty());
    }
}

TEST(ObjReader, MissingFileReturnsFalseWithMessage)
{
    Mesh m;
    const Read r = read(m, "/nonexistent/x.obj");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.err, "ERROR: Opening File: /nonexistent/x.obj\n");
}

TEST(ObjReader, LastLineWithoutLineEndAndCrLf)
{
    TempDir dir;
    Mesh m;
    const Read r = read(m, dir.write("crlf.obj", "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nf 1 2 3"));
    ASSERT_TRUE(r.ok) << r.err;
    EXPECT_EQ(m.nf, 1);
    EXPECT_EQ(m.faces[0].vi[2], 2);
}
