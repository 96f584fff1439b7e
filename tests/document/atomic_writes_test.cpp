// Every writer of the program, made to fail the ways a disk fails: full, read
// only, broken. Each must say which file and why, leave the old file byte
// for byte, and leave no temporary file.
#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "classification/Mesh_Classifier.h"
#include "clipping/PlaneWidgetInCube.h"
#include "colouring/ColourMap.h"
#include "colouring/LightSettings.h"
#include "colouring/MorphogenSettings.h"
#include "colouring/ply_file.h"
#include "colouring/png_file.h"
#include "core/Messages.h"
#include "document/MeshDocument.h"
#include "smoothing/write_face_normals.h"
#include "tests/support/FailingWrites.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"
#include "tests/support/Unprivileged.h"
#include "traversal/EdgeTraversal.h"

namespace {

struct Writer {
    const char* name;  // also the file's name
    std::function<bool(const std::string& path, Messages&)> write;
    // What the failure line says before the file's name and the reason:
    // when the file cannot be made, and when it cannot be written.
    const char* opening;
    const char* writing;
};

std::vector<Writer> writers()
{
    return {
        {"mesh.obj",
         [](const std::string& path, Messages& out) {
             auto m = named::tetrahedron();
             return m->write_obj(path, out);
         },
         "\nERROR: could not write ", "\nERROR: could not write "},
        {"mesh.ply",
         [](const std::string& path, Messages& out) {
             auto m = named::tetrahedron();
             return write_ply(*m, path, PlyFormat::BinaryLittleEndian, out);
         },
         "ERROR: could not write ", "ERROR: could not write "},
        {"object_1.obj",
         [](const std::string& path, Messages& out) {
             auto m = named::tetrahedron();
             return write_face_selection(*m, {0, 1}, path, out);
         },
         "ERROR: could not write ", "ERROR: could not write "},
        {"table.spt",
         [](const std::string& path, Messages& out) {
             MeshDocument document(out);
             document.mesh.assign(*named::tetrahedron());
             return document.classify() && document.save_table(path);
         },
         "ERROR: could not open file... [Mesh_Classifier::save()] ", "ERROR: "},
        {"settings.mor",
         [](const std::string& path, Messages& out) {
             MorphogenSettings s;
             s.reset({"a", "b"});
             return s.write(path, out);
         },
         "ERROR: SAVING FILE .MOR File! QtMorphogenWidget::saveSlot(void) ",
         "ERROR: SAVING FILE .MOR File! QtMorphogenWidget::saveSlot(void) "},
        {"hills.map", [](const std::string& path, Messages& out) { return ColourMap().write(path, out); },
         "ERROR: SAVING FILE .MAP File! QtMeshTerrainWidget::save_event(void) ",
         "ERROR: SAVING FILE .MAP File! QtMeshTerrainWidget::save_event(void) "},
        {"cut.slc",
         [](const std::string& path, Messages& out) {
             PlaneWidgetInCube cube;
             cube.resize_cube(256.0f);
             MessageLog log;
             Messages inner(log);
             cube.save(path, inner);
             for (const Message& m : log.messages) out.report(m);
             return log.messages.empty();
         },
         "ERROR: SAVING FILE .CLP File! PlaneWidgetInCube::save(QString filename) ",
         "ERROR: SAVING FILE .CLP File! PlaneWidgetInCube::save(QString filename) "},
        {"picture.png",
         [](const std::string& path, Messages& out) {
             RgbaImage image{2, 2, std::vector<unsigned char>(16, 200), {}};
             std::string error;
             if (write_png(path, image, error)) return true;
             out.error("ERROR: could not write " + path + ": " + error + "\n", path);
             return false;
         },
         "ERROR: could not write ", "ERROR: could not write "},
        {"normals.txt",
         [](const std::string& path, Messages& out) {
             auto m = named::tetrahedron();
             return write_face_normals(*m, path, out);
         },
         "ERROR: could not write ", "ERROR: could not write "},
        {"light.lgt", [](const std::string& path, Messages& out) { return LightSettings().write(path, out); },
         "ERROR: could not save the light settings [LightSettings::write()] ",
         "ERROR: could not save the light settings [LightSettings::write()] "},
    };
}

const std::string old_text = "an old file that no failed save may touch\n";

std::string all_printed(MessageLog& log)
{
    return log.out() + log.err();
}

}  // namespace

TEST(Writers, EachWritesWholeAndLeavesNoTemporary)
{
    TempDir dir;
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        const std::string path = dir.write(w.name, old_text);
        Captured console;
        EXPECT_TRUE(w.write(path, console)) << all_printed(console.log);
        EXPECT_NE(slurp(path), old_text);
        EXPECT_EQ(folder_listing(dir.path()).find(".tmp"), std::string::npos) << folder_listing(dir.path());
    }
}

TEST(Writers, AFullDeviceOrABrokenWriteKeepsTheOldFile)
{
    struct Failure {
        FailingWrites::Call call;
        int error;
        std::size_t after;
    };
    const Failure failures[] = {{FailingWrites::Call::Write, ENOSPC, 0},
                                {FailingWrites::Call::Write, ENOSPC, 7},
                                {FailingWrites::Call::Write, EIO, 0},
                                {FailingWrites::Call::Fsync, EIO, 0}};
    for (const Writer& w : writers())
        for (const Failure& f : failures) {
            SCOPED_TRACE(std::string(w.name) + ", " + std::strerror(f.error) + " after " + std::to_string(f.after));
            TempDir dir;
            const std::string path = dir.write(w.name, old_text);
            Captured console;
            bool written = true;
            {
                FailingWrites failing(f.call, f.error, f.after);
                written = w.write(path, console);
            }
            EXPECT_FALSE(written);
            const std::string said = all_printed(console.log);
            EXPECT_NE(said.find(w.writing + path + ": " + std::strerror(f.error)), std::string::npos) << said;
            EXPECT_EQ(slurp(path), old_text);
            EXPECT_EQ(folder_listing(dir.path()), w.name);
        }
}

TEST(Writers, AReadOnlyFolderKeepsTheOldFile)
{
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        const std::string path = dir.write(w.name, old_text);
        // The file itself may be written; its folder may not.
        ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
        ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
        const ChildRun run = run_without_privileges([&](Messages& out) { return w.write(path, out); });
        ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
        EXPECT_TRUE(run.ran);
        EXPECT_FALSE(run.result);
        EXPECT_NE(run.printed.find(w.opening + path + ": Permission denied"), std::string::npos) << run.printed;
        EXPECT_EQ(slurp(path), old_text);
        EXPECT_EQ(folder_listing(dir.path()), w.name);
        ::remove(path.c_str());
    }
}
