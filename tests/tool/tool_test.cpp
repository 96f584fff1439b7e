#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/wait.h>

#include "tests/support/TempDir.h"

namespace {

struct ToolRun {
    int status;
    std::string out;
};

// Runs halvane-tool with `args` (shell words), capturing standard output and error together.
ToolRun tool(const std::string& args)
{
    const std::string command = std::string(HALVANE_TOOL) + " " + args + " 2>&1";
    std::FILE* p = ::popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer;
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), p)) > 0) out.append(buffer.data(), got);
    const int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

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
