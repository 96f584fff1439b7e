// The colouring files: colour maps, morphogen settings and PLY output.
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "colouring/ColourMap.h"
#include "colouring/LightSettings.h"
#include "colouring/MorphogenSettings.h"
#include "colouring/ply_file.h"
#include "core/Mesh.h"
#include "core/ply_reader.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"

namespace {

const Rgb black{0, 0, 0}, white{255, 255, 255}, red{255, 0, 0};

const char* example_text =
    "SIZE 3\nBASECOL 10 20 30\nMIXMODE 1\nMORPHO\t255 0 0 0\nMORPHO\t0 255 0 1\nMORPHO\t255 0 0 0\n";

}  // namespace

TEST(ColourMap, KeepsEntriesInOrderAndItsEnds)
{
    ColourMap map;
    EXPECT_EQ(map.insert(0.5f, red), 1u);
    EXPECT_EQ(map.map_values, (std::vector<float>{0.0f, 0.5f, 1.0f}));
    EXPECT_EQ(map.map_colours, (std::vector<Rgb>{black, red, white}));
    EXPECT_EQ(map.insert(0.5f, white), 2u);  // after an equal value
    EXPECT_EQ(map.change(1, 2.0f, red), 3u);
    EXPECT_EQ(map.map_values, (std::vector<float>{0.0f, 0.5f, 1.0f, 2.0f}));
    EXPECT_EQ(map.map_colours, (std::vector<Rgb>{black, white, white, red}));

    EXPECT_FALSE(map.removable(0));
    EXPECT_FALSE(map.removable(3));
    EXPECT_TRUE(map.removable(1));
    map.remove(1);
    EXPECT_EQ(map.map_values, (std::vector<float>{0.0f, 1.0f, 2.0f}));
    EXPECT_FALSE(ColourMap().removable(1));
}

TEST(ColourMap, WritesTheShortestExactFloats)
{
    TempDir dir;
    Captured console;
    ColourMap map;
    map.insert(0.1f, {1, 2, 3});
    map.insert(1.0f / 3.0f, {4, 5, 6});
    map.insert(1e-7f, {7, 8, 9});
    ASSERT_TRUE(map.write(dir.file("m.map"), console));
    EXPECT_EQ(slurp(dir.file("m.map")),
              "0\t0\t0\t0\n1e-07\t7\t8\t9\n0.1\t1\t2\t3\n0.33333334\t4\t5\t6\n1\t255\t255\t255\n");
    ColourMap back;
    printed(console, [&] { EXPECT_TRUE(back.read(dir.file("m.map"), console)); });
    EXPECT_EQ(back.map_values, map.map_values);
    EXPECT_EQ(back.map_colours, map.map_colours);

    EXPECT_EQ(printed(console,
                      [&] {
                          EXPECT_FALSE(map.write(dir.path() + "/no/such/dir/m.map", console));
                          EXPECT_FALSE(map.write("/dev/full", console));
                      }),
              "ERROR: SAVING FILE .MAP File! QtMeshTerrainWidget::save_event(void) " + dir.path() +
                  "/no/such/dir/m.map: No such file or directory\n"
                  "ERROR: SAVING FILE .MAP File! QtMeshTerrainWidget::save_event(void) /dev/full: No space left on "
                  "device\n");
}

TEST(ColourMap, ReadsEntriesAndFillsMissingComponentsFromTheEntryBefore)
{
    TempDir dir;
    Captured console;
    ColourMap map;
    const std::string path = dir.write("a.map", "0 10 20 30\n0.5 40 50\nsea 1 60\n");
    const std::string out = printed(console, [&] { EXPECT_TRUE(map.read(path, console)); });
    EXPECT_EQ(map.map_values, (std::vector<float>{0.0f, 0.5f, 1.0f}));
    EXPECT_EQ(map.map_colours, (std::vector<Rgb>{{10, 20, 30}, {40, 50, 30}, {60, 50, 30}}));
    EXPECT_EQ(out, "0.000000, 10, 20, 30 \n0.500000, 40, 50, 30 \n1.000000, 60, 50, 30 \n");
}

