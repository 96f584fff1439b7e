// Cancelling a long operation of the document at each of its progress
// reports leaves the document, its engines and every file exactly as they
// were, and the next run does what an uncancelled run does. Running an
// operation on a copy of the document and adopting the copy gives exactly
// what running it on the document gives.
#include <cstdio>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "colouring/Heightmap.h"
#include "colouring/RgbaImage.h"
#include "core/MessageSink.h"
#include "document/MeshDocument.h"
#include "tests/support/DocumentState.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"

namespace {

// Asks its channel to cancel at the at-th progress report; counts them all.
struct CancelAt : MessageSink {
    Messages* channel = nullptr;
    long at = 0;
    long seen = 0;
    void report(const Message&) override {}
    void progress(const Progress&) override
    {
        if (++seen == at) channel->request_cancel();
    }
};

struct Session {
    Captured console;
    CancelAt cancel;
    MeshDocument document{console};
    Session()
    {
        cancel.channel = &console.channel;
        console.channel.attach(cancel);
    }
};

struct Operation {
    const char* name;
    DocumentParts parts;  // what the window's copy holds for it
    std::function<void(MeshDocument&)> prepare;
    std::function<void(MeshDocument&)> run;
};

Heightmap ramp_heightmap()
{
    RgbaImage image;
    image.width = image.height = 8;
    image.pixels.resize(8 * 8 * 4);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = (unsigned char)(i * 7);
    Heightmap h;
    h.load(image);
    return h;
}

// The files of the folder with their contents.
std::string files_in(const TempDir& dir)
{
    std::string all = folder_listing(dir.path()) + "\n";
    for (const char* name :
         {"saved.obj", "saved.ply", "non-segemented.obj", "object_1.obj", "object_2.obj", "segemented.obj"})
        all += std::string(name) + ":" + slurp(dir.file(name)) + "\n";
    return all;
}

class Cancel : public ::testing::Test {
protected:
    TempDir dir;
    std::string path;
    std::vector<Operation> operations;

    void restore_files() const
    {
        dir.write("saved.obj", "old\n");
        dir.write("saved.ply", "old\n");
        dir.write("object_1.obj", "old group\n");
        for (const char* name : {"non-segemented.obj", "object_2.obj", "segemented.obj"})
            std::remove(dir.file(name).c_str());
    }

    void SetUp() override
    {
        // A grid with colours and a morphogen, so every engine and writer has
        // work for several progress reports.
        auto grid = named::open_grid(16);
        std::string obj = "mn heat\n" + obj_text(*grid);
        for (int i = 0; i < grid->nv; ++i) obj += "vc 0.5 0.25 " + std::to_string(float(i) / float(grid->nv)) + "\n";
        for (int i = 0; i < grid->nv; ++i) obj += "m " + std::to_string(float(i % 7) / 7.0f) + "\n";
        path = dir.write("grid.obj", obj);
        restore_files();

        const std::string saved_obj = dir.file("saved.obj"), saved_ply = dir.file("saved.ply"), to = dir.path();
        const Heightmap heightmap = ramp_heightmap();
        auto nothing = [](MeshDocument&) {};
        // Two groups, without the random colours Mark Current gives them.
        auto grouped = [](MeshDocument& d) {
            for (int i = 0; i < 100; ++i) d.mesh.faces[std::size_t(i)].group = 1 + i % 2;
            d.traversal.group_count = 2;
        };
        auto classified = [](MeshDocument& d) { d.classify(); };
        const DocumentParts none{false, false}, table{false, true};
        operations = {
            {"save obj", none, nothing, [=](MeshDocument& d) { d.save(saved_obj); }},
            {"save ply", none, nothing, [=](MeshDocument& d) { d.save(saved_ply); }},
            {"subdivide", none, nothing, [](MeshDocument& d) { d.subdivide(2, 0.0f); }},
            {"simplify", none, nothing, [](MeshDocument& d) { d.simplify(10.0f); }},
            {"classify by steps", table, nothing, classified},
            {"classify by weights", table, [](MeshDocument& d) { d.classifier.sp_mode = 1; }, classified},
            {"classify with the table kept", table, classified, classified},
            {"mean shift", none, nothing, [](MeshDocument& d) { d.smooth(30.0f, NormalSmoother::MEAN_SHIFT); }},
            {"sphere jump", none, nothing, [](MeshDocument& d) { d.smooth(30.0f, NormalSmoother::SPHERE_JUMP); }},
            {"median filter", none, nothing, [](MeshDocument& d) { d.smooth(20.0f, NormalSmoother::MEDIAN_FILTER); }},
            {"smoothing step after a run", none, [](MeshDocument& d) { d.smooth(30.0f, NormalSmoother::MEAN_SHIFT); },
             [](MeshDocument& d) { d.smooth_step(30.0f); }},
            {"terrain", none, nothing, [=](MeshDocument& d) { d.build_terrain(heightmap, 32, 4.0f, 1.0f); }},
            {"export", none, grouped, [=](MeshDocument& d) { d.export_groups(to); }},
        };
    }
};

}  // namespace

