// The PLY, STL and OFF readers: what each takes from real files, that the
// loader picks them by name, and that every refused file is named with the
// line or byte where it goes wrong.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/load_mesh_file.h"
#include "core/Mesh.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/ReadMeshFile.h"
#include "tests/support/TempDir.h"

namespace {

Read read(Mesh& m, const std::string& path)
{
    return read_mesh_file(m, path);
}

// Values in a binary body, in either byte order.
class Bytes {
public:
    explicit Bytes(bool big) : big_endian(big) {}
    template <typename T>
    Bytes& put(T v)
    {
        unsigned char b[sizeof(T)];
        std::memcpy(b, &v, sizeof(T));
        if (big_endian)
            for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(b[i], b[sizeof(T) - 1 - i]);
        text.append(reinterpret_cast<const char*>(b), sizeof(T));
        return *this;
    }
    std::string text;

private:
    bool big_endian;
};

std::vector<float> xyz(const Mesh& m)
{
    std::vector<float> out;
    for (int i = 0; i < m.nv; ++i) out.insert(out.end(), {m.vertices[i].x, m.vertices[i].y, m.vertices[i].z});
    return out;
}

// A square of two triangles read from a quad, with colours, a per-vertex
// float, an int and a double, a skipped list on the vertices, a face flag
// and an edge element that is skipped.
const char* const square_header =
    "element vertex 4\n"
    "property float x\nproperty float y\nproperty float z\n"
    "property uchar red\nproperty uchar green\nproperty uchar blue\nproperty uchar alpha\n"
    "property float height\nproperty int label\nproperty double quality\n"
    "property list uchar float extra\n"
    "element face 1\nproperty uchar flags\nproperty list uchar int vertex_indices\n"
    "element edge 1\nproperty int vertex1\nproperty int vertex2\n"
    "end_header\n";

std::string binary_square(bool big)
{
    Bytes b(big);
    const float p[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        b.put(p[i][0]).put(p[i][1]).put(0.5f);
        b.put(std::uint8_t(255)).put(std::uint8_t(i * 50)).put(std::uint8_t(0)).put(std::uint8_t(128));
        b.put(float(i) * 0.25f).put(std::int32_t(-i)).put(double(i) + 0.5);
        b.put(std::uint8_t(1)).put(7.0f);
    }
    b.put(std::uint8_t(9)).put(std::uint8_t(4));
    for (std::int32_t k : {0, 1, 2, 3}) b.put(k);
    b.put(std::int32_t(0)).put(std::int32_t(1));
    return std::string("ply\nformat ") + (big ? "binary_big_endian" : "binary_little_endian") +
           " 1.0\ncomment a square\n" + square_header + b.text;
}

const std::string ascii_square = std::string("ply\r\nformat ascii 1.0\r\nobj_info made by hand\n") + square_header +
                                 "0 0 0.5 255 0 0 128 0 0 0.5 1 7\n"
                                 "1 0 0.5 255 50 0 128 0.25 -1 1.5 1 7\n"
                                 "1 1 0.5 255 100 0 128 0.5 -2 2.5 1 7\n"
                                 "0 1 0.5 255 150 0 128 0.75 -3 3.5 1 7\n"
                                 "9 4 0 1 2 3\n"
                                 "0 1\n";

// Reads a file that must hold the unit square at height z as the triangles
// 0 1 2 and 0 2 3.
void read_square(Mesh& m, const TempDir& dir, const char* name, const std::string& text, float z)
{
    const Read r = read(m, dir.write(name, text));
    ASSERT_TRUE(r.ok) << r.err;
    EXPECT_EQ(r.out, "Opening: " + dir.file(name) + "\nnv: 4, nf: 2\n");
    EXPECT_EQ(xyz(m), (std::vector<float>{0, 0, z, 1, 0, z, 1, 1, z, 0, 1, z}));
    EXPECT_EQ(corners(m), (Corners{{0, 1, 2}, {0, 2, 3}}));
}

}  // namespace