TEST(ColourMap, AFailedReadKeepsTheMap)
{
    TempDir dir;
    Captured console;
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"", "line 1: no entry with a value and red, green and blue"},
        {"# nothing\n0.5 1 2\n", "line 3: no entry with a value and red, green and blue"},
        {"0 0 0 0\n0.5 1 256 0\n", "line 2: a colour component is outside 0..255"},
        {"0 0 0 0\n1e60 1 2 3\n", "line 2: the value is not a finite number"},
    };
    for (const auto& [text, problem] : broken) {
        ColourMap map;
        map.insert(0.25f, red);
        const std::string path = dir.write("b.map", text);
        EXPECT_EQ(printed(console, [&] { EXPECT_FALSE(map.read(path, console)) << text; }),
                  "ERROR: " + path + ": " + problem + "; the colour map is unchanged\n");
        EXPECT_EQ(map.map_values, (std::vector<float>{0.0f, 0.25f, 1.0f}));
    }
    ColourMap map;
    EXPECT_EQ(printed(console, [&] { EXPECT_FALSE(map.read(dir.file("missing.map"), console)); }),
              "ERROR!!! " + dir.file("missing.map") + ": No such file or directory\n");
    EXPECT_EQ(map.size(), 2u);
}

// A whole setting is written byte for byte and read back through the
// morphogen panel (colouring_panel_tests).
TEST(MorphogenSettings, FailedWriteIsReported)
{
    TempDir dir;
    Captured console;
    MorphogenSettings s;
    s.reset({"a"});
    EXPECT_EQ(printed(console, [&] { EXPECT_FALSE(s.write(dir.path() + "/no/such/dir/s.mor", console)); }),
              "ERROR: SAVING FILE .MOR File! QtMorphogenWidget::saveSlot(void) " + dir.path() +
                  "/no/such/dir/s.mor: No such file or directory\n");
}

