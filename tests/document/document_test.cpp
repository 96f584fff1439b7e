// The mesh document: what its operations leave behind, and that the command
// line runs the very same operations as the window.
#include <string>

#include <gtest/gtest.h>

#include "colouring/Heightmap.h"
#include "colouring/RgbaImage.h"
#include "document/MeshDocument.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/RunTool.h"
#include "tests/support/TempDir.h"

namespace {

const std::string blob = std::string(HALVANE_SAMPLES) + "/blob.obj";

// Positions, colours, corners and morphogen values of two meshes, field by field.
void expect_same_mesh(const Mesh& a, const Mesh& b)
{
    ASSERT_EQ(a.nv, b.nv);
    ASSERT_EQ(a.nf, b.nf);
    for (int i = 0; i < a.nv; ++i) {
        EXPECT_EQ(xyzw(a.vertices[i]), xyzw(b.vertices[i])) << i;
        EXPECT_EQ(xyzw(a.vertex_colours[i]), xyzw(b.vertex_colours[i])) << i;
        EXPECT_EQ(xyzw(a.vertex_normals[i]), xyzw(b.vertex_normals[i])) << i;
    }
    EXPECT_EQ(corners(a), corners(b));
    EXPECT_EQ(a.morphogen_values, b.morphogen_values);
    EXPECT_EQ(a.morphogen_names, b.morphogen_names);
}

class Document : public ::testing::Test {
protected:
    Captured console;
    MeshDocument document{console};
};

TEST_F(Document, ReloadBringsBackTheMeshAsOpenedAfterEveryKindOfChange)
{
    ASSERT_EQ(document.open(blob), LoadResult::Loaded);
    Captured other_console;
    MeshDocument fresh(other_console);
    ASSERT_EQ(fresh.open(blob), LoadResult::Loaded);

    // Tools keep the mesh where it is: the view keeps its camera.
    const unsigned long opened = document.placement;
    document.simplify(50.0f);
    document.subdivide(1, 0.0f);
    document.colour_by_height({{0, 0, 255}, {255, 0, 0}}, {0.0f, 1.0f});
    EXPECT_EQ(document.placement, opened);
    document.reload();
    expect_same_mesh(document.mesh, fresh.mesh);
    EXPECT_GT(document.placement, opened);

    // A terrain replaces the mesh on show but not the copy kept for Reload.
    RgbaImage image;
    image.width = image.height = 4;
    image.pixels.assign(16 * 4, 128);
    Heightmap heightmap;
    heightmap.load(image);
    const unsigned long reloaded = document.placement;
    ASSERT_TRUE(document.build_terrain(heightmap, 8, 16.0f, 4.0f));
    EXPECT_EQ(document.mesh.nf, 2 * 7 * 7);  // 8 grid points a side
    EXPECT_GT(document.placement, reloaded);
    document.reload();
    expect_same_mesh(document.mesh, fresh.mesh);
}

TEST_F(Document, OpeningForgetsTheClassificationAndThePick)
{
    ASSERT_EQ(document.open(blob), LoadResult::Loaded);
    document.mesh.picked_face = 7;
    ASSERT_TRUE(document.classify());
    EXPECT_GT(document.classifier.num_patches, 0);

    // A name no reader takes keeps the mesh; a rejected file empties it.
    TempDir dir;
    EXPECT_EQ(document.open(dir.write("notes.txt", "v 0 0 0\n")), LoadResult::NotAMesh);
    EXPECT_EQ(document.mesh.nf, 5120);
    EXPECT_EQ(document.mesh.picked_face, -1);
    EXPECT_TRUE(document.classifier.seeds.empty());

    EXPECT_EQ(document.open(dir.write("bad.obj", "v 0 0 0\nf 1 2 3\n")), LoadResult::Failed);
    EXPECT_EQ(document.mesh.nv, 0);
    EXPECT_EQ(document.backup.nv, 0);
}

TEST_F(Document, WithoutVerticesTheClassificationRequestsDoNothing)
{
    const std::string said = printed(console, [&] {
        EXPECT_FALSE(document.classify());
        document.show_patches(3);
        EXPECT_FALSE(document.load_table("missing.spt"));
        EXPECT_FALSE(document.save_table("never.spt"));
    });
    EXPECT_EQ(said, "");
}

// halvane-tool and a document driven as the window drives it write the
// same bytes.
TEST(DocumentAndTool, TheCommandLineRunsTheWindowsOperations)
{
    TempDir dir;
    struct Verb {
        const char* args;
        void (*run)(MeshDocument&);
    };
    const Verb verbs[] = {
        {"simplify --percent 40", [](MeshDocument& d) { d.simplify(40.0f); }},
        {"subdivide --level 1 --weight 0.1", [](MeshDocument& d) { d.subdivide(1, 0.1f); }},
    };
    for (const Verb& verb : verbs) {
        Captured console;
        MeshDocument document(console);
        ASSERT_EQ(document.open(blob), LoadResult::Loaded);
        verb.run(document);
        ASSERT_TRUE(document.save(dir.file("window.obj")));
        const ToolRun tool =
            run_program(HALVANE_TOOL, std::string(verb.args) + " " + blob + " " + dir.file("tool.obj"));
        ASSERT_EQ(tool.status, 0) << tool.out;
        EXPECT_EQ(slurp(dir.file("tool.obj")), slurp(dir.file("window.obj"))) << verb.args;
    }
}

}  // namespace

TEST_F(Document, SaveAndReopenKeepEverythingRead)
{
    // The blob has colours and three morphogens.
    ASSERT_EQ(document.open(blob), LoadResult::Loaded);
    TempDir dir;
    ASSERT_TRUE(document.save(dir.file("again.obj")));
    Captured other_console;
    MeshDocument reopened(other_console);
    ASSERT_EQ(reopened.open(dir.file("again.obj")), LoadResult::Loaded);
    expect_same_mesh(document.mesh, reopened.mesh);
    EXPECT_TRUE(reopened.mesh.has_colours);

    // Binary PLY keeps positions, faces and morphogens exactly and the
    // colours to a 255th.
    ASSERT_TRUE(document.save(dir.file("again.ply")));
    ASSERT_EQ(reopened.open(dir.file("again.ply")), LoadResult::Loaded);
    const Mesh& a = document.mesh;
    const Mesh& b = reopened.mesh;
    ASSERT_EQ(b.nv, a.nv);
    EXPECT_EQ(b.vertices, a.vertices);
    EXPECT_EQ(corners(b), corners(a));
    EXPECT_EQ(b.morphogen_names, a.morphogen_names);
    EXPECT_EQ(b.morphogen_values, a.morphogen_values);
    for (int i = 0; i < a.nv; ++i) {
        EXPECT_NEAR(b.vertex_colours[i].x, a.vertex_colours[i].x, 0.501f / 255) << i;
        EXPECT_NEAR(b.vertex_colours[i].z, a.vertex_colours[i].z, 0.501f / 255) << i;
    }
    // A colouring made in the program is saved too.
    document.colour_by_height({{0, 0, 255}, {255, 0, 0}}, {0.0f, 1.0f});
    ASSERT_TRUE(document.save(dir.file("coloured.obj")));
    ASSERT_EQ(reopened.open(dir.file("coloured.obj")), LoadResult::Loaded);
    EXPECT_EQ(reopened.mesh.vertex_colours, document.mesh.vertex_colours);
}
