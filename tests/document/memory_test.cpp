// Every allocation an operation of the document makes is made to fail in
// turn. The operation either copes, or stops with one line naming it and
// the size it asked for and leaves the mesh exactly as it was; no
// std::bad_alloc ever leaves it.
#include <cstring>
#include <functional>

#include <gtest/gtest.h>

#include "colouring/Heightmap.h"
#include "colouring/RgbaImage.h"
#include "document/MeshDocument.h"
#include "tests/support/DocumentState.h"
#include "tests/support/FailingAllocations.h"
#include "tests/support/MeshState.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"

namespace {

int lines_with(const std::string& text, const std::string& part)
{
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Runs `step` with the allocation `i` ahead made to fail; false, after a
// failure naming it, when std::bad_alloc came out.
template <class Step>
bool survives(long i, const Step& step)
{
    failing_allocations::fail_after(i);
    try {
        step();
    } catch (const std::bad_alloc&) {
        failing_allocations::disarm();
        ADD_FAILURE() << "allocation " << i << " escaped";
        return false;
    }
    failing_allocations::disarm();
    return true;
}

struct Operation {
    const char* name;
    const char* asked;  // how its line starts
    std::function<void(MeshDocument&)> prepare;
    std::function<bool(MeshDocument&)> run;
};

Heightmap flat_heightmap()
{
    RgbaImage image;
    image.width = image.height = 4;
    image.pixels.assign(16 * 4, 100);
    Heightmap h;
    h.load(image);
    return h;
}

}  // namespace

TEST(DocumentMemory, AnOperationThatRunsOutOfMemoryLeavesTheMeshAsItWas)
{
    TempDir dir;
    // A closed mesh with a morphogen: every engine has work to do on it.
    const std::string path = dir.write("shape.obj", octahedron_with_morphogen());
    const Heightmap heightmap = flat_heightmap();
    const std::vector<Rgb> ramp{{0, 0, 255}, {255, 0, 0}};
    const std::vector<float> at{0.0f, 1.0f};
    auto nothing = [](MeshDocument&) {};

    const Operation operations[] = {
        {"subdivide", "ERROR: not enough memory to subdivide 8 faces 2 times (128 faces", nothing,
         [](MeshDocument& d) { return d.subdivide(2, 0.0f); }},
        {"simplify", "ERROR: not enough memory to simplify 6 vertices", nothing,
         [](MeshDocument& d) { return d.simplify(50.0f); }},
        {"classify", "ERROR: not enough memory to classify 8 faces", nothing,
         [](MeshDocument& d) { return d.classify(); }},
        {"show patches", "ERROR: not enough memory to show 3 patches of 8 faces", [](MeshDocument& d) { d.classify(); },
         [](MeshDocument& d) { return d.show_patches(3); }},
        {"reload", "ERROR: not enough memory to reload the mesh as opened",
         [](MeshDocument& d) { d.subdivide(1, 0.0f); }, [](MeshDocument& d) { return d.reload(); }},
        {"mean shift", "ERROR: not enough memory to smooth 8 faces", nothing,
         [](MeshDocument& d) { return d.smooth(60.0f, NormalSmoother::MEAN_SHIFT); }},
        {"median filter", "ERROR: not enough memory to smooth 8 faces", nothing,
         [](MeshDocument& d) { return d.smooth(60.0f, NormalSmoother::MEDIAN_FILTER); }},
        {"traverse", "ERROR: not enough memory to grow a region of 8 faces",
         [](MeshDocument& d) { d.mesh.picked_face = 1; }, [](MeshDocument& d) { return d.traverse(3, 180) >= 0; }},
        {"colour by height", "ERROR: not enough memory to colour 6 vertices by height", nothing,
         [&](MeshDocument& d) { return d.colour_by_height(ramp, at); }},
        {"terrain", "ERROR: not enough memory to build a terrain of 6 by 6 points", nothing,
         [&heightmap](MeshDocument& d) { return d.build_terrain(heightmap, 6, 1.0f, 1.0f); }},
    };
    // Once as halvane-tool runs them, once keeping every step for undo.
    for (const std::size_t undo_limit : {std::size_t(0), std::size_t(1) << 30})
        for (const Operation& op : operations) {
            SCOPED_TRACE(std::string(op.name) + (undo_limit ? " with undo" : ""));
            long allocations = 0;
            {
                Captured console;
                MeshDocument document(console, undo_limit);
                ASSERT_EQ(document.open(path), LoadResult::Loaded);
                op.prepare(document);
                failing_allocations::start_counting();
                EXPECT_TRUE(op.run(document));
                allocations = failing_allocations::count();
            }
            ASSERT_GT(allocations, 0);
            int refused = 0;
            for (long i = 0; i < allocations; ++i) {
                Captured console;
                MeshDocument document(console, undo_limit);
                ASSERT_EQ(document.open(path), LoadResult::Loaded);
                op.prepare(document);
                const std::string before = mesh_state(document.mesh);
                const std::string undone_before = document.undo_name();
                bool done = false;
                std::string said;
                ASSERT_TRUE(survives(i, [&] { said = printed(console, [&] { done = op.run(document); }); }));
                if (!failing_allocations::has_failed() || lines_with(said, "not enough memory") == 0) {
                    // A step kept despite the failure takes the mesh back exactly.
                    if (document.undo_name() != undone_before && document.undo()) {
                        ASSERT_TRUE(mesh_state(document.mesh) == before) << "allocation " << i;
                    }
                    continue;
                }
                ++refused;
                ASSERT_FALSE(done) << "allocation " << i;
                ASSERT_EQ(lines_with(said, "ERROR"), 1) << "allocation " << i << ":\n" << said;
                ASSERT_NE(said.find(op.asked), std::string::npos) << "allocation " << i << ":\n" << said;
                ASSERT_TRUE(mesh_state(document.mesh) == before) << "allocation " << i;
                ASSERT_EQ(document.undo_name(), undone_before) << "a refused operation is no step";
                // And the document still works.
                EXPECT_TRUE(op.run(document)) << "allocation " << i;
            }
            // With undo, many allocations are the copy kept for it, which
            // the operation goes on without.
            EXPECT_GT(refused, undo_limit ? 0 : allocations / 2);
        }
}

TEST(DocumentMemory, OpeningAMeshThatRunsOutOfMemoryLeavesTheEmptyMesh)
{
    TempDir dir;
    const std::string path = dir.write("t.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 1 2 4\nf 1 3 4\n");
    failing_allocations::start_counting();
    {
        Captured console;
        MeshDocument document(console);
        ASSERT_EQ(document.open(path), LoadResult::Loaded);
    }
    const long allocations = failing_allocations::count();
    for (long i = 0; i < allocations; ++i) {
        Captured console;
        MeshDocument document(console);
        LoadResult result{};
        std::string said;
        ASSERT_TRUE(survives(i, [&] { said = printed_err(console, [&] { result = document.open(path); }); }));
        if (result == LoadResult::Loaded) {
            EXPECT_EQ(document.mesh.nf, 3) << "allocation " << i;
            continue;
        }
        EXPECT_EQ(result, LoadResult::Failed);
        EXPECT_EQ(document.mesh.nv + document.mesh.nf + document.backup.nv, 0) << "allocation " << i;
        EXPECT_EQ(lines_with(said, "ERROR"), 1) << "allocation " << i << ":\n" << said;
        EXPECT_NE(said.find(path), std::string::npos) << said;
    }
}
