#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "processing/FaceGraph.h"
#include "processing/face_distances.h"
#include "tests/processing/ClassifierTestSupport.h"
#include "tests/support/LiteralFloyd.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/TempDir.h"

namespace {

// Floyd-Warshall over the link weights in doubles, the last link of a pair
// counting; infinity for faces in different parts.
std::vector<double> weighted_floyd(int n, const std::vector<FaceLink>& links)
{
    const double none = std::numeric_limits<double>::infinity();
    std::vector<double> d(std::size_t(n) * n, none);
    auto at = [n, &d](int i, int j) -> double& { return d[std::size_t(i) * n + j]; };
    for (const FaceLink& l : links)
        if (l.a != l.b) at(l.a, l.b) = at(l.b, l.a) = l.weight != 0.0f ? l.weight : none;
    for (int i = 0; i < n; ++i) at(i, i) = 0.0;
    for (int k = 0; k < n; ++k)
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) at(i, j) = std::min(at(i, j), at(i, k) + at(k, j));
    return d;
}

std::string bytes_of(const std::vector<float>& floats)
{
    return std::string(reinterpret_cast<const char*>(floats.data()), floats.size() * sizeof(float));
}

}  // namespace

TEST(ShortestPathTable, LayoutAndFileSizes)
{
    EXPECT_EQ(ShortestPathTable::entries_for(3), 7);  // 6 pairs and one spare float
    EXPECT_EQ(ShortestPathTable::index(0, 1), 1);
    // Past 46,340 faces n * n no longer fits 32 bits; the index must not wrap.
    EXPECT_EQ(ShortestPathTable::index(50000, 49999), 50000LL * 50001 / 2 + 49999);

    TempDir dir;
    auto one = named::single_triangle();
    Mesh_Classifier c1(one.get());
    ASSERT_TRUE(build_table_quietly(*one, c1));
    EXPECT_EQ(c1.table.entries, 1);
    printed([&] { EXPECT_TRUE(c1.save(dir.file("one.spt"))); });
    EXPECT_EQ(slurp(dir.file("one.spt")), bytes_of({0.0f}));

    auto two = named::two_triangles();
    Mesh_Classifier c2(two.get());
    ASSERT_TRUE(build_table_quietly(*two, c2));
    printed([&] { EXPECT_TRUE(c2.save(dir.file("two.spt"))); });
    // (0, 0), (1, 0), (1, 1) and the spare float.
    EXPECT_EQ(slurp(dir.file("two.spt")), bytes_of({0.0f, 1.0f, 0.0f, 0.0f}));
}

TEST(ShortestPathTable, BothModesEqualFloydWarshall)
{
    std::tuple<const char*, std::unique_ptr<Mesh>, double> cases[] = {
        {"single triangle", named::single_triangle(), 0.5},
        {"two triangles", named::two_triangles(), 0.5},
        {"disconnected pair", named::disconnected_pair(), 0.5},
        {"tetrahedron", named::tetrahedron(), 0.5},
        {"octahedron", named::octahedron(), 0.5},
        {"non-manifold edge", named::non_manifold_edge(), 0.5},
        {"open grid", named::open_grid(8), 0.5},
        {"strip", named::triangle_strip(40), 0.3},
        // With no share of the centroid distance, the 90 degree fold costs
        // nothing: zero-weight links that split the grid in two.
        {"folded grid, weight 0", named::folded_grid(10), 0.0},
        {"folded grid, weight 1", named::folded_grid(10), 1.0},
        {"two grids", named::two_grids(6), 0.5},
        {"random soup", named::random_soup(60, 250, 7), 0.5},
        {"sparse random soup", named::random_soup(200, 180, 11), 0.5},
    };
    for (auto& [name, mesh, weight] : cases) {
        for (int mode = 0; mode < 2; ++mode) {
            SCOPED_TRACE(std::string(name) + ", mode " + std::to_string(mode));
            Mesh_Classifier c(mesh.get());
            c.sp_mode = mode;
            c.weight = weight;
            ASSERT_TRUE(build_table_quietly(*mesh, c));
            const int n = mesh->nf;
            // Steps compare float for float with the literal pass; weights to a rounding.
            std::unique_ptr<LiteralFloyd> steps;
            std::vector<double> weighted;
            if (mode == 0)
                steps = std::make_unique<LiteralFloyd>(n, c.links);
            else
                weighted = weighted_floyd(n, c.links);
            int mismatches = 0;
            for (int a = 0; a < n; ++a)
                for (int b = 0; b <= a; ++b) {
                    const float got = c.table.get(a, b);
                    const double want = mode == 0 ? steps->get(a, b) : weighted[std::size_t(a) * n + b];
                    const bool same = mode == 0 ? got == float(want)
                                      : std::isinf(want) ? got == ShortestPathTable::unreachable
                                                         : std::fabs(got - want) <= 1e-6 * std::max(1.0, want);
                    if (!same && ++mismatches < 5)
                        ADD_FAILURE() << "faces " << a << ", " << b << ": " << got << " against " << want;
                }
            EXPECT_EQ(mismatches, 0);
            for (std::int64_t i = std::int64_t(n) * (n + 1) / 2; i < c.table.entries; ++i)
                EXPECT_EQ(c.table.dist[std::size_t(i)], 0.0f);
        }
    }
}

