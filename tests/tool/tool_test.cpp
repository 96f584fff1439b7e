#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/RunTool.h"
#include "tests/support/TempDir.h"

namespace {

// Runs halvane-tool with `args` (shell words), capturing standard output and error together.
ToolRun tool(const std::string& args) { return run_program(HALVANE_TOOL, args); }

}  // namespace

TEST(Tool, InfoSummarisesMeshAndMorphogens)
{
    TempDir dir;
    const std::string path = dir.write("m.obj", "mn heat\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\n"
                                                "m 0.5\nm -1\nm 2\nm 0\nf 1 3 2\nf 1 2 4\nf 2 3 4\nf 1 4 3\n");
    const ToolRun r = tool("info " + path);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Opening: " + path), std::string::npos);
    EXPECT_NE(r.out.find("vertices: 4\nfaces: 4\nedges: 6\nborder edges: 0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("bounding box: (0, 0, 0) to (1, 1, 1)\nextent: 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("heat: min -1 max 2"), std::string::npos) << r.out;
}

TEST(Tool, ConvertWritesProgramOwnObj)
{
    TempDir dir;
    const std::string in = dir.write("q.net", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n");
    const ToolRun r = tool("convert " + in + " " + dir.file("out.obj"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(slurp(dir.file("out.obj")), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/1/ 2/2/ 3/3/\n");
}

TEST(Tool, ExitStatusForUsageAndFailures)
{
    TempDir dir;
    EXPECT_EQ(tool("").status, 2);
    EXPECT_EQ(tool("frobnicate x").status, 2);
    EXPECT_EQ(tool("info").status, 2);
    EXPECT_EQ(tool("info " + dir.file("missing.obj")).status, 1);
    EXPECT_EQ(tool("info " + dir.write("bad.obj", "f 1 2 3\n")).status, 1);
    EXPECT_EQ(tool("info " + dir.file("notamesh.txt")).status, 1);
    const std::string in = dir.write("t.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    EXPECT_EQ(tool("convert " + in + " /dev/full").status, 1);
    EXPECT_EQ(tool("convert " + in + " " + dir.path() + "/no/such/dir/x.obj").status, 1);
}

TEST(Tool, SubdivideAndSimplifyReportCountsAndWrite)
{
    TempDir dir;
    const std::string in = dir.write("oct.obj", "v 1 0 0\nv -1 0 0\nv 0 1 0\nv 0 -1 0\nv 0 0 1\nv 0 0 -1\n"
                                                "f 1 3 5\nf 3 2 5\nf 2 4 5\nf 4 1 5\nf 3 1 6\nf 2 3 6\nf 4 2 6\nf 1 4 6\n");
    ToolRun r = tool("subdivide --level 2 --weight 0.0625 " + in + " " + dir.file("fine.obj"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("vertices: 6 -> 66\nfaces: 8 -> 128\n"), std::string::npos) << r.out;
    r = tool("simplify --percent 50 " + dir.file("fine.obj") + " " + dir.file("coarse.obj"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("vertices: 66 -> 33\n"), std::string::npos) << r.out;
    const std::string coarse = slurp(dir.file("coarse.obj"));
    EXPECT_EQ(std::count(coarse.begin(), coarse.end(), 'v'), 33);

    r = tool("simplify --percent 0 " + in + " " + dir.file("none.obj"));
    EXPECT_NE(r.out.find("the mesh is now empty"), std::string::npos) << r.out;

    EXPECT_EQ(tool("subdivide " + in + " " + dir.file("x.obj")).status, 2);
    EXPECT_EQ(tool("subdivide --level 0 " + in + " " + dir.file("x.obj")).status, 2);
    EXPECT_EQ(tool("subdivide --level 1 --weight abc " + in + " " + dir.file("x.obj")).status, 2);
    EXPECT_EQ(tool("simplify --percent 101 " + in + " " + dir.file("x.obj")).status, 2);
    EXPECT_EQ(tool("simplify --percent 5x " + in + " " + dir.file("x.obj")).status, 2);
    EXPECT_EQ(tool("simplify --percent 50 " + dir.file("missing.obj") + " " + dir.file("x.obj")).status, 1);
    r = tool("subdivide --level 30 " + in + " " + dir.file("x.obj"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("the mesh is unchanged"), std::string::npos) << r.out;
}

TEST(Tool, SmoothWritesOneFaceNormalPerLine)
{
    TempDir dir;
    // Two faces meeting at an angle, and one far off in the plane x = 5.
    const std::string in = dir.write("s.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 1\n"
                                              "v 5 8 0\nv 5 9 0\nv 5 8 1\nf 1 2 3\nf 2 4 3\nf 5 6 7\n");
    // Radius 0 is the zero kernel: the normals are written as loaded.
    const ToolRun z = tool("smooth --method mean-shift --radius 0 " + in + " " + dir.file("z.txt"));
    EXPECT_EQ(z.status, 0) << z.out;
    EXPECT_EQ(z.out.find("Evaluating"), std::string::npos) << z.out;
    EXPECT_EQ(slurp(dir.file("z.txt")), "0 -0 1\n-0.57735026 -0.57735026 0.57735026\n1 0 -0\n");

    // The two near faces share the normalised sum of their normals.
    const ToolRun r = tool("smooth --method sphere-jump --radius 20 " + in + " " + dir.file("n.txt"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Evaluating SHPERE_JUMP: \nWEIGHT_MODE = 0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Number of Regions:\t2 \n"), std::string::npos) << r.out;
    EXPECT_EQ(slurp(dir.file("n.txt")), "-0.3250576 -0.3250576 0.88807386\n-0.3250576 -0.3250576 0.88807386\n1 0 -0\n");

    const ToolRun m = tool("smooth --radius 3 --method median " + in + " " + dir.file("m.txt"));
    EXPECT_EQ(m.status, 0) << m.out;
    EXPECT_NE(m.out.find("Evaluating MEDIAN_FILTER: \ndepth: 3\n"), std::string::npos) << m.out;
    EXPECT_EQ(slurp(dir.file("m.txt")), "-0.43301272 -0.43301272 0.6830127\n-0.43301272 -0.43301272 0.6830127\n1 0 -0\n");
}

TEST(Tool, SmoothRefusesBadArguments)
{
    TempDir dir;
    const std::string in = dir.write("t.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    const std::string out = " " + in + " " + dir.file("n.txt");
    EXPECT_EQ(tool("smooth --method blur --radius 5" + out).status, 2);
    EXPECT_EQ(tool("smooth --method median --radius 101" + out).status, 2);
    EXPECT_EQ(tool("smooth --method median --radius -1" + out).status, 2);
    EXPECT_EQ(tool("smooth --method median --radius 2.5" + out).status, 2);
    EXPECT_EQ(tool("smooth --method median" + out).status, 2);
    EXPECT_EQ(tool("smooth --method median --radius 5 " + in).status, 2);
    EXPECT_EQ(tool("smooth --method median --radius").status, 2);
    EXPECT_EQ(tool("smooth --method median --radius 5 " + dir.file("none.obj") + " " + dir.file("n.txt")).status, 1);
    EXPECT_EQ(tool("smooth --method median --radius 5 " + in + " /dev/full").status, 1);
}

TEST(Tool, SegmentGrowsOneGroupPerSeedAndExports)
{
    TempDir dir;
    // Faces 1 and 2 lie flat; face 3 stands up along their shared edge 2-4.
    const std::string in = dir.write("fold.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nv 1 0 1\n"
                                                 "f 1 2 3\nf 2 4 3\nf 2 5 4\n");
    const std::string out = dir.file("parts");
    const ToolRun r = tool("segment " + in + " --depth 10 --angle 1 --seed 1 --seed 3 --depth 1 --angle 91 " + out);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("group 1: 2 faces from face 1 (depth 10, angle 1)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("group 2: 1 faces from face 3 (depth 1, angle 91)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Saving: " + out + "/non-segemented.obj v:3 f:3\n"
                         "Saving: " + out + "/object_1.obj v:3 f:3\n"
                         "Saving: " + out + "/object_2.obj v:3 f:3\n"
                         "Saving: " + out + "/segemented.obj v:4 f:6\n"
                         "Segmented export: 0 of 4 files failed\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(slurp(out + "/non-segemented.obj"), "v 1 0 0\nv 1 0 1\nv 1 1 0\nf 3/3/3 2/2/2 1/1/1\n");
}

TEST(Tool, SegmentRefusesBadArgumentsAndReportsFailedFiles)
{
    TempDir dir;
    const std::string in = dir.write("t.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    const std::string out = dir.file("out");
    EXPECT_EQ(tool("segment " + in + " --seed 1 --depth 1 --angle").status, 2);
    EXPECT_EQ(tool("segment " + in + " " + out).status, 2);
    EXPECT_EQ(tool("segment " + in + " --seed 0 " + out).status, 2);
    EXPECT_EQ(tool("segment " + in + " --seed 2 " + out).status, 2);
    EXPECT_EQ(tool("segment " + in + " --seed 1 --depth x " + out).status, 2);
    EXPECT_EQ(tool("segment " + in + " --seed 1 --depth -1 " + out).status, 2);
    EXPECT_EQ(tool("segment " + in + " --seed 1 --size 3 " + out).status, 2);
    EXPECT_EQ(tool("segment " + dir.file("missing.obj") + " --seed 1 " + out).status, 1);

    const ToolRun r = tool("segment " + in + " --seed 1 " + in);  // the output "directory" is a file
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Segmented export: 3 of 3 files failed"), std::string::npos) << r.out;
}
