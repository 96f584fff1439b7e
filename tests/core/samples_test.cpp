// The bundled samples load through the same path as the view, with the
// shapes samples/README.md promises: a reader or sample fault shows here
// on files of a few thousand faces rather than hand-sized ones.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "core/load_mesh_file.h"
#include "core/Mesh.h"
#include "tests/support/Printed.h"

TEST(Samples, LoadWithTheirShapesColoursAndMorphogens)
{
    // Vertex, face and border edge counts and the Euler characteristic (2 for
    // a sphere, 1 for a disc); the sheet's quads become two triangles each.
    const struct {
        const char* name;
        int nv, nf, border, euler;
    } samples[] = {{"pyramid.net", 5, 6, 0, 2},
                   {"sheet.obj", 80 * 50, 2 * 79 * 49, 2 * (79 + 49), 1},
                   {"blob.obj", 2562, 5120, 0, 2}};
    Mesh m;
    for (const auto& s : samples) {
        SCOPED_TRACE(s.name);
        Captured console;
        const LoadResult r = load_mesh_file(m, std::string(HALVANE_SAMPLES) + "/" + s.name, console);
        const std::string err = console.log.err();
        ASSERT_EQ(r, LoadResult::Loaded) << err;
        int open_edges = 0;
        for (const auto& ef : m.edge_faces) open_edges += ef[1] == -1;
        EXPECT_EQ(m.nv, s.nv);
        EXPECT_EQ(m.nf, s.nf);
        EXPECT_EQ(open_edges, s.border);
        EXPECT_EQ(m.nv - m.edge_count + m.nf, s.euler);
        EXPECT_TRUE(m.nv != 5 || m.vertex_colours[0] == Vector(1.0f, 0.9f, 0.2f));  // the pyramid's colours
    }
    // The blob, loaded last: three smooth morphogens and a colour per vertex.
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