TEST(ShortestPathTable, LinkWeights)
{
    auto folded = named::folded_grid(10);
    Mesh_Classifier c(folded.get());
    c.weight = 0.0;
    ASSERT_TRUE(build_table_quietly(*folded, c));
    int zero = 0;
    for (const FaceLink& l : c.links) zero += l.weight == 0.0f;
    EXPECT_GT(zero, 0);  // the fold

    // A tilted flat grid: equal normals whose dot product rounds past 1.
    // A soup: degenerate faces whose normals are NaN. Neither gives a NaN weight.
    auto grid = named::open_grid(6);
    for (Vector& p : grid->vertices) p = Vector(p.x * 0.1f + 0.3f, p.y * 0.7f - 0.2f, 0.1f * p.x + 0.05f * p.y);
    auto soup = named::random_soup(60, 250, 7);
    for (Mesh* mesh : {grid.get(), soup.get()}) {
        Mesh_Classifier w(mesh);
        w.sp_mode = 1;
        ASSERT_TRUE(build_table_quietly(*mesh, w));
        for (const FaceLink& l : w.links) EXPECT_FALSE(std::isnan(l.weight));
        EXPECT_FALSE(std::isnan(w.mean_bend));
        for (float d : w.table.dist) ASSERT_FALSE(std::isnan(d));
    }

    // Faces 0 and 1 share two edges; the second call unlinks them.
    const FaceGraph g = FaceGraph::from_links(3, {{0, 1, 2.0f}, {1, 2, 1.0f}, {1, 0, 0.0f}, {2, 2, 5.0f}});
    ShortestPathTable t;
    t.allocate(3);
    step_distances(g, t, 1);
    EXPECT_EQ(t.get(0, 1), 1e9f);
    EXPECT_EQ(t.get(1, 2), 1.0f);
    EXPECT_EQ(t.get(2, 2), 0.0f);
    const FaceGraph relinked = FaceGraph::from_links(2, {{0, 1, 0.0f}, {0, 1, 3.0f}});
    ASSERT_EQ(relinked.targets.size(), 2u);
    EXPECT_EQ(relinked.weights[0], 3.0f);
}

TEST(ShortestPathTable, TwoThreadsBuildTheSameTable)
{
    auto soup = named::random_soup(300, 900, 3);
    for (int mode = 0; mode < 2; ++mode) {
        Mesh_Classifier one(soup.get()), two(soup.get());
        one.sp_mode = two.sp_mode = mode;
        one.threads = 1;
        two.threads = 2;
        ASSERT_TRUE(build_table_quietly(*soup, one));
        ASSERT_TRUE(build_table_quietly(*soup, two));
        EXPECT_TRUE(one.table.dist == two.table.dist) << "mode " << mode;
    }
}

