#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "processing/FaceGraph.h"
#include "processing/face_distances.h"
#include "tests/support/LiteralFloyd.h"
#include "tests/processing/ClassifierTestSupport.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/TempDir.h"

namespace {

struct Case {
    const char* name;
    std::unique_ptr<Mesh> mesh;
    double weight;
};

std::vector<Case> graph_cases()
{
    std::vector<Case> cases;
    cases.push_back({"single triangle", named::single_triangle(), 0.5});
    cases.push_back({"two triangles", named::two_triangles(), 0.5});
    cases.push_back({"disconnected pair", named::disconnected_pair(), 0.5});
    cases.push_back({"tetrahedron", named::tetrahedron(), 0.5});
    cases.push_back({"octahedron", named::octahedron(), 0.5});
    cases.push_back({"non-manifold edge", named::non_manifold_edge(), 0.5});
    cases.push_back({"open grid", named::open_grid(8), 0.5});
    cases.push_back({"strip", named::triangle_strip(40), 0.3});
    // With no share of the centroid distance, the 90 degree fold costs
    // nothing: zero-weight links that split the grid in two.
    cases.push_back({"folded grid, weight 0", named::folded_grid(10), 0.0});
    cases.push_back({"folded grid, weight 1", named::folded_grid(10), 1.0});
    cases.push_back({"two grids", named::two_grids(6), 0.5});
    cases.push_back({"random soup", named::random_soup(60, 250, 7), 0.5});
    cases.push_back({"sparse random soup", named::random_soup(200, 180, 11), 0.5});
    return cases;
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
    EXPECT_EQ(c1.table.get(0, 0), 0.0f);
    printed([&] { EXPECT_TRUE(c1.save(dir.file("one.spt"))); });
    EXPECT_EQ(slurp(dir.file("one.spt")).size(), 4u);

    auto two = named::two_triangles();
    Mesh_Classifier c2(two.get());
    ASSERT_TRUE(build_table_quietly(*two, c2));
    printed([&] { EXPECT_TRUE(c2.save(dir.file("two.spt"))); });
    const std::string bytes = slurp(dir.file("two.spt"));
    ASSERT_EQ(bytes.size(), 16u);
    float stored[4];
    std::memcpy(stored, bytes.data(), 16);
    EXPECT_EQ(stored[0], 0.0f);  // (0, 0)
    EXPECT_EQ(stored[1], 1.0f);  // (1, 0)
    EXPECT_EQ(stored[2], 0.0f);  // (1, 1)
    EXPECT_EQ(stored[3], 0.0f);  // the spare float
}

TEST(ShortestPathTable, BreadthFirstTableEqualsFloydWarshall)
{
    for (Case& t : graph_cases()) {
        SCOPED_TRACE(t.name);
        Mesh_Classifier c(t.mesh.get());
        c.weight = t.weight;
        ASSERT_TRUE(build_table_quietly(*t.mesh, c));
        const int n = t.mesh->nf;
        const LiteralFloyd literal(n, c.links);
        int mismatches = 0;
        for (int a = 0; a < n; ++a)
            for (int b = 0; b <= a; ++b)
                if (c.table.get(a, b) != literal.get(a, b) && ++mismatches < 5)
                    ADD_FAILURE() << "faces " << a << ", " << b << ": " << c.table.get(a, b) << " against "
                                  << literal.get(a, b);
        EXPECT_EQ(mismatches, 0);
        for (std::int64_t i = std::int64_t(n) * (n + 1) / 2; i < c.table.entries; ++i)
            EXPECT_EQ(c.table.dist[std::size_t(i)], 0.0f);
    }
}

TEST(ShortestPathTable, ZeroWeightLinksAndUnconnectedParts)
{
    auto folded = named::folded_grid(10);
    Mesh_Classifier c(folded.get());
    c.weight = 0.0;
    ASSERT_TRUE(build_table_quietly(*folded, c));
    int zero = 0;
    for (const FaceLink& l : c.links) zero += l.weight == 0.0f;
    EXPECT_GT(zero, 0);  // the fold
    float far = 0.0f;
    for (int a = 0; a < folded->nf; ++a)
        for (int b = 0; b < a; ++b) far = std::max(far, c.table.get(a, b));
    EXPECT_EQ(far, ShortestPathTable::unreachable);

    auto pair = named::disconnected_pair();
    Mesh_Classifier p(pair.get());
    ASSERT_TRUE(build_table_quietly(*pair, p));
    EXPECT_EQ(p.table.get(0, 1), 1e9f);
}

TEST(ShortestPathTable, LastLinkOfAPairCounts)
{
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

TEST(ShortestPathTable, NoLinkWeightIsNaN)
{
    // A tilted flat grid: equal normals whose dot product rounds past 1.
    // A soup: degenerate faces whose normals are NaN.
    auto grid = named::open_grid(6);
    for (Vector& p : grid->vertices) p = Vector(p.x * 0.1f + 0.3f, p.y * 0.7f - 0.2f, 0.1f * p.x + 0.05f * p.y);
    auto soup = named::random_soup(60, 250, 7);
    for (Mesh* mesh : {grid.get(), soup.get()}) {
        Mesh_Classifier c(mesh);
        c.sp_mode = 1;
        ASSERT_TRUE(build_table_quietly(*mesh, c));
        for (const FaceLink& l : c.links) EXPECT_FALSE(std::isnan(l.weight));
        EXPECT_FALSE(std::isnan(c.mean_bend));
        for (float d : c.table.dist) ASSERT_FALSE(std::isnan(d));
    }
}

TEST(ShortestPathTable, WeightedDistancesAreShortestWeightedPaths)
{
    for (Case& t : graph_cases()) {
        SCOPED_TRACE(t.name);
        Mesh_Classifier c(t.mesh.get());
        c.sp_mode = 1;
        c.weight = t.weight;
        ASSERT_TRUE(build_table_quietly(*t.mesh, c));
        const int n = t.mesh->nf;
        // Floyd-Warshall over the link weights, last call of a pair counting.
        const double none = std::numeric_limits<double>::infinity();
        std::vector<double> d(std::size_t(n) * n, none);
        for (const FaceLink& l : c.links) {
            if (l.a == l.b) continue;
            const double w = l.weight != 0.0f ? l.weight : none;
            d[std::size_t(l.a) * n + l.b] = d[std::size_t(l.b) * n + l.a] = w;
        }
        for (int i = 0; i < n; ++i) d[std::size_t(i) * n + i] = 0.0;
        for (int k = 0; k < n; ++k)
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j)
                    d[std::size_t(i) * n + j] =
                        std::min(d[std::size_t(i) * n + j], d[std::size_t(i) * n + k] + d[std::size_t(k) * n + j]);
        int mismatches = 0;
        for (int a = 0; a < n; ++a)
            for (int b = 0; b <= a; ++b) {
                const double want = d[std::size_t(a) * n + b];
                const float got = c.table.get(a, b);
                const bool same = want == none ? got == 1e9f : std::fabs(got - want) <= 1e-6 * std::max(1.0, want);
                if (!same && ++mismatches < 5)
                    ADD_FAILURE() << "faces " << a << ", " << b << ": " << got << " against " << want;
            }
        EXPECT_EQ(mismatches, 0);
    }
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
        Mesh_Classifier made(grid.get());
        made.sp_mode = mode;
        ASSERT_TRUE(build_table_quietly(*grid, made));
        const std::string out = printed([&] { EXPECT_TRUE(made.save(dir.file("grid.spt"))); });
        EXPECT_EQ(out, "Saving Shortest Path Table\n");

        Mesh_Classifier loaded(grid.get());
        loaded.sp_mode = mode;
        const std::string in = printed([&] { EXPECT_TRUE(loaded.load(dir.file("grid.spt"))); });
        EXPECT_EQ(in, "Loading Shortest Path Table\nMAX mesh triangles: 14021\nAllocating: 0.01MB\nSize: 2664\n");
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

    // Short (made for a mesh of fewer faces), long, and foreign of the right size.
    const std::string short_file = dir.write("short.spt", std::string(12, '\0'));
    std::string out = printed([&] { EXPECT_FALSE(c.load(short_file)); });
    EXPECT_NE(out.find("ERROR: " + short_file +
                       ": 12 bytes, but the table of a mesh of 2 faces takes 16 bytes [Mesh_Classifier::load()]\n"),
              std::string::npos)
        << out;
    EXPECT_TRUE(c.rebuild);
    EXPECT_TRUE(c.table.dist == before);

    out = printed([&] { EXPECT_FALSE(c.load(dir.write("long.spt", std::string(20, '\0')))); });
    EXPECT_NE(out.find("20 bytes"), std::string::npos);

    const float foreign[4] = {0.0f, -1.0f, 0.0f, 0.0f};
    const std::string negative = dir.write("neg.spt", std::string(reinterpret_cast<const char*>(foreign), 16));
    out = printed([&] { EXPECT_FALSE(c.load(negative)); });
    EXPECT_NE(out.find("float 1, the distance of faces 0 and 1, is -1"), std::string::npos) << out;
    const float nonzero_diagonal[4] = {0.0f, 1.0f, 3.0f, 0.0f};
    out = printed([&] {
        EXPECT_FALSE(c.load(dir.write("diag.spt", std::string(reinterpret_cast<const char*>(nonzero_diagonal), 16))));
    });
    EXPECT_NE(out.find("faces 1 and 1"), std::string::npos) << out;

    out = printed([&] { EXPECT_FALSE(c.load(dir.file("missing/none.spt"))); });
    EXPECT_NE(out.find("ERROR: could not open file... [Mesh_Classifier::load()]\n"), std::string::npos) << out;
    out = printed([&] { EXPECT_FALSE(c.save(dir.file("missing/none.spt"))); });
    EXPECT_NE(out.find("ERROR: could not open file... [Mesh_Classifier::save()]\n"), std::string::npos) << out;

    EXPECT_TRUE(c.rebuild);
    EXPECT_TRUE(c.table.dist == before);
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

TEST(ShortestPathTable, NoTableToSaveForANewMesh)
{
    TempDir dir;
    auto two = named::two_triangles();
    Mesh_Classifier c(two.get());
    ASSERT_TRUE(build_table_quietly(*two, c));
    c.reset();
    const std::string out = printed([&] { EXPECT_FALSE(c.save(dir.file("t.spt"))); });
    EXPECT_NE(out.find("ERROR: no shortest path table of this mesh to save"), std::string::npos) << out;
    EXPECT_EQ(slurp(dir.file("t.spt")), "");
}
