// The OBJ and NET readers and the loader in front of them. Every malformed,
// outsized or unreadable file is refused with one console line naming the
// file, the line and the problem, and leaves the mesh empty.
#include <algorithm>
#include <cmath>
#include <random>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/load_mesh_file.h"
#include "core/Mesh.h"
#include "core/Tokenizer.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"

namespace {

struct Read {
    bool ok;
    std::string out, err;
};

Read read(Mesh& m, const std::string& path)
{
    Captured console;
    const bool ok = path.substr(path.size() - 4) == ".net" ? m.read_net(path, console) : m.read_obj(path, console);
    return {ok, console.log.out(), console.log.err()};
}

const std::string tri = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

// The first `n` number tokens of `text` as the tokenizer reads them, with a
// token that is not a number leaving the previous value (the holder rule).
std::vector<float> tokenizer_values(const std::string& text, int n, float holder)
{
    Tokenizer tok(text);
    std::vector<float> out;
    for (int i = 0; i < n; ++i) {
        if (tok.read_token() == Tokenizer::TT_NUMBER) holder = float(tok.number_value);
        out.push_back(holder);
    }
    return out;
}

std::string random_decimal(std::mt19937& rng)
{
    std::string s = rng() % 2 ? "-" : "";
    const int whole = int(rng() % 12), fraction = int(rng() % 26);
    s += char('0' + rng() % 10);
    for (int i = 0; i < whole; ++i) s += char('0' + rng() % 10);
    if (fraction > 0) s += '.';
    for (int i = 0; i < fraction; ++i) s += char('0' + rng() % 10);
    return s;
}

}  // namespace

TEST(ObjReader, FaceFormsPolygonsAndCornerNumbers)
{
    TempDir dir;
    const std::vector<std::pair<std::string, int>> forms = {{"f 1 2 3", 1},          {"f 1/1/1 2/2/2 3/3/3", 2},
                                                            {"f 1//1 2//2 3//3", 3}, {"f 1/1/ 2/2/ 3/3/", 4},
                                                            {"f 1// 2// 3//", 5},    {"f 1/2 2/3 3/1", 6}};
    for (const auto& [face, form] : forms) {
        Mesh m;
        const Read r = read(m, dir.write("t.obj", tri + face + "\n"));
        ASSERT_TRUE(r.ok) << face << r.err;
        EXPECT_EQ(r.out,
                  "Opening: " + dir.file("t.obj") + "\nnv: 3, nf: 1\nfaceformat_type: " + std::to_string(form) + "\n");
        EXPECT_EQ(corners(m), (Corners{{0, 1, 2}})) << face;
        EXPECT_EQ(m.faces[0].v[2], &m.vertices[2]);
    }
    Mesh m;
    EXPECT_NE(read(m, dir.write("a.obj", tri)).out.find("nv: 3, nf: 0\nfaceformat_type: -1"), std::string::npos);
    // A face colour line resets the form.
    const Read r = read(m, dir.write("b.obj", tri + "f 1 2 3\nfc 0.1 0.2 0.3\nf 1//1 2//2 3//3\n"));
    EXPECT_NE(r.out.find("nf: 2\nfaceformat_type: 3"), std::string::npos) << r.out;

    // Polygons are fans; negative corners count back; CR LF and no last line end.
    ASSERT_TRUE(read(m, dir.write("q.obj", "v 0 0 0\r\nv 1 0 0\r\nv 1 1 0\r\nv 0 1 0\r\nf 1 2 3 4\r\nf -4 -3 -1")).ok);
    EXPECT_EQ(corners(m), (Corners{{0, 1, 2}, {0, 2, 3}, {0, 1, 3}}));
    ASSERT_TRUE(read(m, dir.write("c.obj", tri + "f 0001 2/9/9 -1//4\n")).ok);
    EXPECT_EQ(corners(m), (Corners{{0, 1, 2}}));
}

