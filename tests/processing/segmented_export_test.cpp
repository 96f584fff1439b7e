#include <gtest/gtest.h>

#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

#include "processing/EdgeTraversal.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"

namespace {

struct Export {
    int failed;
    std::string console;
};

Export run_export(const EdgeTraversal& t, const TempDir& dir)
{
    Export e{0, ""};
    e.console = printed([&] { e.failed = t.export_groups(dir.path()); });
    return e;
}

}  // namespace

TEST(SegmentedExport, NoGroupWritesTheWholeMeshAndAnEmptySegmentedFile)
{
    auto m = named::two_triangles();
    EdgeTraversal t(m.get());
    TempDir dir;
    const Export e = run_export(t, dir);
    EXPECT_EQ(e.failed, 0);
    EXPECT_EQ(e.console, "Saving: " + dir.file("non-segemented.obj") + " v:4 f:6\n" +
                             "Saving: " + dir.file("segemented.obj") + " v:0 f:0\n" +
                             "Segmented export: 0 of 2 files failed\n");
    EXPECT_EQ(slurp(dir.file("non-segemented.obj")),
              "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n"
              "f 3/3/3 2/2/2 1/1/1\nf 3/3/3 4/4/4 2/2/2\n");
    EXPECT_EQ(slurp(dir.file("segemented.obj")), "");
    EXPECT_FALSE(std::ifstream(dir.file("object_1.obj")).good());
}

TEST(SegmentedExport, OneFilePerGroupNumber)
{
    auto m = named::open_grid(2);  // 8 faces
    m->faces[1].group = 2;
    m->faces[2].group = 2;
    m->faces[5].group = 3;
    EdgeTraversal t(m.get());
    t.group_count = 3;
    TempDir dir;
    const Export e = run_export(t, dir);
    EXPECT_EQ(e.failed, 0);
    for (const char* line : {"non-segemented.obj v:7 f:15\n", "object_1.obj v:0 f:0\n", "object_2.obj v:6 f:6\n",
                             "object_3.obj v:3 f:3\n", "/segemented.obj v:8 f:9\n",
                             "Segmented export: 0 of 5 files failed\n"})
        EXPECT_NE(e.console.find(line), std::string::npos) << line << e.console;
    EXPECT_LT(e.console.find("object_3.obj"), e.console.find("/segemented.obj"));
    EXPECT_EQ(slurp(dir.file("object_1.obj")), "");
}

TEST(SegmentedExport, EqualPositionsMergeAndFloatsReadBack)
{
    auto m = named::split_pair();
    m->vertices[0] = Vector(0.1f, -0.0f, 1.0f / 3.0f);
    m->vertices[3] = Vector(1e-7f, 123456.79f, 0.0f);
    for (Face& f : m->faces) f.group = 1;
    EdgeTraversal t(m.get());
    t.group_count = 1;
    TempDir dir;
    const Export e = run_export(t, dir);
    EXPECT_NE(e.console.find("object_1.obj v:4 f:6\n"), std::string::npos) << e.console;
    EXPECT_EQ(slurp(dir.file("object_1.obj")),
              "v 0.1 -0 0.33333334\nv 1 0 0\nv 0 1 0\nv 1e-07 123456.79 0\n"
              "f 3/3/3 2/2/2 1/1/1\nf 3/3/3 4/4/4 2/2/2\n");

    // -0 and 0 are one position.
    m->vertices[4] = Vector(1.0f, -0.0f, -0.0f);
    run_export(t, dir);
    EXPECT_EQ(slurp(dir.file("object_1.obj")).find("v 1 -0 -0"), std::string::npos);
}

TEST(SegmentedExport, AFileThatCannotBeWrittenIsReportedAndTheRestAreWritten)
{
    auto m = named::two_triangles();
    m->faces[1].group = 1;
    EdgeTraversal t(m.get());
    t.group_count = 1;
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.file("object_1.obj").c_str(), 0755), 0);
    const Export e = run_export(t, dir);
    EXPECT_EQ(e.failed, 1);
    EXPECT_NE(e.console.find("ERROR: could not open " + dir.file("object_1.obj") + " for writing"),
              std::string::npos)
        << e.console;
    EXPECT_EQ(e.console.find("Saving: " + dir.file("object_1.obj")), std::string::npos);
    EXPECT_NE(e.console.find("Saving: " + dir.file("segemented.obj") + " v:3 f:3\n"), std::string::npos);
    EXPECT_NE(e.console.find("Segmented export: 1 of 3 files failed\n"), std::string::npos);
    EXPECT_EQ(slurp(dir.file("non-segemented.obj")), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 3/3/3 2/2/2 1/1/1\n");
    EXPECT_EQ(slurp(dir.file("segemented.obj")), "v 1 0 0\nv 1 1 0\nv 0 1 0\nf 3/3/3 2/2/2 1/1/1\n");
}

TEST(SegmentedExport, AFailedWriteIsReported)
{
    if (!std::ifstream("/dev/full").good()) GTEST_SKIP() << "no /dev/full here";
    auto m = named::open_grid(2);
    EdgeTraversal t(m.get());
    TempDir dir;
    // Opens fine; every write fails as on a full disk.
    ASSERT_EQ(::symlink("/dev/full", dir.file("non-segemented.obj").c_str()), 0);
    const Export e = run_export(t, dir);
    EXPECT_EQ(e.failed, 1);
    EXPECT_NE(e.console.find("ERROR: could not write " + dir.file("non-segemented.obj") + " completely"),
              std::string::npos)
        << e.console;
    EXPECT_NE(e.console.find("Segmented export: 1 of 2 files failed\n"), std::string::npos) << e.console;
}
