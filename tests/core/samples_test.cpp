// The bundled samples load through the same path as the view, with the
// shapes samples/README.md promises: a reader or sample fault shows here
// on files of a few thousand faces rather than hand-sized ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/Mesh.h"
#include "core/MeshLoader.h"

namespace {

struct Loaded {
    LoadResult result;
    std::string err;
};

Loaded load(Mesh& m, const std::string& name)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const LoadResult r = load_mesh_file(m, std::string(HALVANE_SAMPLES) + "/" + name);
    testing::internal::GetCapturedStdout();
    return {r, testing::internal::GetCapturedStderr()};
}

int border_edges(const Mesh& m)
{
    int n = 0;
    for (const auto& ef : m.edge_faces) n += ef[1] == -1;
    return n;
}

}  // namespace

TEST(Samples, BlobIsAClosedSphereWithColoursAndThreeSmoothMorphogens)
{
    Mesh m;
    const Loaded l = load(m, "blob.obj");
    ASSERT_EQ(l.result, LoadResult::Loaded) << l.err;
    EXPECT_EQ(m.nv, 2562);
    EXPECT_EQ(m.nf, 5120);
    EXPECT_EQ(border_edges(m), 0);
    EXPECT_EQ(m.nv - m.edge_count + m.nf, 2);  // a sphere
    EXPECT_EQ(m.morphogen_names, (std::vector<std::string>{"height", "bands", "spots"}));
    ASSERT_EQ(m.morphogen_values.size(), 2562u);
    for (int j = 0; j < 3; ++j) {
        float lo = 1.0f, hi = 0.0f, jump = 0.0f;
        for (int v = 0; v < m.nv; ++v) {
            const float x = m.morphogen_values[v][j];
            lo = std::min(lo, x);
            hi = std::max(hi, x);
            for (const int* p : m.vertex_neighbours[v]) jump = std::max(jump, std::abs(x - m.morphogen_values[*p][j]));
        }
        EXPECT_GE(lo, 0.0f) << m.morphogen_names[j];
        EXPECT_LE(hi, 1.0f) << m.morphogen_names[j];
        EXPECT_GT(hi - lo, 0.5f) << m.morphogen_names[j];  // varies over the surface
        EXPECT_LT(jump, 0.5f) << m.morphogen_names[j];     // smoothly, neighbour to neighbour
    }
    // Every vertex has its own colour line: none is left at the default black.
    for (const Vector& c : m.vertex_colours) EXPECT_GT(c.x + c.y + c.z, 0.0f);
}

TEST(Samples, SheetIsOpenAndItsQuadsBecomeTwoTriangles)
{
    Mesh m;
    const Loaded l = load(m, "sheet.obj");
    ASSERT_EQ(l.result, LoadResult::Loaded) << l.err;
    EXPECT_EQ(m.nv, 80 * 50);
    EXPECT_EQ(m.nf, 2 * 79 * 49);
    EXPECT_EQ(border_edges(m), 2 * (79 + 49));
    EXPECT_EQ(m.nv - m.edge_count + m.nf, 1);  // a disc
}

TEST(Samples, PyramidNetIsClosedWithItsColours)
{
    Mesh m;
    const Loaded l = load(m, "pyramid.net");
    ASSERT_EQ(l.result, LoadResult::Loaded) << l.err;
    EXPECT_EQ(m.nv, 5);
    EXPECT_EQ(m.nf, 6);
    EXPECT_EQ(border_edges(m), 0);
    EXPECT_EQ(m.vertex_colours[0], Vector(1.0f, 0.9f, 0.2f));
}