TEST(ObjReader, ColoursMorphogensAndIgnoredLines)
{
    TempDir dir;
    Mesh m;
    const Read r = read(m, dir.write("c.obj", "mn alpha beta\n" + tri +
                                                  "vc 1 0 0\nvc 0 1 0\nm 0.5 1.5\nm 2 3\nm 4 5\n"
                                                  "mtllib x.mtl\nusemtl red\nf 1 2 3\n"));
    ASSERT_TRUE(r.ok) << r.err;
    EXPECT_EQ(m.vertex_colours[1], Vector(0, 1, 0));
    EXPECT_EQ(m.vertex_colours[2], Vector(0, 0, 0));  // no vc line: the allocation default
    EXPECT_EQ(m.morphogen_names, (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_EQ(m.morphogen_values, (std::vector<std::vector<float>>{{0.5f, 1.5f}, {2, 3}, {4, 5}}));
}

TEST(ObjReader, EveryNumberFormReadsAsTheTokenizerReadsIt)
{
    // Forms at the edges of the direct path (digit and decimal limits, 2^53,
    // 2^64 + 1 that wraps a 64-bit accumulator to 1) and forms it must leave
    // to the tokenizer.
    std::vector<std::string> numbers = {"0",
                                        "-0",
                                        "1",
                                        "-1.5",
                                        "0.1",
                                        "3.4028235e38",
                                        "1e-5",
                                        "+4",
                                        ".5",
                                        "-.25",
                                        "1.",
                                        "1.2.3",
                                        "1-2",
                                        "9007199254740992",
                                        "9007199254740993",
                                        "0.9007199254740993",
                                        "12345678901234567890",
                                        "1234567890123456789",
                                        "18446744073709551617",
                                        "1844674407370955161.7",
                                        "0.1234567890123456789012",
                                        "0.12345678901234567890123",
                                        "0.0000000000000000000001",
                                        "00000000000000000000000001.5",
                                        "4512345.67",
                                        "16777217",
                                        "1e400",
                                        "-1e-400",
                                        "2.5x",
                                        "7#c"};
    std::mt19937 rng(7);
    for (int i = 0; i < 300; ++i) numbers.push_back(random_decimal(rng));

    // Vertex lines need three numbers; the morphogen lines take every form
    // (a word keeps the previous value).
    std::vector<std::string> rests, vertex_rests;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const std::size_t n = numbers.size();
        rests.push_back(" " + numbers[i] + " " + numbers[(i + 1) % n] + "\t" + numbers[(i + 7) % n]);
        Tokenizer tok(rests.back());
        if (tok.read_token() == Tokenizer::TT_NUMBER && tok.read_token() == Tokenizer::TT_NUMBER &&
            tok.read_token() == Tokenizer::TT_NUMBER)
            vertex_rests.push_back(rests.back());
    }
    // Plain vertices first, so there is a vertex for each morphogen line.
    const std::size_t padding = rests.size() - vertex_rests.size();
    std::string text;
    for (std::size_t i = 0; i < padding; ++i) text += "v 0 0 0\n";
    for (const std::string& rest : vertex_rests) text += "v" + rest + "\n";
    for (const std::string& rest : rests) text += "m" + rest + "\n";
    TempDir dir;
    Mesh m;
    const Read r = read(m, dir.write("numbers.obj", text));
    ASSERT_TRUE(r.ok) << r.err;
    ASSERT_EQ(m.nv, int(rests.size()));
    float holder = 0.0f;
    for (std::size_t i = 0; i < vertex_rests.size(); ++i) {
        const std::vector<float> want = tokenizer_values(vertex_rests[i], 3, 0.0f);
        const Vector& v = m.vertices[padding + i];
        // Bit for bit: 0 and -0 differ, as do neighbouring floats.
        EXPECT_EQ(std::signbit(v.x), std::signbit(want[0])) << vertex_rests[i];
        EXPECT_EQ((std::vector<float>{v.x, v.y, v.z}), want) << vertex_rests[i];
        holder = want[2];
    }
    for (std::size_t i = 0; i < rests.size(); ++i) {
        const std::vector<float> want = tokenizer_values(rests[i], 3, holder);
        EXPECT_EQ(m.morphogen_values[i], want) << rests[i];
        holder = want[2];
    }
}

TEST(NetReader, GreyDefaultsZeroNormalsAndFirstThreeIndices)
{
    TempDir dir;
    Mesh m;
    ASSERT_TRUE(read(m, dir.write("a.net", tri + "f 0 1 2\nt 0 0\n# x\n")).ok);
    EXPECT_EQ(m.nf, 1);
    EXPECT_EQ(m.vertex_colours[1], Vector(0.4f, 0.4f, 0.4f));
    EXPECT_EQ(m.vertex_normals[2], Vector(0, 0, 0));
    ASSERT_TRUE(read(m, dir.write("b.net",
                                  "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nn 0 0 1\nn 0 0 1\nn 0 0 1\nn 0 0 1\n"
                                  "c 1 0 0\nc 0 1 0\nc 0 0 1\nc 1 1 1\nf 1 3 2 0\n"))
                    .ok);
    EXPECT_EQ(m.vertex_normals[3], Vector(0, 0, 1));
    EXPECT_EQ(m.vertex_colours[2], Vector(0, 0, 1));
    EXPECT_EQ(corners(m), (Corners{{1, 3, 2}}));
}

TEST(Readers, RefusedFilesSayWhereAndLeaveTheMeshEmpty)
{
    struct Case {
        std::string name, text, problem;  // text "(dir)": a directory; "(none)": no file
    };
    const Case cases[] = {
        {"a.obj", tri + "f 1 2 4\n", "line 4: corner 4 is outside the vertices 1 to 3"},
        {"b.obj", tri + "f 1 -4 2\n", "line 4: corner -4 is outside the vertices 1 to 3"},
        {"c.obj", tri + "f 1 x 2\n", "line 4: "},
        {"d.obj", "v 1 2\nv 0 0 0\nv 1 1 1\nf 1 2 3\n", "line 1: vertex with fewer than three numbers"},
        {"e.obj", tri + "vc 1 1 1\nvc 1 1 1\nvc 1 1 1\nvc 0 0 0\n", "line 7: more vertex colours than vertices"},
        {"f.obj", tri + "m 1\nm 1\nm 1\nm 1\n", "line 7: more morphogen lines than vertices"},
        {"g.obj", tri + "f 1 2 +3\n", "line 4: corner \"+3\" is not a vertex number"},
        {"h.obj", tri + "f 1 2 3x\n", "line 4: corner \"3x\" is not a vertex number"},
        {"i.obj", tri + "f 1 2 -0\n", "line 4: corner \"-0\" is not a vertex number"},
        {"j.obj", tri + "f 1 2 1234567890123456789\n",
         "line 4: corner 1234567890123456789 is outside the vertices 1 to 3"},
        {"k.obj", tri + "f 1 2 99999999999999999999\n",
         "line 4: corner \"99999999999999999999\" is not a vertex number"},
        {"a.net", "v 1 2\n", "line 1: malformed vertex line"},
        {"b.net", tri + "f 0 1 3\n", "line 4: index 3 is outside the vertices 0 to 2"},
        {"c.net", "v 0 0 0\nf 0 1\n", "line 2: malformed face line"},
        {"d.net", tri + "c 1 1 1\nf 0 1 2\n", "1 colour lines for 3 vertices"},
        {"e.net", tri + "f 0 -1 2\n", "line 4: index -1 is outside the vertices 0 to 2"},
        // Indices beyond the int range used to wrap onto vertex 0.
        {"f.net", tri + "f 0 1 4294967296\n", "line 4: index 4294967296 is outside the vertices 0 to 2"},
        {"g.net", tri + "f -4294967295 1 2\n", "line 4: index -4294967295 is outside the vertices 0 to 2"},
        {"h.net", tri + "f 0 1 99999999999999999999999\n", "line 4: index"},
        {"dir.obj", "(dir)", "(is a directory)"},
        {"dir.net", "(dir)", "(is a directory)"},
        {"missing.obj", "(none)", "ERROR: Opening File: "},
        {"missing.net", "(none)", "ERROR Opening File: "},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        if (c.text == "(dir)") {
            ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
        }
        if (c.text.front() != '(') dir.write(c.name, c.text);
        Mesh m;
        m.morphogen_names = {"old"};
        const Read r = read(m, path);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.problem), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(m.nv + m.nf, 0);
        // A read OBJ file drops the old names; the loader clears them in every case.
        const bool read_obj = c.name.find(".obj") != std::string::npos && c.text.front() != '(';
        EXPECT_TRUE(m.morphogen_names.empty() || !read_obj);
    }
}

