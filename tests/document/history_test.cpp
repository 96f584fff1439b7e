// Undo and redo: each tool's step taken back and put again exactly, the
// steps kept within their memory, and what makes or forgets a step.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "colouring/Heightmap.h"
#include "colouring/RgbaImage.h"
#include "document/MeshDocument.h"
#include "tests/support/FailingAllocations.h"
#include "tests/support/DocumentState.h"
#include "tests/support/MeshState.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"

namespace {

// The mesh and the engine state a step may change.
struct Seen {
    std::string mesh;
    std::vector<int> seeds;
    int patches = 0;
    int groups = 0;
    bool operator==(const Seen& o) const
    {
        return mesh == o.mesh && seeds == o.seeds && patches == o.patches && groups == o.groups;
    }
};

Seen seen(const MeshDocument& d)
{
    return {mesh_state(d.mesh), d.classifier.seeds, d.classifier.num_patches, d.traversal.group_count};
}

Heightmap ramp_heightmap()
{
    RgbaImage image;
    image.width = image.height = 4;
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 4; ++c) image.pixels.push_back(c == 3 ? 255 : (unsigned char)(i * 16));
    Heightmap h;
    h.load(image);
    return h;
}

class History_ : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(document.open(path), LoadResult::Loaded); }

    TempDir dir;
    const std::string path = dir.write("shape.obj", octahedron_with_morphogen());
    Captured console;
    MeshDocument document{console, std::size_t(1) << 30};
};

}  // namespace

TEST_F(History_, UndoAndRedoThroughEveryToolGiveBackTheExactStates)
{
    const Heightmap heightmap = ramp_heightmap();
    struct Step {
        std::string name;
        std::function<void()> run;
    };
    const std::vector<Step> steps{
        {"Subdivide 1", [&] { document.subdivide(1, 0.0f); }},
        {"Smooth", [&] { document.smooth(60.0f, NormalSmoother::MEAN_SHIFT); }},
        {"Classify", [&] { document.classify(); }},
        {"Show 2 Patches", [&] { document.show_patches(2); }},
        {"Traverse", [&] { document.traverse(2, 180); }},
        {"Mark Current", [&] { document.mark_current(); }},
        {"Colour Morphogens",
         [&] {
             document.colour_by_morphogens(0, {1}, {{255, 0, 0}}, {0, 0, 255});
         }},
        {"Simplify 50%", [&] { document.simplify(50.0f); }},
        {"Colour Height",
         [&] {
             document.colour_by_height({{0, 0, 255}, {255, 0, 0}}, {0.0f, 1.0f});
         }},
        {"Terrain", [&] { document.build_terrain(heightmap, 5, 1.0f, 1.0f); }},
        {"Reload", [&] { document.reload(); }},
    };
    std::vector<Seen> states{seen(document)};
    std::vector<unsigned long> placements{document.placement};
    for (const Step& step : steps) {
        // Picking is no step: the traversal starts from face 1.
        if (step.name == "Traverse") {
            document.mesh.picked_face = 1;
            states.back() = seen(document);
        }
        printed(console, step.run);
        ASSERT_EQ(document.undo_name(), step.name);
        EXPECT_FALSE(seen(document) == states.back()) << step.name << " changed nothing";
        states.push_back(seen(document));
        placements.push_back(document.placement);
    }
    EXPECT_EQ(document.redo_name(), "");

    for (std::size_t i = steps.size(); i > 0; --i) {
        ASSERT_TRUE(document.undo());
        EXPECT_TRUE(seen(document) == states[i - 1]) << "undo " << steps[i - 1].name;
        EXPECT_EQ(document.redo_name(), steps[i - 1].name);
    }
    EXPECT_FALSE(document.undo());
    EXPECT_EQ(document.undo_name(), "");
    // Undoing the terrain and the reload put the mesh back where it was: the
    // view frames it anew.
    EXPECT_GT(document.placement, placements.back());

    for (std::size_t i = 0; i < steps.size(); ++i) {
        ASSERT_TRUE(document.redo());
        EXPECT_TRUE(seen(document) == states[i + 1]) << "redo " << steps[i].name;
    }
    EXPECT_FALSE(document.redo());

    // The engines work on the mesh undo put back.
    ASSERT_TRUE(document.undo());
    ASSERT_TRUE(document.undo());
    EXPECT_TRUE(printed(console, [&] { EXPECT_TRUE(document.subdivide(1, 0.0f)); }).find("ERROR") == std::string::npos);
    EXPECT_EQ(document.undo_name(), "Subdivide 1");
    EXPECT_EQ(document.redo_name(), "") << "a new step forgets what could be redone";
}

