#include <gtest/gtest.h>

#include "colouring/PngFile.h"
#include "tests/support/RunTool.h"
#include "tests/support/TempDir.h"

namespace {

ToolRun halvane_tool(const std::string& args) { return run_program(HALVANE_TOOL, args); }

// Four vertices, two morphogens: "heat" rises along x, "wet" is high at vertex 2.
const char* morphogen_obj =
    "mn heat wet\n"
    "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n"
    "m 0 0\nm 1 0\nm 0 1\nm 0.5 -2\n"
    "f 1 2 3\nf 2 4 3\n";

std::string body_of(const std::string& ply)
{
    const std::size_t at = ply.find("end_header\n");
    return at == std::string::npos ? "" : ply.substr(at + 11);
}

}  // namespace

TEST(ColourCommand, AppliesASettingFileAndWritesColouredPly)
{
    TempDir dir;
    const std::string obj = dir.write("m.obj", morphogen_obj);
    // Base black, additive, heat on in red.
    const std::string mor = dir.write("s.mor", "SIZE 2\nBASECOL 0 0 0\nMIXMODE 0\nMORPHO\t255 0 0 1\nMORPHO\t0 0 255 0\n");
    const ToolRun r = halvane_tool("colour " + obj + " " + mor + " " + dir.file("out.ply"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("heat: 0 to 1\nwet: -2 to 1\n"), std::string::npos) << r.out;
    // Vertex 1 (heat 1): red / 2; vertex 3 (heat 0.5): red / 4.
    EXPECT_EQ(body_of(slurp(dir.file("out.ply"))),
              "0 0 0 0 0 0\n1 0 0 128 0 0\n0 1 0 0 0 0\n1 1 0 64 0 0\n3 0 1 2\n3 1 3 2\n");
}

TEST(ColourCommand, RefusesMismatchedOrMissingSettings)
{
    TempDir dir;
    const std::string obj = dir.write("m.obj", morphogen_obj);
    const std::string three = dir.write("3.mor", "SIZE 3\nBASECOL 0 0 0\n");
    ToolRun r = halvane_tool("colour " + obj + " " + three + " " + dir.file("out.ply"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("the file holds settings for 3 morphogens, the mesh has 2"), std::string::npos) << r.out;
    EXPECT_EQ(slurp(dir.file("out.ply")), "");
    EXPECT_EQ(halvane_tool("colour " + obj + " " + dir.file("none.mor") + " " + dir.file("o.ply")).status, 1);
    EXPECT_EQ(halvane_tool("colour " + obj + " " + three).status, 2);
}

TEST(TerrainCommand, BuildsTheDefaultTerrainAsPlyOrObj)
{
    TempDir dir;
    RgbaImage image;
    image.width = image.height = 2;
    image.pixels = {0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255};
    std::string error;
    ASSERT_TRUE(write_png(dir.file("h.png"), image, error));

    ToolRun r = halvane_tool("terrain " + dir.file("h.png") + " " + dir.file("t.ply"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("4096, 7938 \n"), std::string::npos) << r.out;
    const std::string ply = slurp(dir.file("t.ply"));
    EXPECT_NE(ply.find("element vertex 4096\n"), std::string::npos);
    // The default map: the low left edge black.
    EXPECT_EQ(body_of(ply).substr(0, 12), "0 0 0 0 0 0\n");

    // Grid column 1 reads pixel 128, half way between the stretched black
    // and white pixels: grey 128.
    const std::string map = dir.write("r.map", "0 0 0 255\n1 255 0 0\n");
    r = halvane_tool("terrain --resolution 2 --scale 10 --height 5.5 --map " + map + " " + dir.file("h.png") +
                     " " + dir.file("t2.ply"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(body_of(slurp(dir.file("t2.ply"))),
              "0 0 0 0 0 255\n0 0 5 0 0 255\n5 2.75 5 255 0 0\n5 2.75 0 255 0 0\n3 0 1 2\n3 0 2 3\n");

    r = halvane_tool("terrain --resolution 2 " + dir.file("h.png") + " " + dir.file("t.obj"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(slurp(dir.file("t.obj")),
              "v 0 0 0\nv 0 0 128\nv 128 32 128\nv 128 32 0\nf 1/1/ 2/2/ 3/3/\nf 1/1/ 3/3/ 4/4/\n");
}

TEST(TerrainCommand, ExitStatusForBadImagesAndOptions)
{
    TempDir dir;
    const std::string text = dir.write("h.png", "plain text");
    ToolRun r = halvane_tool("terrain " + text + " " + dir.file("t.ply"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("ERROR: " + text + ": does not load as a PNG image"), std::string::npos) << r.out;
    EXPECT_EQ(halvane_tool("terrain " + dir.file("missing.png") + " " + dir.file("t.ply")).status, 1);

    RgbaImage image;
    image.width = image.height = 1;
    image.pixels = {0, 0, 0, 255};
    std::string error;
    ASSERT_TRUE(write_png(dir.file("ok.png"), image, error));
    const std::string png = dir.file("ok.png");
    EXPECT_EQ(halvane_tool("terrain " + png + " --map " + dir.file("none.map") + " " + dir.file("t.ply")).status, 1);
    EXPECT_EQ(halvane_tool("terrain " + png + " --resolution 0 " + dir.file("t.ply")).status, 2);
    EXPECT_EQ(halvane_tool("terrain " + png + " --resolution 5000 " + dir.file("t.ply")).status, 2);
    EXPECT_EQ(halvane_tool("terrain " + png + " --scale -1 " + dir.file("t.ply")).status, 2);
    EXPECT_EQ(halvane_tool("terrain " + png + " --height " + dir.file("t.ply")).status, 2);
    EXPECT_EQ(halvane_tool("terrain " + png + " --colour red " + dir.file("t.ply")).status, 2);
    EXPECT_EQ(halvane_tool("terrain " + png + " " + dir.file("t.stl")).status, 2);
    EXPECT_EQ(halvane_tool("terrain " + png + " " + dir.path() + "/no/such/dir/t.ply").status, 1);
}