TEST(PlyReader, AsciiAndBothBinaryOrdersGiveTheSameMesh)
{
    TempDir dir;
    const std::pair<const char*, std::string> files[] = {
        {"ascii.ply", ascii_square}, {"little.ply", binary_square(false)}, {"big.PLY", binary_square(true)}};
    for (const auto& [name, text] : files) {
        SCOPED_TRACE(name);
        Mesh m;
        read_square(m, dir, name, text, 0.5f);
        EXPECT_TRUE(m.has_colours);
        EXPECT_EQ(xyzw(m.vertex_colours[3]), (std::array<float, 4>{1.0f, 150 / 255.0f, 0.0f, 1.0f}));
        // Every other scalar property is a morphogen, alpha too.
        EXPECT_EQ(m.morphogen_names, (std::vector<std::string>{"alpha", "height", "label", "quality"}));
        EXPECT_EQ(m.morphogen_values[2], (std::vector<float>{128, 0.5f, -2, 2.5f}));
        EXPECT_EQ(mesh_format_of(name), MeshFormat::Ply);
    }
}

TEST(PlyReader, ColoursOfEveryTypeAndNoColours)
{
    TempDir dir;
    Mesh m;
    ASSERT_TRUE(read(m, dir.write("f.ply",
                                  "ply\nformat ascii 1.0\nelement vertex 3\nproperty double x\nproperty double y\n"
                                  "property double z\nproperty float diffuse_red\nproperty float diffuse_green\n"
                                  "property float diffuse_blue\nelement face 1\nproperty list int uint vertex_index\n"
                                  "end_header\n0 0 0 0.25 0.5 1\n1 0 0 0 0 0\n0 1 0 1 1 1\n3 0 1 2\n"))
                    .ok);
    EXPECT_EQ(m.vertex_colours[0], Vector(0.25f, 0.5f, 1.0f));
    ASSERT_TRUE(read(m, dir.write("u.ply",
                                  "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
                                  "property float z\nproperty ushort red\nproperty ushort green\n"
                                  "property ushort blue\nend_header\n0 0 0 65535 0 13107\n1 0 0 0 0 0\n0 1 0 1 1 1\n"))
                    .ok);
    EXPECT_EQ(m.vertex_colours[0], Vector(1.0f, 0.0f, 0.2f));
    EXPECT_EQ(m.nf, 0);
    // Red and green without blue are two morphogens, not colours.
    ASSERT_TRUE(read(m, dir.write("p.ply",
                                  "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nproperty float y\n"
                                  "property float z\nproperty uchar red\nproperty uchar green\nproperty float x\n"
                                  "end_header\n1 2 3 4 5 6\n"))
                    .ok);
    EXPECT_FALSE(m.has_colours);
    EXPECT_EQ(m.morphogen_names, (std::vector<std::string>{"red", "green", "x"}));
    EXPECT_EQ(m.morphogen_values[0], (std::vector<float>{4, 5, 6}));
}