TEST_F(History_, TheOldestStepsGoWhenTheStatesOutgrowTheirMemory)
{
    // Smoothing keeps the mesh's size: each step keeps as much as the next.
    const std::size_t one = DocumentState::estimate(document.mesh, {});
    document.history.limit = 3 * one + one / 2;
    std::vector<std::string> states{mesh_state(document.mesh)};
    for (int i = 0; i < 3; ++i) {
        document.smooth(30.0f + 20.0f * i, NormalSmoother::MEAN_SHIFT);
        states.push_back(mesh_state(document.mesh));
    }
    EXPECT_EQ(document.history.steps(), 3u);
    EXPECT_TRUE(console.log.of(Message::Severity::Warning).empty());
    document.colour_by_height({{0, 0, 255}, {255, 0, 0}}, {0.0f, 1.0f});
    const std::vector<Message> warnings = console.log.of(Message::Severity::Warning);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].text.rfind("Undo: the oldest steps (Smooth) are forgotten to keep undo within ", 0), 0u)
        << warnings[0].text;
    EXPECT_EQ(document.history.steps(), 3u);
    for (int i = 3; i > 0; --i) ASSERT_TRUE(document.undo());
    EXPECT_EQ(mesh_state(document.mesh), states[1]);
    EXPECT_FALSE(document.undo());

    // A state larger than the whole allowance is not kept, and what was kept
    // before it would no longer lead back to the mesh on show.
    document.history.limit = one / 2;
    console.log.clear();
    EXPECT_TRUE(document.subdivide(1, 0.0f));
    EXPECT_EQ(document.mesh.nf, 32);
    ASSERT_EQ(console.log.of(Message::Severity::Warning).size(), 1u);
    EXPECT_EQ(console.log.of(Message::Severity::Warning)[0].text.rfind("Undo: Subdivide 1 cannot be undone: ", 0), 0u);
    EXPECT_EQ(document.history.steps(), 0u);
    EXPECT_FALSE(document.undo());
    EXPECT_FALSE(document.redo());
}

TEST_F(History_, WhatMakesAStepAndWhatForgetsThem)
{
    int told = 0;
    document.history.changed = [&] { ++told; };
    printed(console, [&] {
        document.subdivide(2, 0.0f);
        document.simplify(75.0f);
        document.simplify(12.5f);
        EXPECT_FALSE(document.subdivide(0, 0.0f));        // nothing changed
        document.mark_current();                          // nothing picked
        EXPECT_EQ(document.traverse(2, 180), 0);          // nothing marked before or after
        EXPECT_FALSE(document.colour_by_height({}, {}));  // refused
        document.mesh.picked_face = 1;
        document.mark_current();
    });
    EXPECT_EQ(document.history.steps(), 4u);
    EXPECT_EQ(document.undo_name(), "Mark Current");
    EXPECT_GE(told, 4);
    document.undo();
    document.undo();
    EXPECT_EQ(document.undo_name(), "Simplify 75%");
    EXPECT_EQ(document.redo_name(), "Simplify 12.5%");

    told = 0;
    printed(console, [&] { document.open(path); });
    EXPECT_EQ(document.history.steps(), 0u) << "another mesh forgets the steps";
    EXPECT_EQ(told, 1);

    // halvane-tool's documents keep nothing and say nothing more.
    Captured quiet, kept;
    MeshDocument tool(quiet), window(kept, std::size_t(1) << 30);
    for (MeshDocument* d : {&tool, &window}) {
        d->open(path);
        d->subdivide(2, 0.0f);
        d->smooth(60.0f, NormalSmoother::MEDIAN_FILTER);
    }
    EXPECT_EQ(tool.history.steps(), 0u);
    EXPECT_EQ(quiet.log.out(), kept.log.out());
    EXPECT_EQ(mesh_state(tool.mesh), mesh_state(window.mesh));
}

TEST_F(History_, UndoWithoutMemoryLeavesEverythingAsItWas)
{
    document.subdivide(1, 0.0f);
    const std::string after = mesh_state(document.mesh);
    failing_allocations::fail_after(0);
    bool undone = true;
    const std::string said = printed(console, [&] { undone = document.undo(); });
    failing_allocations::disarm();
    EXPECT_FALSE(undone);
    EXPECT_EQ(said, "ERROR: not enough memory to undo Subdivide 1; the mesh is as it was\n");
    EXPECT_EQ(mesh_state(document.mesh), after);
    EXPECT_EQ(document.undo_name(), "Subdivide 1");
    EXPECT_TRUE(document.undo());
    EXPECT_EQ(document.mesh.nf, 8);
}
