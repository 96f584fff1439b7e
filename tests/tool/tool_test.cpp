// halvane-tool run as a user runs it: one check of what each command writes
// and prints, and the exit status of every kind of refusal.
#include <algorithm>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "colouring/png_file.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/RunTool.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"

namespace {

ToolRun tool(const std::string& args)
{
    return run_program(HALVANE_TOOL, args);
}

testing::AssertionResult has(const ToolRun& r, const std::string& text)
{
    if (r.out.find(text) != std::string::npos) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "no \"" << text << "\" in:\n" << r.out;
}

std::string body_of(const std::string& ply)
{
    const std::size_t at = ply.find("end_header\n");
    return at == std::string::npos ? "" : ply.substr(at + 11);
}

std::string write_png(const TempDir& dir, const std::string& name, int side, std::vector<unsigned char> pixels)
{
    RgbaImage image;
    image.width = image.height = side;
    image.pixels = std::move(pixels);
    std::string error;
    EXPECT_TRUE(write_png(dir.file(name), image, error)) << error;
    return dir.file(name);
}

const char* const triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";

}  // namespace

TEST(Tool, InfoAndConvert)
{
    TempDir dir;
    const std::string path = dir.write("m.obj",
                                       "mn heat\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\n"
                                       "m 0.5\nm -1\nm 2\nm 0\nf 1 3 2\nf 1 2 4\nf 2 3 4\nf 1 4 3\n");
    const ToolRun r = tool("info " + path);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r, "Opening: " + path));
    EXPECT_TRUE(has(r, "vertices: 4\nfaces: 4\nedges: 6\nborder edges: 0\n"));
    EXPECT_TRUE(has(r, "bounding box: (0, 0, 0) to (1, 1, 1)\nextent: 1\n"));
    EXPECT_TRUE(has(r, "heat: min -1 max 2\nnon-manifold edges: 0\ndegenerate faces: 0\nconnected parts: 1\n"));

    // A fin on the edge 1-2 with a face without area beside it, and a
    // triangle apart.
    const std::string hard = dir.write("hard.obj",
                                       "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 -1 0\nv 0 0 1\nv 5 5 5\nv 6 5 5\nv 5 6 5\n"
                                       "f 1 2 3\nf 2 1 4\nf 1 2 5\nf 1 1 2\nf 6 7 8\n");
    const ToolRun h = tool("info " + hard);
    EXPECT_EQ(h.status, 0) << h.out;
    EXPECT_TRUE(has(h, "faces: 5\nedges: 10\nborder edges: 9\n"));
    EXPECT_TRUE(has(h, "morphogens: 0\nnon-manifold edges: 1\ndegenerate faces: 1\nconnected parts: 2\n"));

    const std::string in = dir.write("q.net", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n");
    EXPECT_EQ(tool("convert " + in + " " + dir.file("out.obj")).status, 0);
    EXPECT_EQ(slurp(dir.file("out.obj")), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/1/ 2/2/ 3/3/\n");

    // Colours and morphogens survive a trip through PLY and back; the
    // other formats read as well.
    EXPECT_EQ(tool("convert " + path + " " + dir.file("m.PLY")).status, 0);
    EXPECT_EQ(tool("convert " + dir.file("m.PLY") + " " + dir.file("back.obj")).status, 0);
    EXPECT_EQ(slurp(dir.file("back.obj")),
              "mn heat\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nm 0.5\nm -1\nm 2\nm 0\n"
              "f 1/1/ 3/3/ 2/2/\nf 1/1/ 2/2/ 4/4/\nf 2/2/ 3/3/ 4/4/\nf 1/1/ 4/4/ 3/3/\n");
    const std::string stl = dir.write("s.stl",
                                      "solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
                                      "vertex 0 1 0\nendloop\nendfacet\nendsolid s\n");
    const std::string off = dir.write("s.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n");
    for (const std::string& f : {stl, off}) EXPECT_TRUE(has(tool("info " + f), "vertices: 3\nfaces: 1\n")) << f;
}

// A typo must not destroy a file: outputs that are inputs or of the wrong
// kind are refused before anything is read; a file no reader takes is named.
TEST(Tool, GuardsItsOutputsAndNamesEveryFailure)
{
    TempDir dir;
    const std::string in = dir.write("t.obj", triangle);
    const std::string net = dir.write("p.net", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n");
    const std::string mor = dir.write("t.mor", "SIZE 0\n");
    const std::pair<std::string, std::string> refused[] = {
        {"convert " + in + " " + in, "the output " + in + " is also an input"},
        {"convert " + net + " " + dir.path() + "/../" + dir.path().substr(dir.path().rfind('/') + 1) + "/p.net",
         "is also an input"},
        {"smooth --method median --radius 5 " + in + " " + in, "is also an input"},
        {"colour " + in + " " + dir.file("t.ply") + " " + mor, "the output " + mor + " must end in .ply"},
        {"convert " + in + " " + dir.file("t.txt"), "must end in .obj or .ply"},
        {"smooth --method median --radius 5 " + in + " " + dir.file("n.obj"), "must end in .txt"},
        {"terrain --resolution 1 " + dir.file("h.png") + " " + dir.file("t.obj"),
         "--resolution 1 gives a grid of one point and no faces; use 2 or more"},
        {"classify --save-table " + dir.file("table.obj") + " " + in + " " + dir.path(), "must end in .spt"},
        {"segment " + in + " --seed 1 " + in, "is also an input"},
        {"segment " + in + " --seed 1 " + mor, "the output folder " + mor + " is a file"},
    };
    for (const auto& [args, problem] : refused) {
        const ToolRun r = tool(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_TRUE(has(r, problem)) << args;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    }
    EXPECT_EQ(slurp(in), triangle);
    EXPECT_EQ(slurp(mor), "SIZE 0\n");

    const std::pair<std::string, std::string> failed[] = {
        {"info " + dir.write("x.gts", triangle), "ERROR: " + dir.file("x.gts") +
                                                     ": not a mesh file name; the names read end in .obj, .net, .ply, "
                                                     ".stl or .off"},
        {"convert " + in + " /dev/full", "ERROR: could not write /dev/full: No space left on device"},
        {"segment " + in + " --seed 1 " + in + "/parts",
         "ERROR: could not make the folder " + in + "/parts: Not a directory"},
        {"classify " + in + " " + in + "/patches", "ERROR: could not make the folder " + in + "/patches"},
        {"colour " + in + " " + dir.file("none.mor") + " " + dir.file("o.ply"),
         "ERROR!!! " + dir.file("none.mor") + ": No such file or directory"},
        {"info " + in + " >/dev/full", ""},
    };
    for (const auto& [args, problem] : failed) {
        const ToolRun r = tool(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_TRUE(has(r, problem)) << args;
    }
}

TEST(Tool, SubdivideAndSimplifyReportCountsAndWrite)
{
    TempDir dir;
    const std::string in = dir.write("oct.obj",
                                     "v 1 0 0\nv -1 0 0\nv 0 1 0\nv 0 -1 0\nv 0 0 1\nv 0 0 -1\n"
                                     "f 1 3 5\nf 3 2 5\nf 2 4 5\nf 4 1 5\nf 3 1 6\nf 2 3 6\nf 4 2 6\nf 1 4 6\n");
    ToolRun r = tool("subdivide --level 2 --weight 0.0625 " + in + " " + dir.file("fine.obj"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r, "vertices: 6 -> 66\nfaces: 8 -> 128\n"));
    r = tool("simplify --percent 50 " + dir.file("fine.obj") + " " + dir.file("coarse.obj"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r, "vertices: 66 -> 33\n"));
    const std::string coarse = slurp(dir.file("coarse.obj"));
    EXPECT_EQ(std::count(coarse.begin(), coarse.end(), 'v'), 33);

    r = tool("simplify --percent 0 " + in + " " + dir.file("none.obj"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r, "the mesh is now empty"));
    EXPECT_TRUE(has(r, "nothing written"));
    r = tool("subdivide --level 30 " + in + " " + dir.file("x.obj"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r, "the mesh is unchanged"));
}

// The memory the process may use is what its address-space limit leaves,
// not the machine's: what does not fit is refused with one line, and
// nothing runs out of memory half way. (The sanitizers reserve more address
// space than any such limit.)
TEST(Tool, RefusesWhatDoesNotFitUnderAnAddressSpaceLimit)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit";
#endif
    TempDir dir;
    const std::string limited = "ulimit -v 1000000 && exec " + std::string(HALVANE_TOOL);
    const std::string octahedron =
        dir.write("oct.obj",
                  "v 1 0 0\nv -1 0 0\nv 0 1 0\nv 0 -1 0\nv 0 0 1\nv 0 0 -1\n"
                  "f 1 3 5\nf 3 2 5\nf 2 4 5\nf 4 1 5\nf 3 1 6\nf 2 3 6\nf 4 2 6\nf 1 4 6\n");
    ToolRun r = run_program(limited, "subdivide --level 10 " + octahedron + " " + dir.file("fine.obj"));
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(has(r, "Subdivision level 10 would make 8388608 faces"));
    EXPECT_TRUE(has(r, "the limit is 1024 MB"));

    // One polygon of four and a half million corners: as many triangles,
    // with the edge list more than the limit.
    std::string polygon = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf";
    for (int i = 0; i < 1500000; ++i) polygon += " 1 2 3";
    const std::string big = dir.write("polygon.obj", polygon + "\n");
    r = run_program(limited, "info " + big);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(has(r, "3 vertices, 4499998 triangles and 0 morphogens need"));
    EXPECT_TRUE(has(r, "this process may use"));
}

TEST(Tool, SmoothWritesOneFaceNormalPerLine)
{
    TempDir dir;
    // Two faces meeting at an angle, and one far off in the plane x = 5.
    const std::string in = dir.write("s.obj",
                                     "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 1\n"
                                     "v 5 8 0\nv 5 9 0\nv 5 8 1\nf 1 2 3\nf 2 4 3\nf 5 6 7\n");
    // Radius 0 is the zero kernel: the normals are written as loaded.
    const ToolRun z = tool("smooth --method mean-shift --radius 0 " + in + " " + dir.file("z.txt"));
    EXPECT_EQ(z.status, 0) << z.out;
    EXPECT_FALSE(has(z, "Evaluating"));
    EXPECT_EQ(slurp(dir.file("z.txt")), "0 -0 1\n-0.57735026 -0.57735026 0.57735026\n1 0 -0\n");
    // The two near faces share the normalised sum of their normals.
    const ToolRun r = tool("smooth --method sphere-jump --radius 20 " + in + " " + dir.file("n.txt"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r, "Evaluating SHPERE_JUMP: \nWEIGHT_MODE = 0\n"));
    EXPECT_TRUE(has(r, "Number of Regions:\t2 \n"));
    EXPECT_EQ(slurp(dir.file("n.txt")), "-0.3250576 -0.3250576 0.88807386\n-0.3250576 -0.3250576 0.88807386\n1 0 -0\n");
}

TEST(Tool, SegmentGrowsOneGroupPerSeedAndReportsFailedFiles)
{
    TempDir dir;
    // Faces 1 and 2 lie flat; face 3 stands up along their shared edge 2-4.
    const std::string in = dir.write("fold.obj",
                                     "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nv 1 0 1\n"
                                     "f 1 2 3\nf 2 4 3\nf 2 5 4\n");
    const std::string out = dir.file("parts");
    ToolRun r = tool("segment " + in + " --depth 10 --angle 1 --seed 1 --seed 3 --depth 1 --angle 91 " + out);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r, "group 1: 2 faces from face 1 (depth 10, angle 1)\n"));
    EXPECT_TRUE(has(r, "group 2: 1 faces from face 3 (depth 1, angle 91)\n"));
    EXPECT_TRUE(has(r, "Segmented export: 0 of 4 files failed\n"));
    EXPECT_EQ(slurp(out + "/non-segemented.obj"), "v 1 0 0\nv 1 0 1\nv 1 1 0\nf 3/3/3 2/2/2 1/1/1\n");

    // One export file that cannot be written does not stop the others.
    ASSERT_EQ(::remove((out + "/object_2.obj").c_str()), 0);
    ASSERT_EQ(::mkdir((out + "/object_2.obj").c_str(), 0755), 0);
    r = tool("segment " + in + " --seed 1 --seed 3 " + out);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r, "Segmented export: 1 of 4 files failed"));
}