TEST(Readers, FileAskingForMoreMemoryThanTheMachineHasIsRefused)
{
    // A million vertex lines and one morphogen line of four million values
    // ask for 16 TB of morphogen lists from a 10 MB file.
    std::string text;
    text.reserve(11 << 20);
    for (int i = 0; i < 1000000; ++i) text += "v\n";
    text += "m";
    for (int i = 0; i < 4000000; ++i) text += " 1";
    TempDir dir;
    Mesh m;
    const Read r = read(m, dir.write("greedy.obj", text + "\n"));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.err.find("1000000 vertices, 0 triangles and 4000000 morphogens need"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("this process may use"), std::string::npos) << r.err;
    EXPECT_EQ(m.nv, 0);
    EXPECT_TRUE(m.morphogen_values.empty());
}

TEST(Loader, ChoosesByNameBuildsDerivedDataLeavesDegenerateFacesEmptiesOnFailure)
{
    EXPECT_EQ(mesh_format_of("A.OBJ"), MeshFormat::Obj);
    EXPECT_EQ(mesh_format_of("x.objx"), MeshFormat::Obj);  // the last four characters decide
    EXPECT_EQ(mesh_format_of("b.net"), MeshFormat::Net);
    EXPECT_EQ(mesh_format_of("obj.txt"), MeshFormat::None);
    EXPECT_EQ(mesh_format_of("ob"), MeshFormat::None);

    TempDir dir;
    Mesh m;
    Captured console;
    LoadResult r{};
    const std::string out = printed(
        console, [&] { r = load_mesh_file(m, dir.write("t.obj", tri + "v 2 0 0\nf 1 2 3\nf 1 2 4\n"), console); });
    ASSERT_EQ(r, LoadResult::Loaded);
    EXPECT_NE(out.find("BUILDING: MESH_CENTRE MESH_CENTROIDS MESH_EDGE_LIST MESH_VERTEX_NORMALS MESH_BB \n\n"
                       "BUILDING: MESH_VERTEX_NORMALS \n\n"),
              std::string::npos)
        << out;
    // A proper face is left alone, and so is the collinear one: it has no
    // turn to measure (its NaN angles once had it reversed).
    EXPECT_EQ(corners(m), (Corners{{0, 1, 2}, {0, 1, 3}}));
    EXPECT_EQ(m.faces[1].v[1], &m.vertices[1]);
    EXPECT_TRUE(m.faces[1].is_degenerate());
    EXPECT_EQ(m.edge_count, 5);
    EXPECT_EQ(m.extent, 2.0f);

    // A name that is not a mesh's keeps the mesh; a rejected file empties it.
    EXPECT_EQ(load_mesh_file(m, dir.file("t.txt"), console), LoadResult::NotAMesh);
    EXPECT_EQ(m.nf, 2);
    EXPECT_EQ(load_mesh_file(m, dir.write("bad.obj", "v 1 2\n"), console), LoadResult::Failed);
    EXPECT_EQ(m.nv, 0);
}
