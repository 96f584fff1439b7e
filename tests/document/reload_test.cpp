// "Reload" brings back the mesh as opened from the compact copy the
// document keeps: after any tool, every field equals a fresh open of the
// same file, and the copy itself keeps what the readers can give a mesh.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "colouring/Heightmap.h"
#include "colouring/RgbaImage.h"
#include "core/Mesh.h"
#include "document/MeshDocument.h"
#include "document/ReloadCopy.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/SameMesh.h"
#include "tests/support/TempDir.h"

namespace {

const std::string samples = HALVANE_SAMPLES;

Heightmap ramp_heightmap()
{
    RgbaImage image;
    image.width = image.height = 4;
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 4; ++c) image.pixels.push_back(std::uint8_t(c == 3 ? 255 : 16 * i));
    Heightmap h;
    h.load(image);
    return h;
}

struct Tool {
    const char* name;
    std::function<void(MeshDocument&)> run;
};

}  // namespace

TEST(Reload, AfterEachToolEveryFieldIsAsAFreshOpen)
{
    const Heightmap heightmap = ramp_heightmap();
    const Tool tools[] = {
        {"nothing", [](MeshDocument&) {}},
        {"simplify", [](MeshDocument& d) { d.simplify(40.0f); }},
        {"subdivide", [](MeshDocument& d) { d.subdivide(1, 0.1f); }},
        {"classify", [](MeshDocument& d) { d.classify(); }},
        {"mean shift", [](MeshDocument& d) { d.smooth(30.0f, NormalSmoother::MEAN_SHIFT); }},
        {"median filter", [](MeshDocument& d) { d.smooth(30.0f, NormalSmoother::MEDIAN_FILTER); }},
        {"traverse and mark",
         [](MeshDocument& d) {
             d.mesh.picked_face = 1;
             d.traverse(4, 180);
             d.mark_current();
         }},
        {"colour by morphogens",
         [](MeshDocument& d) {
             d.colour_by_morphogens(0, {1, 1, 1}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}, {9, 9, 9});
         }},
        {"colour by height",
         [](MeshDocument& d) {
             d.colour_by_height({{0, 0, 255}, {255, 0, 0}}, {0.0f, 1.0f});
         }},
        {"terrain", [&heightmap](MeshDocument& d) { d.build_terrain(heightmap, 4, 2.0f, 1.0f); }},
        {"subdivide twice after simplify",
         [](MeshDocument& d) {
             d.simplify(60.0f);
             d.subdivide(2, 0.0f);
         }},
    };
    // Colours and morphogens; texture corners and fans; normals, colours
    // and zero-based corners.
    for (const char* file : {"blob.obj", "sheet.obj", "pyramid.net"}) {
        const std::string path = samples + "/" + file;
        Captured fresh_console;
        MeshDocument fresh(fresh_console);
        ASSERT_EQ(fresh.open(path), LoadResult::Loaded) << file;
        for (const Tool& tool : tools) {
            SCOPED_TRACE(std::string(file) + ", " + tool.name);
            Captured console;
            MeshDocument document(console);
            ASSERT_EQ(document.open(path), LoadResult::Loaded);
            tool.run(document);
            ASSERT_TRUE(document.reload());
            expect_same_mesh_fields(document.mesh, fresh.mesh);
            // A second reload starts from the same copy.
            document.mesh.vertices[0].x += 1.0f;
            ASSERT_TRUE(document.reload());
            expect_same_mesh_fields(document.mesh, fresh.mesh);
        }
    }
}

TEST(Reload, TheCopyKeepsEveryBitAReaderCanGiveAndIsSmall)
{
    auto m = named::torus(40, 20);  // 800 vertices, 1600 faces
    Captured console;
    m->build({MESH_EDGE_LIST}, console);
    // Coordinates the packing must not lose: a negative zero, a w other
    // than 1, a denormal; colours with an alpha; ragged morphogen lists.
    m->vertices[0] = Vector(-0.0f, 1e-40f, 3.0f, 1.0f);
    m->vertices[5].w = 0.5f;
    m->vertex_colours[3] = Vector(0.25f, 0.5f, 0.75f, 0.125f);
    m->has_colours = true;
    m->allocate_morphogens(m->nv, 2);
    m->morphogen_values[7] = {1.0f, -2.5f};

    ReloadCopy copy;
    copy.keep(*m);
    Mesh back;
    copy.restore(back);
    EXPECT_TRUE(same_mesh::same_bytes(back.vertices, m->vertices));
    EXPECT_TRUE(same_mesh::same_bytes(back.vertex_colours, m->vertex_colours));
    EXPECT_TRUE(back.has_colours);
    EXPECT_EQ(back.morphogen_values, m->morphogen_values);
    EXPECT_EQ(corners(back), corners(*m));
    for (int i = 0; i < back.nf; ++i)
        for (int k = 0; k < 3; ++k) ASSERT_EQ(back.faces[i].v[k], &back.vertices[back.faces[i].vi[k]]);

    // Ragged lists and no lists at all come back as they were.
    m->morphogen_values[9].push_back(4.0f);
    copy.keep(*m);
    copy.restore(back);
    EXPECT_EQ(back.morphogen_values, m->morphogen_values);
    m->morphogen_values.clear();
    copy.keep(*m);
    copy.restore(back);
    EXPECT_TRUE(back.morphogen_values.empty());

    // Without colours, w and morphogens: three floats a vertex and three
    // corners a face, next to the 80 bytes a vertex and 72 or more a face
    // of the mesh itself.
    auto plain = named::torus(40, 20);
    copy.keep(*plain);
    EXPECT_EQ(copy.bytes(), std::size_t(plain->nv) * 12 + std::size_t(plain->nf) * 12);
    copy.clear();
    EXPECT_EQ(copy.nv, 0);
    EXPECT_EQ(copy.bytes(), 0u);
}