TEST(Tool, ColourAppliesASettingFileAndRefusesAMismatch)
{
    TempDir dir;
    // "heat" rises along x, "wet" is high at vertex 2.
    const std::string obj = dir.write("m.obj",
                                      "mn heat wet\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n"
                                      "m 0 0\nm 1 0\nm 0 1\nm 0.5 -2\nf 1 2 3\nf 2 4 3\n");
    // Base black, additive, heat on in red.
    const std::string mor =
        dir.write("s.mor", "SIZE 2\nBASECOL 0 0 0\nMIXMODE 0\nMORPHO\t255 0 0 1\nMORPHO\t0 0 255 0\n");
    ToolRun r = tool("colour " + obj + " " + mor + " " + dir.file("out.ply"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r, "heat: 0 to 1\nwet: -2 to 1\n"));
    // Vertex 1 (heat 1): red / 2; vertex 3 (heat 0.5): red / 4.
    EXPECT_EQ(body_of(slurp(dir.file("out.ply"))),
              "0 0 0 0 0 0 0 0\n1 0 0 128 0 0 1 0\n0 1 0 0 0 0 0 1\n1 1 0 64 0 0 0.5 -2\n3 0 1 2\n3 1 3 2\n");

    const std::string three = dir.write("3.mor", "SIZE 3\nBASECOL 0 0 0\n");
    r = tool("colour " + obj + " " + three + " " + dir.file("no.ply"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r, "the file holds settings for 3 morphogens, the mesh has 2"));
    EXPECT_EQ(slurp(dir.file("no.ply")), "");
}