TEST(PlyReader, RefusedFilesNameTheLineOrByte)
{
    const std::string head =
        "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nproperty float y\n"
        "property float z\n";
    const std::string little =
        "ply\nformat binary_little_endian 1.0\nelement vertex 2\nproperty float x\n"
        "property float y\nproperty float z\nend_header\n";
    const std::string list_head =
        "ply\nformat binary_little_endian 1.0\nelement vertex 1\nproperty float x\n"
        "property float y\nproperty float z\nelement face 1\n"
        "property list uchar int vertex_indices\nend_header\n";
    Bytes nan_body(false);
    nan_body.put(0.0f).put(0.0f).put(0.0f).put(1.0f).put(std::numeric_limits<float>::quiet_NaN()).put(0.0f);
    Bytes big_double(false);
    big_double.put(0.0).put(0.0).put(1e300);
    const std::pair<std::string, std::string> cases[] = {
        {"solid x\n", "line 1: not a PLY file"},
        {"ply\nformat ebcdic 1.0\nend_header\n", "line 2: unknown format \"ebcdic\""},
        {"ply\nformat ascii 1.0\nelement vertex 1\n", "line 3: the header has no end_header line"},
        {"ply\nformat ascii 1.0\nproperty float x\nend_header\n", "line 3: a property before any element"},
        {"ply\nformat ascii 1.0\nelement vertex 1\nproperty quad x\nend_header\n", "line 4: unknown type \"quad\""},
        {"ply\nformat ascii 1.0\nelement vertex -1\nend_header\n", "line 3: an element line needs"},
        {"ply\nformat ascii 1.0\nelement vertex 1\nproperty list float float x\nend_header\n",
         "line 4: a list's count type must be an integer type"},
        {"ply\nformat ascii 1.0\nfrobnicate\nend_header\n", "line 3: unknown header line \"frobnicate\""},
        {"ply\nelement vertex 0\nend_header\n", "line 3: the header has no format line"},
        {"ply\nformat ascii 1.0\nelement face 0\nend_header\n", "line 3: the face element has no vertex_indices list"},
        {"ply\nformat ascii 1.0\nelement vertex 0\nproperty float x\nend_header\n",
         "line 3: the vertex element has no x, y and z"},
        {"ply\nformat ascii 1.0\nelement vertex 0\nproperty float x\nproperty float y\nproperty float z\n"
         "element face 0\nproperty list uchar float vertex_indices\nend_header\n",
         "line 7: the face corners must be of an integer type"},
        // A count no file of this size can hold is refused before it is allocated.
        {head + "element face 4000000000000\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n",
         "line 7: the header announces 4000000000000 face elements, more than the file holds"},
        {head + "end_header\n0 0\n\n", "line 8: the file ends before all the values the header announces"},
        {head + "end_header\n0 zero 0\n", "line 8: \"zero\" is not a number"},
        {head + "end_header\n0\n\n1e39 0\n", "line 10: \"1e39\" does not fit a float"},
        {head + "property uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n0 0 0 255 256 0\n",
         "line 11: \"256\" is not an integer of its type's range"},
        {head + "element face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n3 0 0 1\n",
         "line 11: corner 1 is outside the vertices 0 to 0"},
        {head + "element face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n2 0 0\n",
         "line 11: face with 2 corners, fewer than three"},
        {little + nan_body.text, "byte " + std::to_string(little.size() + 16) + ": y: a value is not a number"},
        {little + nan_body.text.substr(0, 20),
         "line 3: the header announces 2 vertex elements, more than the file holds"},
        {list_head + nan_body.text.substr(0, 12) + "\x03" + nan_body.text.substr(0, 8),
         "byte " + std::to_string(list_head.size() + 12) + ": a list of 3 items, more than the file holds"},
        {"ply\nformat binary_little_endian 1.0\nelement vertex 1\nproperty double x\nproperty double y\n"
         "property double z\nend_header\n" +
             big_double.text,
         ": z: a value does not fit a float"},
    };
    TempDir dir;
    for (const auto& [text, problem] : cases) {
        Mesh m;
        m.morphogen_names = {"old"};
        const Read r = read(m, dir.write("bad.ply", text));
        EXPECT_FALSE(r.ok) << text;
        EXPECT_EQ(r.err.rfind("ERROR: " + dir.file("bad.ply") + ": ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(problem), std::string::npos) << text << "\n" << r.err;
        EXPECT_EQ(m.nv, 0);
        EXPECT_TRUE(m.morphogen_names.empty());
    }
}

namespace {

// Two triangles on the unit square, as an ASCII solid; the corner at the
// origin is written once as -0, which welds with 0.
const std::string ascii_solid =
    "solid square\n"
    "  facet normal 0 0 1\n    outer loop\n      vertex 0 0 0\n      vertex 1 0 0\n      vertex 1 1 0\n"
    "    endloop\n  endfacet\n"
    "  facet normal nan 0 1\n    outer loop\n      vertex -0 0 0\n      vertex 1 1 0\n      vertex 0 1 0\n"
    "    endloop\n  endfacet\n"
    "endsolid square\n";

std::string binary_solid(const std::string& header_text)
{
    std::string header = header_text;
    header.resize(80, ' ');
    Bytes b(false);
    b.put(std::uint32_t(2));
    const float t[2][9] = {{0, 0, 0, 1, 0, 0, 1, 1, 0}, {-0.0f, 0, 0, 1, 1, 0, 0, 1, 0}};
    for (const auto& tri : t) {
        b.put(0.0f).put(0.0f).put(1.0f);
        for (float f : tri) b.put(f);
        b.put(std::uint16_t(0x8001));
    }
    return header + b.text;
}

}  // namespace

TEST(StlReader, AsciiAndBinaryWeldTheSameCorners)
{
    TempDir dir;
    const std::pair<const char*, std::string> files[] = {
        {"a.stl", ascii_solid},
        {"b.STL", binary_solid("binary")},
        // A binary header may start with "solid": the size decides.
        {"c.stl", binary_solid("solid but binary")},
        {"d.stl", "\xEF\xBB\xBF" + ascii_solid + "solid two\nendsolid two\r\n"}};
    for (const auto& [name, text] : files) {
        SCOPED_TRACE(name);
        Mesh m;
        read_square(m, dir, name, text, 0.0f);
        EXPECT_FALSE(m.has_colours);
    }
}

TEST(StlReader, RefusedFilesNameTheLineOrByte)
{
    std::string nan_solid = binary_solid("x");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(&nan_solid[84 + 50 + 12 + 16], &nan, 4);
    const std::pair<std::string, std::string> cases[] = {
        {"solid x\n facet normal 0 0 1\n  outer loop\n   vertex 1 2\n", "line 4: vertex with fewer than three numbers"},
        {"solid x\n facet normal 0 0 1\n  outer loop\n   vertex 1 nan 2\n", "line 4: vertex: \"nan\" is not a number"},
        {"solid x\n facet normal 0 0 1\n  outer loop\n   vertex 1 1 1\n", "line 4: the file ends inside a facet"},
        {"solid x\n facet normal 0 0 1\n  outer loop\n   vertex 1 1 1\n  endloop\n",
         "line 5: facet with fewer than three vertices"},
        {"solid x\n face\n", "line 2: \"facet\" or \"endsolid\" expected, not \"face\""},
        {"solid x\nendsolid\nsomething\n", "line 3: \"solid\" expected"},
        {"tiny", "byte 0: neither ASCII STL"},
        {binary_solid("x") + "extra", "byte 80: binary STL of 2 triangles takes 184 bytes, the file has 189"},
        {binary_solid("solid x").substr(0, 150), "byte 80: binary STL of 2 triangles takes 184 bytes"},
        {nan_solid, "byte 158: triangle 2 has a corner that is not a finite number"},
    };
    TempDir dir;
    for (const auto& [text, problem] : cases) {
        Mesh m;
        const Read r = read(m, dir.write("bad.stl", text));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.err.rfind("ERROR: " + dir.file("bad.stl") + ": ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(problem), std::string::npos) << text << "\n" << r.err;
        EXPECT_EQ(m.nv, 0);
    }
}

TEST(OffReader, PlainColouredAndCommentedFiles)
{
    TempDir dir;
    Mesh m;
    Read r =
        read(m, dir.write("a.off", "OFF # a square\n\n4 1 0\n0 0 0\n1 0 0\n1 1 0 # third\n0 1 0\n4 0 1 2 3 255 0 0\n"));
    ASSERT_TRUE(r.ok) << r.err;
    EXPECT_EQ(r.out, "Opening: " + dir.file("a.off") + "\nnv: 4, nf: 2\n");
    EXPECT_EQ(corners(m), (Corners{{0, 1, 2}, {0, 2, 3}}));
    EXPECT_FALSE(m.has_colours);

    // Colours as bytes or as fractions, counts on the keyword's line,
    // normals and texture coordinates read past.
    r = read(m, dir.write("b.OFF",
                          "STCNOFF 3 1 0\r\n0 0 0  0 0 1  255 0 51  0.5 0.5\r\n1 0 0  0 0 1  0 255 0 255  0 0\r\n"
                          "0 1 0  0 0 1  0.5 0.25 1.0 1.0  1 1\r\n3 0 1 2\r\n"));
    ASSERT_TRUE(r.ok) << r.err;
    EXPECT_TRUE(m.has_colours);
    EXPECT_EQ(xyzw(m.vertex_colours[0]), (std::array<float, 4>{1.0f, 0.0f, 0.2f, 1.0f}));
    EXPECT_EQ(xyzw(m.vertex_colours[2]), (std::array<float, 4>{0.5f, 0.25f, 1.0f, 1.0f}));
    EXPECT_EQ(m.vertices[1], Vector(1, 0, 0));
}

TEST(OffReader, RefusedFilesNameTheLine)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "line 0: empty file, no OFF keyword"},
        {"PLY\n", "line 1: not an OFF file (it does not start with \"OFF\")"},
        {"4OFF\n", "line 1: \"4OFF\" files are not read (only OFF with ST, C and N)"},
        {"OFF BINARY\n", "line 1: binary OFF files are not read"},
        {"OFF\n3 x 0\n", "line 2: the vertex and face counts must be whole numbers of 0 or more"},
        {"OFF\n", "line 1: the file ends before the vertex and face counts"},
        {"OFF\n90000000000 1 0\n",
         "line 2: the header announces 90000000000 vertices and 1 faces, more lines than the file holds"},
        {"OFF\n3 1 0\n0 0 0\n1 0 nan\n", "line 4: vertex: \"nan\" is not a number"},
        {"OFF\n3 1 0\n0 0 0\n1 0\n", "line 4: vertex with fewer than three numbers"},
        {"OFF\n3 1 0\n0 0 0\n1 0 0\n", "line 4: the file ends after 2 of 3 vertices"},
        {"OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 3\n", "line 6: corner \"3\" is not one of the vertices 0 to 2"},
        {"OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n2 0 1\n", "line 6: a face needs a corner count of three or more, not \"2\""},
        {"OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n4 0 1 2\n", "line 6: face with fewer corners than its count 4"},
        {"COFF\n1 0 0\n0 0 0 1 1\n", "line 3: vertex with 5 numbers, which fit no colour layout"},
        {"COFF\n1 0 0\n0 0 0 1 1e99 1\n", "line 3: vertex colour: \"1e99\" does not fit a float"},
    };
    TempDir dir;
    for (const auto& [text, problem] : cases) {
        Mesh m;
        const Read r = read(m, dir.write("bad.off", text));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.err, "ERROR: " + dir.file("bad.off") + ": " + problem + "\n") << text;
        EXPECT_EQ(m.nv, 0);
    }
}

TEST(Loader, ChoosesTheNewReadersByExtensionInAnyCase)
{
    EXPECT_EQ(mesh_format_of("scan.PLY"), MeshFormat::Ply);
    EXPECT_EQ(mesh_format_of("part.Stl"), MeshFormat::Stl);
    EXPECT_EQ(mesh_format_of("x.off"), MeshFormat::Off);
    EXPECT_EQ(mesh_format_of("obj.ply"), MeshFormat::Ply);
    EXPECT_EQ(mesh_format_of("a.plyx"), MeshFormat::None);
    EXPECT_EQ(mesh_format_of("a.gts"), MeshFormat::None);
    TempDir dir;
    Mesh m;
    Captured console;
    EXPECT_EQ(load_mesh_file(m, dir.write("a.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n"), console),
              LoadResult::Loaded);
    EXPECT_EQ(m.nf, 1);
    EXPECT_EQ(m.edge_count, 3);
    // A file the reader refuses empties the mesh, as for OBJ.
    EXPECT_EQ(load_mesh_file(m, dir.write("b.stl", "solid\nfacet\n"), console), LoadResult::Failed);
    EXPECT_EQ(m.nv, 0);
}
