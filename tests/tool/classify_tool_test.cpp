#include <gtest/gtest.h>

#include "core/Mesh.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/RunTool.h"
#include "tests/support/TempDir.h"

namespace {

// halvane-tool classify ARGS with standard output and error together.
std::pair<int, std::string> classify(const std::string& args)
{
    const ToolRun r = run_program(HALVANE_TOOL, "classify " + args);
    return {r.status, r.out};
}

int count_lines(const std::string& text, const std::string& start)
{
    int n = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, start.size(), start) == 0) ++n;
        const std::size_t end = text.find('\n', at);
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return n;
}

}  // namespace

TEST(ClassifyTool, WritesOnePatchFilePerPatchCoveringEveryFace)
{
    TempDir dir;
    auto grid = named::folded_grid(8);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(grid->write_obj(dir.file("grid.obj")));
    testing::internal::GetCapturedStdout();

    const auto [status, out] = classify("--patches 4 " + dir.file("grid.obj") + " " + dir.path());
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("Using Floyd Shortest Path\n"), std::string::npos);
    EXPECT_NE(out.find("Optimal Number of Patches:"), std::string::npos);
    int faces = 0;
    for (int p = 0; p < 4; ++p) {
        const std::string text = slurp(dir.file("patch_" + std::to_string(p) + ".obj"));
        EXPECT_GT(count_lines(text, "f "), 0) << p;
        faces += count_lines(text, "f ");
    }
    EXPECT_EQ(faces, grid->nf);
    EXPECT_EQ(slurp(dir.file("patch_4.obj")), "");
    EXPECT_NE(out.find("Saving: " + dir.file("patch_0.obj") + " v:"), std::string::npos) << out;
}

TEST(ClassifyTool, PatchFilesUseTheExportForm)
{
    TempDir dir;
    // One face: 50 patches of which only patch 0 holds it.
    dir.write("one.obj", "v 0.1 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    const auto [status, out] = classify("--patches 1 " + dir.file("one.obj") + " " + dir.path());
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(slurp(dir.file("patch_0.obj")), "v 0.1 0 0\nv 1 0 0\nv 0 1 0\nf 3/3/3 2/2/2 1/1/1\n");
    EXPECT_NE(out.find("Saving: " + dir.file("patch_0.obj") + " v:3 f:3\n"), std::string::npos) << out;
}

TEST(ClassifyTool, SavedTableReloadsToTheSameClassification)
{
    TempDir dir;
    auto grid = named::open_grid(6);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(grid->write_obj(dir.file("grid.obj")));
    testing::internal::GetCapturedStdout();
    TempDir first, second;
    for (const char* mode : {"floyd", "dijkstra"}) {
        SCOPED_TRACE(mode);
        const std::string common = std::string("--mode ") + mode + " --weight 0.25 " + dir.file("grid.obj") + " ";
        const auto made = classify("--save-table " + dir.file("grid.spt") + " " + common + first.path());
        ASSERT_EQ(made.first, 0) << made.second;
        EXPECT_EQ(slurp(dir.file("grid.spt")).size(), std::size_t(4 * (72 * 72 / 2 + 72)));
        const auto used = classify("--load-table " + dir.file("grid.spt") + " " + common + second.path());
        ASSERT_EQ(used.first, 0) << used.second;
        EXPECT_EQ(used.second.find("Building Distances"), std::string::npos);
        EXPECT_EQ(slurp(first.file("patch_0.obj")), slurp(second.file("patch_0.obj")));
        EXPECT_EQ(slurp(first.file("patch_1.obj")), slurp(second.file("patch_1.obj")));
    }
}

TEST(ClassifyTool, UsageAndFailures)
{
    TempDir dir;
    dir.write("t.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    const std::string in = dir.file("t.obj") + " " + dir.path();
    EXPECT_EQ(classify("").first, 2);
    EXPECT_EQ(classify(in + " extra").first, 2);
    EXPECT_EQ(classify("--patches 0 " + in).first, 2);
    EXPECT_EQ(classify("--patches 51 " + in).first, 2);
    EXPECT_EQ(classify("--patches 2.5 " + in).first, 2);
    EXPECT_EQ(classify("--weight 1.5 " + in).first, 2);
    EXPECT_EQ(classify("--mode bellman " + in).first, 2);
    EXPECT_EQ(classify("--frobnicate 1 " + in).first, 2);
    EXPECT_EQ(classify(in + " --patches").first, 2);
    EXPECT_EQ(classify("--save-table a.spt --load-table b.spt " + in).first, 2);

    EXPECT_EQ(classify(dir.file("missing.obj") + " " + dir.path()).first, 1);
    EXPECT_EQ(classify("--load-table " + dir.file("missing.spt") + " " + in).first, 1);
    EXPECT_EQ(classify("--load-table " + dir.write("short.spt", "ab") + " " + in).first, 1);
    EXPECT_EQ(classify(dir.file("t.obj") + " " + dir.file("no/such/dir")).first, 1);
    EXPECT_EQ(classify("--save-table " + dir.file("no/such.spt") + " " + in).first, 1);
}