TEST(MorphogenSettings, CountLineMustMatchTheNamesHeld)
{
    TempDir dir;
    Captured console;
    // Settings before the count line stay; nothing after it is read.
    const std::string path = dir.write("s.mor", std::string("MIXMODE 1\n") + example_text);
    MorphogenSettings s;
    s.reset({"a", "b"});
    EXPECT_EQ(
        printed(console, [&] { EXPECT_EQ(s.read(path, console), MorphogenSettings::Load::CountMismatch); }),
        "ERROR: " + path + ": line 2: the file holds settings for 3 morphogens, the mesh has 2; load abandoned\n");
    EXPECT_EQ(s.mix_mode, 1);
    EXPECT_EQ(s.base_colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(s.colours, (std::vector<Rgb>{red, red}));
}

TEST(MorphogenSettings, RejectsBrokenFilesWithoutChangingAnything)
{
    TempDir dir;
    Captured console;
    const std::vector<std::pair<std::string, std::string>> broken = {
        {"SIZE 1\nBASECOL 1 2\nMIXMODE 1\n", "line 2: BASECOL needs 3 numbers"},
        {"SIZE 1\nMORPHO\t300 0 0 1\n", "line 2: MORPHO colour component outside 0..255"},
        {"SIZE 1\nMIXMODE 1e20\n", "line 2: MIXMODE value out of range"},
        {"SIZE\n", "line 1: SIZE needs 1 number"},
        // Any text passes the keyword scan; a settings file has its count.
        {"BASECOL 1 2 3\nMIXMODE 1\nMORPHO 1 2 3 1\n",
         "line 1: no SIZE line: not a morphogen settings file; nothing changed"},
        {"ply\nformat ascii 1.0\nelement vertex 0\nend_header\n",
         "line 1: no SIZE line: not a morphogen settings file; nothing changed"},
    };
    for (const auto& [text, problem] : broken) {
        const std::string path = dir.write("b.mor", text);
        MorphogenSettings s;
        s.reset({"only"});
        EXPECT_EQ(
            printed(console, [&] { EXPECT_EQ(s.read(path, console), MorphogenSettings::Load::Malformed) << text; }),
            "ERROR: " + path + ": " + problem + "\n");
        EXPECT_EQ(s.mix_mode, 0);
        EXPECT_EQ(s.colours, std::vector<Rgb>{red});
    }
    MorphogenSettings s;
    const std::string out = printed(
        console, [&] { EXPECT_EQ(s.read(dir.file("missing.mor"), console), MorphogenSettings::Load::Unreadable); });
    EXPECT_EQ(out, "ERROR!!! " + dir.file("missing.mor") + ": No such file or directory\n");
}

TEST(MorphogenSettings, ToleratesSurplusLinesStrayWordsAndFractions)
{
    TempDir dir;
    Captured console;
    const std::string path =
        dir.write("s.mor", "# saved by hand\nSIZE 1\nBASECOL 1.9 2 3 junk\nMORPHO\t0 0 255 1\nMORPHO\t9 9 9 1\n");
    MorphogenSettings s;
    s.reset({"only"});
    printed(console, [&] { EXPECT_EQ(s.read(path, console), MorphogenSettings::Load::Loaded); });
    EXPECT_EQ(s.base_colour, (Rgb{1, 2, 3}));  // numbers are truncated
    EXPECT_EQ(s.colours, (std::vector<Rgb>{{0, 0, 255}}));
    EXPECT_EQ(s.toggles, std::vector<int>{1});
}

// The write itself is checked byte for byte through the lighting panel
// (main_window_tests).
TEST(LightSettings, ReadsWhatItWritesAndRejectsBrokenFilesWhole)
{
    TempDir dir;
    Captured console;
    LightSettings s;
    s.ambient = Rgb{1, 2, 3};
    s.azimuth = 360;
    ASSERT_TRUE(s.write(dir.file("a.lgt"), console));
    LightSettings back;
    ASSERT_TRUE(back.read(dir.file("a.lgt"), console));
    EXPECT_EQ(back.ambient, (Rgb{1, 2, 3}));
    EXPECT_EQ(back.diffuse, (Rgb{31, 31, 31}));
    EXPECT_EQ(back.azimuth, 360);

    // Keywords in any order, missing ones kept, blank lines skipped.
    ASSERT_TRUE(back.read_text("\nALTITUDE 90\n  SPECULAR 9 9 9  \n", "b.lgt", console));
    EXPECT_EQ(back.altitude, 90);
    EXPECT_EQ(back.specular, (Rgb{9, 9, 9}));
    EXPECT_EQ(back.ambient, (Rgb{1, 2, 3}));

    for (const char* broken : {"AMBIENT 1 2\n", "ALTITUDE 361\n", "AZIMUTH -1\n", "DIFFUSE 1 2 3 4\n",
                               "ALTITUDE 10\nLIGHT 1\n", "AMBIENT 1 2 x\n", "ALTITUDE 1.5\n"}) {
        LightSettings kept = back;
        const std::string out = printed(console, [&] { EXPECT_FALSE(kept.read_text(broken, "c.lgt", console)); });
        EXPECT_EQ(out.rfind("ERROR: c.lgt: line ", 0), 0u) << broken << out;
        EXPECT_EQ(kept.altitude, 90) << broken;
        EXPECT_EQ(kept.ambient, (Rgb{1, 2, 3})) << broken;
    }
    const std::string out = printed(console, [&] { EXPECT_FALSE(back.read(dir.file("none.lgt"), console)); });
    EXPECT_NE(out.find("none.lgt"), std::string::npos);
    EXPECT_FALSE(s.write(dir.file("no/such/folder/a.lgt"), console));
}

TEST(PlyFile, AsciiHoldsPositionsClampedColoursMorphogensAndFaces)
{
    TempDir dir;
    Captured console;
    auto m = named::single_triangle();
    m->has_colours = true;
    m->morphogen_names = {"height", "spots"};
    m->morphogen_values = {{0.5f, 1e-7f}, {-2, 0}, {3, 1.0f / 3}};
    m->vertices[1].x = 0.1f;
    m->vertex_colours[0] = Vector(1.5f, -0.2f, 0.5f, 1.0f);
    m->vertex_colours[1] = Vector(10 / 255.0f, 20 / 255.0f, 30 / 255.0f, 1.0f);
    m->vertex_colours[2] = Vector(NAN, 1.0f, 0.0f, 1.0f);
    ASSERT_TRUE(write_ply(*m, dir.file("t.ply"), PlyFormat::Ascii, console));
    EXPECT_EQ(slurp(dir.file("t.ply")),
              "ply\nformat ascii 1.0\ncomment written by Halvane\nelement vertex 3\n"
              "property float x\nproperty float y\nproperty float z\n"
              "property uchar red\nproperty uchar green\nproperty uchar blue\n"
              "property float height\nproperty float spots\n"
              "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
              "0 0 0 255 0 128 0.5 1e-07\n0.1 0 0 10 20 30 -2 0\n0 1 0 0 255 0 3 0.33333334\n3 0 1 2\n");
    // A mesh without colours of its own gets none in the file.
    m->has_colours = false;
    m->morphogen_values.clear();
    ASSERT_TRUE(write_ply(*m, dir.file("t.ply"), PlyFormat::Ascii, console));
    EXPECT_EQ(slurp(dir.file("t.ply")).find("red"), std::string::npos);
}

TEST(PlyFile, BinaryReadsBackThroughTheReader)
{
    TempDir dir;
    Captured console;
    auto m = named::torus(6, 5);
    m->has_colours = true;
    m->morphogen_names = {"alpha", "x", "beta"};
    m->allocate_morphogens(m->nv, 3);
    for (int i = 0; i < m->nv; ++i) {
        m->vertex_colours[i] = Vector(i / 29.0f, 1.0f - i / 29.0f, 0.5f);
        m->morphogen_values[i] = {float(i) / 7, -float(i) * 1e30f, 1e-40f * float(i)};
    }
    Mesh back;
    printed(console, [&] {
        ASSERT_TRUE(write_ply(*m, dir.file("b.ply"), PlyFormat::BinaryLittleEndian, console));
        ASSERT_TRUE(read_ply(back, dir.file("b.ply"), console));
    });
    EXPECT_EQ(back.vertices, m->vertices);
    EXPECT_EQ(corners(back), corners(*m));
    EXPECT_EQ(back.morphogen_names, m->morphogen_names);
    EXPECT_EQ(back.morphogen_values, m->morphogen_values);
    ASSERT_TRUE(back.has_colours);
    for (int i = 0; i < m->nv; ++i) {
        const Rgb c = colour_bytes(m->vertex_colours[i]);
        EXPECT_EQ(back.vertex_colours[i], Vector(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f)) << i;
    }
}

TEST(PlyFile, BinaryIsLittleEndianAndWritesAreChecked)
{
    TempDir dir;
    Captured console;
    auto m = named::two_triangles();
    m->has_colours = true;
    m->vertices[3].y = -2.5f;
    m->vertex_colours[3] = Vector(0.0f, 0.0f, 1.0f, 1.0f);
    ASSERT_TRUE(write_ply(*m, dir.file("b.ply"), PlyFormat::BinaryLittleEndian, console));
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

    const std::string out = printed(console, [&] {
        EXPECT_FALSE(write_ply(*m, "/dev/full", PlyFormat::Ascii, console));
        EXPECT_FALSE(write_ply(*m, dir.path() + "/no/such/dir/x.ply", PlyFormat::Ascii, console));
    });
    EXPECT_NE(out.find("ERROR: could not write /dev/full: No space left on device [write_ply()]"), std::string::npos)
        << out;
    EXPECT_NE(out.find("/no/such/dir/x.ply: No such file or directory"), std::string::npos) << out;
}