TEST(Tool, TerrainAsPlyWithAMapOrAsObj)
{
    TempDir dir;
    const std::string png =
        write_png(dir, "h.png", 2, {0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255});
    // Grid column 1 reads pixel 128, half way between the stretched black
    // and white pixels: grey 128.
    const std::string map = dir.write("r.map", "0 0 0 255\n1 255 0 0\n");
    ToolRun r =
        tool("terrain --resolution 2 --scale 10 --height 5.5 --map " + map + " " + png + " " + dir.file("t.ply"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(body_of(slurp(dir.file("t.ply"))),
              "0 0 0 0 0 255\n0 0 5 0 0 255\n5 2.75 5 255 0 0\n5 2.75 0 255 0 0\n3 0 1 2\n3 0 2 3\n");
    r = tool("terrain --resolution 2 " + png + " " + dir.file("t.obj"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(slurp(dir.file("t.obj")),
              "v 0 0 0\nv 0 0 128\nv 128 32 128\nv 128 32 0\nvc 1 1 1\nvc 1 1 1\nvc 1 1 1\nvc 1 1 1\n"
              "f 1/1/ 2/2/ 3/3/\nf 1/1/ 3/3/ 4/4/\n");

    const std::string text = dir.write("text.png", "plain text");
    r = tool("terrain " + text + " " + dir.file("t.ply"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r, "ERROR: " + text + ": does not load as a PNG image"));
}

TEST(Tool, ClassifyWritesOnePatchFilePerPatchAndReloadsASavedTable)
{
    TempDir dir;
    Captured quiet;
    auto folded = named::folded_grid(8);
    ASSERT_TRUE(folded->write_obj(dir.file("folded.obj"), quiet));
    ToolRun r = tool("classify --patches 4 " + dir.file("folded.obj") + " " + dir.path());
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r, "Using Floyd Shortest Path\n"));
    EXPECT_TRUE(has(r, "Optimal Number of Patches:"));
    EXPECT_TRUE(has(r, "Saving: " + dir.file("patch_0.obj") + " v:"));
    long faces = 0;
    for (int p = 0; p < 4; ++p) {
        const std::string patch = slurp(dir.file("patch_" + std::to_string(p) + ".obj"));
        const long here = std::count(patch.begin(), patch.end(), 'f');  // only face lines have an f
        EXPECT_GT(here, 0) << p;
        faces += here;
    }
    EXPECT_EQ(faces, folded->nf);
    EXPECT_EQ(slurp(dir.file("patch_4.obj")), "");

    // A patch no face chose gets no file; the folder is made as for segment.
    r = tool("classify --patches 3 " + dir.write("one.obj", triangle) + " " + dir.file("new/patches"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(has(r, "2 of 3 patches are empty; no file was written for them\n"));
    const std::string written = folder_listing(dir.file("new/patches"));
    EXPECT_TRUE(written.rfind("patch_", 0) == 0 && written.find(' ') == std::string::npos) << written;

    auto grid = named::open_grid(6);
    ASSERT_TRUE(grid->write_obj(dir.file("grid.obj"), quiet));
    TempDir first, second;
    for (const char* mode : {"floyd", "dijkstra"}) {
        SCOPED_TRACE(mode);
        const std::string common = std::string("--mode ") + mode + " --weight 0.25 " + dir.file("grid.obj") + " ";
        const ToolRun made = tool("classify --save-table " + dir.file("grid.spt") + " " + common + first.path());
        ASSERT_EQ(made.status, 0) << made.out;
        EXPECT_EQ(slurp(dir.file("grid.spt")).size(), std::size_t(4 * (72 * 72 / 2 + 72)));
        const ToolRun used = tool("classify --load-table " + dir.file("grid.spt") + " " + common + second.path());
        ASSERT_EQ(used.status, 0) << used.out;
        EXPECT_FALSE(has(used, "Building Distances"));
        for (const char* patch : {"patch_0.obj", "patch_1.obj"})
            EXPECT_EQ(slurp(first.file(patch)), slurp(second.file(patch)));
    }
}

// 2: the command line is wrong, nothing read. 1: a file could not be read or written.
TEST(Tool, ExitStatusOfEveryRefusal)
{
    TempDir dir;
    const std::string in = dir.write("t.obj", triangle);
    const std::string png = write_png(dir, "ok.png", 1, {0, 0, 0, 255});
    const std::string missing = dir.file("missing.obj"), nodir = dir.file("no/such/dir");
    const std::string out = " " + dir.file("out.obj"), normals = " " + in + " " + dir.file("n.txt");
    const std::string mesh_dir = in + " " + dir.path();
    const std::string morphogens =
        dir.write("m.obj", "mn a b\nv 0 0 0\nv 1 0 0\nv 0 1 0\nm 0 0\nm 1 0\nm 0 1\nf 1 2 3\n");
    const std::pair<std::string, int> cases[] = {
        {"", 2},
        {"frobnicate x", 2},
        {"info " + missing, 1},
        {"info " + dir.write("bad.obj", "f 1 2 3\n"), 1},
        {"convert " + in + " /dev/full", 1},
        {"subdivide --level 1 --weight abc " + in + out, 2},
        {"simplify --percent 101 " + in + out, 2},
        {"smooth --method blur --radius 5" + normals, 2},
        {"smooth --method median --radius 101" + normals, 2},
        {"smooth --method median --radius 2.5" + normals, 2},
        {"smooth --method median --radius", 2},
        {"smooth --method median --radius 5 " + missing + " " + dir.file("n.txt"), 1},
        {"smooth --method median --radius 5 " + in + " /dev/full", 1},
        {"segment " + in + " --seed 1 --depth 1 --angle", 2},
        {"segment " + in + " " + nodir, 2},
        {"segment " + in + " --seed 2 " + nodir, 2},
        {"segment " + in + " --seed 1 --depth -1 " + nodir, 2},
        {"segment " + missing + " --seed 1 " + nodir, 1},
        {"colour " + morphogens + " " + dir.file("none.mor") + " " + dir.file("o.ply"), 1},
        {"colour " + morphogens + " " + dir.file("none.mor"), 2},
        {"terrain " + dir.file("missing.png") + " " + dir.file("t.ply"), 1},
        {"terrain " + png + " --map " + dir.file("none.map") + " " + dir.file("t.ply"), 1},
        {"terrain " + png + " --resolution 5000 " + dir.file("t.ply"), 2},
        {"terrain " + png + " " + dir.file("t.stl"), 2},
        {"terrain " + png + " " + nodir + "/t.ply", 1},
        {"classify", 2},
        {"classify --patches 51 " + mesh_dir, 2},
        {"classify --weight 1.5 " + mesh_dir, 2},
        {"classify " + mesh_dir + " --patches", 2},
        {"classify --save-table a.spt --load-table b.spt " + mesh_dir, 2},
        {"classify " + missing + " " + dir.path(), 1},
        {"classify --load-table " + dir.write("short.spt", "ab") + " " + mesh_dir, 1},
        {"classify " + in + " " + nodir, 0},
        {"classify --save-table " + dir.file("gone/such.spt") + " " + mesh_dir, 1},
    };
    for (const auto& [args, status] : cases) EXPECT_EQ(tool(args).status, status) << args;
}

TEST(Tool, AReadOnlyFolderIsReportedWithTheSystemsReason)
{
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const std::string in = dir.write("t.obj", triangle);
    ASSERT_EQ(::mkdir(dir.file("shut").c_str(), 0755), 0);
    const std::string old = dir.write("shut/old.obj", "an old mesh\n");
    ASSERT_EQ(::chmod(old.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir.file("shut").c_str(), 0555), 0);
    // As a user without the superuser's rights, who cannot write there.
    const ChildRun run = run_without_privileges([&](Messages& out) {
        const ToolRun segment = tool("segment " + in + " --seed 1 " + dir.file("shut/parts"));
        const ToolRun convert = tool("convert " + in + " " + old);
        out.info(segment.out + convert.out);
        return segment.status == 1 && convert.status == 1;
    });
    EXPECT_TRUE(run.ran && run.result) << run.printed;
    EXPECT_NE(run.printed.find("ERROR: could not make the folder " + dir.file("shut/parts") + ": Permission denied"),
              std::string::npos)
        << run.printed;
    EXPECT_NE(run.printed.find("ERROR: could not write " + old + ": Permission denied"), std::string::npos)
        << run.printed;
    EXPECT_EQ(slurp(old), "an old mesh\n");
    EXPECT_EQ(folder_listing(dir.file("shut")), "old.obj");
    ::chmod(dir.file("shut").c_str(), 0755);
}