// The window runs each operation on a copy of the document and drops the
// copy when it was cancelled; the document's own operations undo what they
// did to the mesh.
TEST_F(Cancel, AtEveryReportLeavesDocumentAndFilesAsTheyWereAndTheNextRunIsWhole)
{
    for (const Operation& op : operations) {
        SCOPED_TRACE(op.name);
        std::string whole, whole_files;
        long reports = 0;
        {
            Session s;
            ASSERT_EQ(s.document.open(path), LoadResult::Loaded);
            op.prepare(s.document);
            const std::string files_before = files_in(dir);
            s.cancel.seen = 0;
            op.run(s.document);
            reports = s.cancel.seen;
            whole = document_state(s.document);
            whole_files = files_in(dir);
            restore_files();
            ASSERT_EQ(files_in(dir), files_before);
        }
        ASSERT_GE(reports, 2);
        const long step = reports > 16 ? reports / 8 : 1;
        for (long at = 1; at <= reports; at += step) {
            Session s;
            ASSERT_EQ(s.document.open(path), LoadResult::Loaded);
            op.prepare(s.document);
            const std::string before = document_state(s.document);
            const std::string mesh_before = mesh_state(s.document.mesh);
            const std::string files = files_in(dir);

            std::unique_ptr<MeshDocument> copy = s.document.copy(op.parts);
            s.cancel.seen = 0;
            s.cancel.at = at;
            const std::string said = printed(s.console, [&] { op.run(*copy); });
            // Where two threads share the work, a run may report less often.
            if (s.cancel.seen < at) continue;
            EXPECT_TRUE(copy->cancelled) << "report " << at;
            EXPECT_EQ(said.find("ERROR"), std::string::npos) << "report " << at << ":\n" << said;
            copy.reset();
            ASSERT_TRUE(document_state(s.document) == before) << "report " << at << " of " << reports;
            ASSERT_EQ(files_in(dir), files) << "report " << at;

            // On the document itself: the mesh as it was.
            s.console.channel.clear_cancel();
            s.cancel.seen = 0;
            op.run(s.document);
            if (s.cancel.seen < at) continue;
            EXPECT_TRUE(s.document.cancelled) << "report " << at;
            ASSERT_TRUE(mesh_state(s.document.mesh) == mesh_before) << "report " << at;
            ASSERT_EQ(files_in(dir), files) << "report " << at;

            // And a run on a fresh copy, adopted, is whole.
            s.console.channel.clear_cancel();
            s.cancel.at = 0;
            Session fresh;
            ASSERT_EQ(fresh.document.open(path), LoadResult::Loaded);
            op.prepare(fresh.document);
            copy = fresh.document.copy(op.parts);
            op.run(*copy);
            EXPECT_FALSE(copy->cancelled);
            fresh.document.adopt(std::move(*copy), op.name);
            ASSERT_TRUE(document_state(fresh.document) == whole) << "run after a cancel at report " << at;
            ASSERT_EQ(files_in(dir), whole_files);
            restore_files();
        }
    }
}

TEST_F(Cancel, AnOperationOnACopyAdoptedGivesWhatItGivesOnTheDocument)
{
    operations.push_back({"open", DocumentParts{false, false}, [](MeshDocument& d) { d.subdivide(1, 0.0f); },
                          [this](MeshDocument& d) { d.open(path); }});
    operations.push_back({"reload", DocumentParts{true, false}, [](MeshDocument& d) { d.simplify(50.0f); },
                          [](MeshDocument& d) { d.reload(); }});
    for (const Operation& op : operations) {
        SCOPED_TRACE(op.name);
        Session direct, aside;
        for (Session* s : {&direct, &aside}) {
            ASSERT_EQ(s->document.open(path), LoadResult::Loaded);
            op.prepare(s->document);
        }
        op.run(direct.document);
        std::unique_ptr<MeshDocument> copy = aside.document.copy(op.parts);
        op.run(*copy);
        aside.document.adopt(std::move(*copy), op.name);
        copy.reset();
        ASSERT_TRUE(document_state(aside.document) == document_state(direct.document));
        // The engines work on the document's own mesh afterwards.
        for (Session* s : {&direct, &aside}) {
            s->document.smooth(40.0f, NormalSmoother::MEAN_SHIFT);
            s->document.classify();
        }
        ASSERT_TRUE(document_state(aside.document) == document_state(direct.document));
    }
}
