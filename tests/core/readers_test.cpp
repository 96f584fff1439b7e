// The OBJ and NET readers and the loader in front of them. Every malformed,
// outsized or unreadable file is refused with one console line naming the
// file, the line and the problem, and leaves the mesh empty.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/load_mesh_file.h"
#include "core/Mesh.h"
#include "core/text_fields.h"
#include "core/text_file.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/ReadMeshFile.h"
#include "tests/support/TempDir.h"

namespace {

Read read(Mesh& m, const std::string& path)
{
    return read_mesh_file(m, path);
}

const std::string tri = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

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

TEST(ObjReader, NumbersReadCorrectlyRoundedAndEveryOtherFieldIsRefused)
{
    // Numbers: read as the nearest float (too small ones as zero).
    const std::vector<std::pair<std::string, float>> numbers = {{"0", 0.0f},
                                                                {"-0", -0.0f},
                                                                {"+4", 4.0f},
                                                                {".5", 0.5f},
                                                                {"-.25", -0.25f},
                                                                {"1.", 1.0f},
                                                                {"1e-5", 1e-5f},
                                                                {"2.5E+3", 2500.0f},
                                                                {"16777217", 16777216.0f},
                                                                {"3.4028235e38", 3.4028235e38f},
                                                                {"-1e-400", -0.0f},
                                                                {"1e-50", 0.0f},
                                                                {"0.1234567890123456789012345", 0.12345679f}};
    TempDir dir;
    for (const auto& [text, want] : numbers) {
        Mesh m;
        const Read r = read(m, dir.write("n.obj", "v " + text + " 0 0\nvc 0 " + text + " 0\nm " + text + "\n"));
        ASSERT_TRUE(r.ok) << text << r.err;
        EXPECT_EQ(std::signbit(m.vertices[0].x), std::signbit(want)) << text;
        EXPECT_EQ(m.vertices[0].x, want) << text;
        EXPECT_EQ(m.vertex_colours[0].y, want) << text;
        EXPECT_EQ(m.morphogen_values[0][0], want) << text;
    }
    // The shortest text of any float reads back to that float, bit for bit.
    std::mt19937 rng(7);
    std::string text;
    std::vector<float> written;
    while (written.size() < 2000) {
        const std::uint32_t bits = std::uint32_t(rng());
        float f;
        std::memcpy(&f, &bits, 4);
        if (!std::isfinite(f)) continue;
        written.push_back(f);
        text += "v " + float_text(f) + " 0 0\n";
    }
    Mesh m;
    ASSERT_TRUE(read(m, dir.write("random.obj", text)).ok);
    for (std::size_t i = 0; i < written.size(); ++i) {
        std::uint32_t a, b;
        std::memcpy(&a, &m.vertices[i].x, 4);
        std::memcpy(&b, &written[i], 4);
        EXPECT_EQ(a, b) << float_text(written[i]);
    }

    // Anything else in a coordinate, colour or morphogen value refuses the
    // file, saying why; no value is taken from an earlier line.
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"v 1e39 0 0", "vertex: coordinate 1: \"1e39\" does not fit a float"},
        {"v 0 -3.5e38 0", "vertex: coordinate 2: \"-3.5e38\" does not fit a float"},
        {"v 0 0 nan", "vertex: coordinate 3: \"nan\" is not a number"},
        {"v inf 0 0", "\"inf\" is not a number"},
        {"v 1-2 0 0", "\"1-2\" is not a number"},
        {"v 1.2.3 0 0", "\"1.2.3\" is not a number"},
        {"v 2.5x 0 0", "\"2.5x\" is not a number"},
        {"v 0x10 0 0", "\"0x10\" is not a number"},
        {"v 1,5 0 0", "\"1,5\" is not a number"},
        {"v 1 2", "vertex: 3 numbers expected, 2 found"},
        {"v 0 0 0\nvc 1 red 0", "vertex colour: colour component 2: \"red\" is not a number"},
        {"v 0 0 0\nvc 1 1", "vertex colour: 3 numbers expected, 2 found"},
        {"v 0 0 0\nm 1 nan", "morphogen line: morphogen value 2: \"nan\" is not a number"},
        {"v 0 0 0\nm high 2", "morphogen value 1: \"high\" is not a number"},
        {"v 0 0 0\nm 1e40", "morphogen value 1: \"1e40\" does not fit a float"},
    };
    for (const auto& [lines, problem] : refused) {
        Mesh r_mesh;
        const Read r = read(r_mesh, dir.write("bad.obj", lines + "\n"));
        EXPECT_FALSE(r.ok) << lines;
        EXPECT_NE(r.err.find(dir.file("bad.obj") + ": line "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(problem), std::string::npos) << lines << "\n" << r.err;
        EXPECT_EQ(r_mesh.nv, 0);
    }
}