TEST(ShortestPathTable, SaveAndLoadRoundTripInBothModes)
{
    TempDir dir;
    auto grid = named::folded_grid(6);
    for (int mode = 0; mode < 2; ++mode) {
        Mesh_Classifier made(grid.get()), loaded(grid.get());
        made.sp_mode = loaded.sp_mode = mode;
        ASSERT_TRUE(build_table_quietly(*grid, made));
        EXPECT_EQ(printed([&] { EXPECT_TRUE(made.save(dir.file("grid.spt"))); }), "Saving Shortest Path Table\n");
        EXPECT_EQ(printed([&] { EXPECT_TRUE(loaded.load(dir.file("grid.spt"))); }),
                  "Loading Shortest Path Table\nMAX mesh triangles: 14021\nAllocating: 0.01MB\nSize: 2664\n");
        EXPECT_FALSE(loaded.rebuild);
        EXPECT_TRUE(loaded.table.dist == made.table.dist);
        // The next classification uses the loaded table and builds none.
        const std::string run = printed([&] { EXPECT_TRUE(loaded.classify()); });
        EXPECT_EQ(run.find("Building Distances"), std::string::npos);
    }
}

TEST(ShortestPathTable, RejectedFilesLeaveTheTableAlone)
{
    TempDir dir;
    auto two = named::two_triangles();
    Mesh_Classifier c(two.get());
    ASSERT_TRUE(build_table_quietly(*two, c));
    const std::vector<float> before = c.table.dist;

    const std::string short_file = dir.write("short.spt", std::string(12, '\0'));
    const struct {
        std::string path, problem;
    } rejected[] = {
        // Made for a mesh of fewer faces, longer, foreign of the right size.
        {short_file, "ERROR: " + short_file +
                         ": 12 bytes, but the table of a mesh of 2 faces takes 16 bytes [Mesh_Classifier::load()]\n"},
        {dir.write("long.spt", std::string(20, '\0')), "20 bytes"},
        {dir.write("neg.spt", bytes_of({0.0f, -1.0f, 0.0f, 0.0f})), "float 1, the distance of faces 0 and 1, is -1"},
        {dir.write("diag.spt", bytes_of({0.0f, 1.0f, 3.0f, 0.0f})), "faces 1 and 1"},
        {dir.file("missing/none.spt"), "ERROR: could not open file... [Mesh_Classifier::load()]\n"},
    };
    for (const auto& r : rejected) {
        const std::string out = printed([&] { EXPECT_FALSE(c.load(r.path)); });
        EXPECT_NE(out.find(r.problem), std::string::npos) << out;
        EXPECT_TRUE(c.rebuild);
        EXPECT_TRUE(c.table.dist == before);
    }
    std::string out = printed([&] { EXPECT_FALSE(c.save(dir.file("missing/none.spt"))); });
    EXPECT_NE(out.find("ERROR: could not open file... [Mesh_Classifier::save()]\n"), std::string::npos) << out;

    // A new mesh has no table to save.
    c.reset();
    out = printed([&] { EXPECT_FALSE(c.save(dir.file("t.spt"))); });
    EXPECT_NE(out.find("ERROR: no shortest path table of this mesh to save"), std::string::npos) << out;
    EXPECT_EQ(slurp(dir.file("t.spt")), "");
}

TEST(ShortestPathTable, SizeLimitRefusesBeforeAllocating)
{
    auto big = named::open_grid(84);  // 14,112 faces
    Mesh_Classifier c(big.get());
    std::string out = printed([&] { EXPECT_FALSE(c.classify()); });
    EXPECT_NE(out.find("ERROR: the mesh has 14112 faces; a shortest path table holds at most 14021"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("Allocating"), std::string::npos);
    EXPECT_EQ(out.find("Building Patches"), std::string::npos);
    EXPECT_TRUE(c.table.dist.empty());
    EXPECT_TRUE(c.seeds.empty());

    TempDir dir;
    out = printed([&] { EXPECT_FALSE(c.load(dir.write("big.spt", "x"))); });
    EXPECT_NE(out.find("holds at most 14021"), std::string::npos);
    EXPECT_TRUE(c.rebuild);
}