TEST(TextFields, EveryDecimalReadsAsFromCharsReadsItToAFloat)
{
    // The quick path for plain decimals must give what the full conversion
    // gives: random texts of every length, and floats' halfway points
    // written out exactly (the double rounding case).
    std::mt19937 rng(11);
    std::vector<std::string> texts;
    for (int i = 0; i < 20000; ++i) {
        std::string t = rng() % 2 ? "-" : "";
        const int whole = int(rng() % 12), fraction = int(rng() % 14);
        t += char('0' + rng() % 10);
        for (int k = 0; k < whole; ++k) t += char('0' + rng() % 10);
        if (fraction > 0) t += '.';
        for (int k = 0; k < fraction; ++k) t += char('0' + rng() % 10);
        texts.push_back(t);
    }
    for (int i = 0; i < 2000; ++i) {
        // Halfway between a float of up to 2^24 and the next one: exact in
        // a few decimals.
        const float f = float(rng() % (1u << 24)) / float(1u << (rng() % 12));
        const double mid = (double(f) + double(std::nextafter(f, 1e30f))) / 2;
        char buffer[64];
        texts.emplace_back(buffer, std::to_chars(buffer, buffer + sizeof buffer, mid, std::chars_format::fixed).ptr);
    }
    for (const std::string& t : texts) {
        float want = 0.0f, got = 0.0f;
        std::from_chars(t.data(), t.data() + t.size(), want);
        std::string problem;
        ASSERT_TRUE(parse_float_field(t, got, problem)) << t << " " << problem;
        EXPECT_EQ(std::memcmp(&got, &want, 4), 0) << t;
    }
}

TEST(ObjReader, RealWorldFilesCommentsByteOrderMarkAndEveryLineEnd)
{
    // The same mesh in every dress: comments after data on any line, a
    // byte-order mark, LF, CR LF and CR line ends.
    const std::string plain =
        "mn a b\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvc 1 0 0\nvc 0 1 0\nvc 0 0 1\nvc 1 1 1\n"
        "m 1 2\nm 3 4\nm 5 6\nm 7 8\nf 1 2 3\nf 2 4 3\n";
    std::string commented;
    for (std::size_t i = 0, j; i < plain.size(); i = j + 1) {
        j = plain.find('\n', i);
        commented += plain.substr(i, j - i) + (i % 3 ? " # note" : "#x") + "\n";
    }
    auto with_ends = [](std::string text, const char* end) {
        std::string out;
        for (char c : text) out += c == '\n' ? std::string(end) : std::string(1, c);
        return out;
    };
    TempDir dir;
    Mesh want;
    ASSERT_TRUE(read(want, dir.write("plain.obj", plain)).ok);
    for (const std::string& text : {commented, "\xEF\xBB\xBF" + plain, with_ends(plain, "\r\n"), with_ends(plain, "\r"),
                                    "\xEF\xBB\xBF" + with_ends(commented, "\r")}) {
        Mesh m;
        const Read r = read(m, dir.write("t.obj", text));
        ASSERT_TRUE(r.ok) << r.err;
        EXPECT_EQ(r.out, "Opening: " + dir.file("t.obj") + "\nnv: 4, nf: 2\nfaceformat_type: 1\n");
        EXPECT_EQ(corners(m), corners(want));
        EXPECT_EQ(m.vertices, want.vertices);
        EXPECT_EQ(m.vertex_colours, want.vertex_colours);
        EXPECT_EQ(m.morphogen_names, (std::vector<std::string>{"a", "b"}));
        EXPECT_EQ(m.morphogen_values, want.morphogen_values);
    }
    // A line number counts CR LF once and a lone CR as a line.
    Mesh m;
    const Read r = read(m, dir.write("cr.obj", "v 0 0 0\r\nv 0 0 0\rv 0 0 0\n# c\rf 1 2 9\n"));
    EXPECT_NE(r.err.find("line 5: corner 9"), std::string::npos) << r.err;
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
        {"d.obj", "v 1 2\nv 0 0 0\nv 1 1 1\nf 1 2 3\n", "line 1: vertex: 3 numbers expected, 2 found"},
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
        {"h.net", tri + "f 0 1 99999999999999999999999\n", "line 4: face line: \"99999999999999999999999\" is not"},
        {"i.net", "v 0 0 nan\n", "line 1: vertex line: \"nan\" is not a number"},
        {"j.net", "v 0 0 0\nc 1 1e39 0\n", "line 2: colour line: \"1e39\" does not fit a float"},
        {"k.net", "v 0 0 0 \nn 0 inf 0\n", "line 2: normal line: \"inf\" is not a number"},
        {"l.net", tri + "f 0 1 2x\n", "line 4: face line: \"2x\" is not an index"},
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
        if (c.text == "(none)") {
            EXPECT_EQ(r.err, c.problem + path + " (No such file or directory)\n");
        }
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
