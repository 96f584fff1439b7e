// The classifier's distance table and its stages, each checked against a
// plain transcription: Floyd-Warshall for the table, the stages as first written.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "classification/face_distances.h"
#include "classification/FaceGraph.h"
#include "classification/Mesh_Classifier.h"
#include "core/Mesh.h"
#include "tests/support/LiteralFloyd.h"
#include "tests/support/NamedMeshes.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"

namespace {

// A classifier on `mesh` with its table built (normals and edge list made
// first, as the view does). Both report on the classifier's channel.
bool build_table_quietly(Mesh& mesh, Mesh_Classifier& classifier)
{
    mesh.build({MESH_VERTEX_NORMALS, MESH_EDGE_LIST}, classifier.messages);
    return classifier.build_table();
}

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

// The classification stages as first written, reading every distance
// through get(): full sums per face, the refinement repeated until its two
// faces stop moving (with both sums), medoids from member lists. The one
// change is the mended refinement: a seed with no face within reach stays.
struct LiteralClassifier {
    const ShortestPathTable& table;
    int n;
    std::vector<int> seeds;
    std::vector<std::vector<float>> prob;
    std::vector<std::pair<int, int>> nbrs;
    int num = 0;

    explicit LiteralClassifier(const ShortestPathTable& t) : table(t), n(t.n) {}
    float get(int a, int b) const { return table.get(a, b); }

    void build_patches(int max_patches)
    {
        double low = 1000000.0;
        int first = 0;
        for (int i = 0; i < n; ++i) {
            double s = 0.0;
            for (int j = 0; j < n; ++j) s += get(i, j);
            if (s <= low) {
                low = s;
                first = i;
            }
        }
        seeds = {first};
        for (int round = 0; round < max_patches; ++round) {
            float top = 0.0f;
            int pick = 0;
            for (int i = 0; i < n; ++i) {
                float m = 1e9f;
                for (int s : seeds) m = std::min(m, get(s, i));
                if (m >= top) {
                    top = m;
                    pick = i;
                }
            }
            seeds.push_back(pick);
        }
    }

    void choose()
    {
        std::vector<float> d(seeds.size(), 1e9f);
        for (std::size_t i = 1; i < seeds.size(); ++i)
            for (std::size_t j = 0; j < i; ++j) d[i] = std::min(d[i], get(seeds[i], seeds[j]));
        float top = 0.0f;
        num = 0;
        for (std::size_t j = 2; j < seeds.size(); ++j)
            if (d[j - 1] - d[j] >= top) {
                top = d[j - 1] - d[j];
                num = int(j);
            }
    }

    void probabilities(int k)
    {
        prob.assign(k, std::vector<float>(n));
        for (int p = 0; p < k; ++p)
            for (int f = 0; f < n; ++f) {
                if (f == seeds[p]) {
                    prob[p][f] = 1.0f;
                    continue;
                }
                float s = 0.0f;
                for (int q = 0; q < k; ++q) s += 1.0f / get(seeds[q], f);
                prob[p][f] = (1.0f / get(seeds[p], f)) / s;
            }
    }

    void neighbours(int k)
    {
        nbrs.clear();
        for (int i = 0; i < k; ++i) {
            int nearest = 0, second = 0;
            float low = 1000000.0f;
            for (int j = 0; j < k; ++j)
                if (j != i && get(seeds[j], seeds[i]) <= low) {
                    low = get(seeds[j], seeds[i]);
                    nearest = j;
                }
            low = 1000000.0f;
            for (int j = 0; j < k; ++j)
                if (j != i && j != nearest && get(seeds[j], seeds[i]) <= low) {
                    low = get(seeds[j], seeds[i]);
                    second = j;
                }
            nbrs.emplace_back(nearest, second);
        }
    }

    void refine(int k)
    {
        int r = 0, q = 0;
        for (int m = 0; m < k; ++m) {
            int cur = seeds[m];
            const int nb = nbrs[m].first;
            int other = seeds[nb];
            double best_l = 1000000.0, best_m = 1000000.0;
            bool found = false;
            for (;;) {
                probabilities(k);
                for (int j = 0; j < n; ++j) {
                    if (std::find(seeds.begin(), seeds.begin() + m, j) != seeds.begin() + m) continue;
                    double l = 0.0, mm = 0.0;
                    for (int t = 0; t < n; ++t) {
                        if (t == j) continue;
                        const double d = get(j, t);
                        l += d * prob[m][j] / (double(prob[m][j]) + double(prob[nb][t]));
                        mm += d * prob[nb][t] / (double(prob[m][j]) + double(prob[nb][t]));
                    }
                    if (l <= best_l) {
                        best_l = l;
                        r = j;
                        found = true;
                    }
                    if (mm <= best_m) {
                        best_m = mm;
                        q = j;
                    }
                }
                if (r == cur && q == other) break;
                cur = r;
                other = q;
            }
            if (found) seeds[m] = r;
        }
        probabilities(k);
    }

    std::vector<int> assign(int k)
    {
        std::vector<int> new_seed(k, 0), patch_of(n, 0);
        std::vector<std::vector<int>> members(k);
        for (int iteration = 1;; ++iteration) {
            for (auto& m : members) m.clear();
            int previous = 0;
            for (int i = 0; i < n; ++i) {
                float low = 1000000.0f;
                int choice = previous;
                for (int j = 0; j < k; ++j) {
                    const float d = i == seeds[j] ? 0.0f : get(seeds[j], i);
                    if (d <= low) {
                        low = d;
                        choice = j;
                    }
                }
                members[choice].push_back(i);
                patch_of[i] = previous = choice;
            }
            for (int p = 0; p < k; ++p) {
                double low = 1000000.0;
                for (int v : members[p]) {
                    double s = 0.0;
                    for (int w : members[p]) s += w == v ? 0.0 : double(get(v, w));
                    if (s < low) {
                        low = s;
                        new_seed[p] = v;
                    } else if (s == low) {
                        new_seed[p] = v;
                    }
                }
            }
            const bool converged = std::equal(new_seed.begin(), new_seed.end(), seeds.begin());
            if (!converged) std::copy(new_seed.begin(), new_seed.end(), seeds.begin());
            if (iteration == 500 || converged) break;
        }
        return patch_of;
    }
};

struct Classified {
    std::unique_ptr<Captured> channel;  // the classifier's, kept in one place while the result moves
    std::unique_ptr<Mesh> mesh;
    std::unique_ptr<Mesh_Classifier> classifier;
    std::string console;
};

Classified classify(std::unique_ptr<Mesh> mesh)
{
    Classified c{std::make_unique<Captured>(), std::move(mesh), nullptr, ""};
    c.classifier = std::make_unique<Mesh_Classifier>(c.mesh.get(), *c.channel);
    c.classifier->threads = 2;
    c.console = printed(*c.channel, [&] {
        c.mesh->build({MESH_VERTEX_NORMALS, MESH_EDGE_LIST}, *c.channel);
        EXPECT_TRUE(c.classifier->classify());
    });
    return c;
}

std::vector<std::array<float, 4>> face_colours(const Mesh& mesh)
{
    std::vector<std::array<float, 4>> out;
    for (const Face& f : mesh.faces) out.push_back(xyzw(f.colour));
    return out;
}

}  // namespace

TEST(ShortestPathTable, LayoutAndFileSizes)
{
    // Past 46,340 faces n * n no longer fits 32 bits; the index must not wrap.
    EXPECT_EQ(ShortestPathTable::index(50000, 49999), 50000LL * 50001 / 2 + 49999);

    // One face: (0, 0) alone. Two: (0, 0), (1, 0), (1, 1) and the spare float.
    TempDir dir;
    const std::pair<std::unique_ptr<Mesh>, std::vector<float>> saved[] = {
        {named::single_triangle(), std::vector<float>{0.0f}},
        {named::two_triangles(), std::vector<float>{0.0f, 1.0f, 0.0f, 0.0f}}};
    for (const auto& [mesh, floats] : saved) {
        Captured console;
        Mesh_Classifier c(mesh.get(), console);
        ASSERT_TRUE(build_table_quietly(*mesh, c));
        EXPECT_TRUE(c.save(dir.file("t.spt")));
        EXPECT_EQ(slurp(dir.file("t.spt")), bytes_of(floats));
    }
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
            Captured console;
            Mesh_Classifier c(mesh.get(), console);
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
                    const bool same = mode == 0          ? got == float(want)
                                      : std::isinf(want) ? got == ShortestPathTable::unreachable
                                                         : std::fabs(got - want) <= 1e-6 * std::max(1.0, want);
                    if (!same && ++mismatches < 5)
                        ADD_FAILURE() << "faces " << a << ", " << b << ": " << got << " against " << want;
                }
            EXPECT_EQ(mismatches, 0);
            EXPECT_EQ(c.table.compact, mode == 0);
            const std::vector<float> floats = c.table.floats();
            for (std::int64_t i = std::int64_t(n) * (n + 1) / 2; i < c.table.entries; ++i)
                EXPECT_EQ(floats[std::size_t(i)], 0.0f);
        }
    }
}

TEST(ShortestPathTable, FacesOnAnEdgeOfThreeAreOneStepApart)
{
    // The fin (face 2) on the edge of faces 0 and 1 was once out of reach.
    auto fin = named::non_manifold_edge();
    for (int mode = 0; mode < 2; ++mode) {
        Captured console;
        Mesh_Classifier c(fin.get(), console);
        c.sp_mode = mode;
        ASSERT_TRUE(build_table_quietly(*fin, c));
        EXPECT_EQ(c.links.size(), 3u);
        for (const auto& [a, b] : {std::pair{1, 0}, {2, 0}, {2, 1}}) {
            EXPECT_LT(c.table.get(a, b), ShortestPathTable::unreachable) << a << ", " << b;
            if (mode == 0) {
                EXPECT_EQ(c.table.get(a, b), 1.0f) << a << ", " << b;
            }
        }
    }
}

TEST(ShortestPathTable, LinkWeights)
{
    auto folded = named::folded_grid(10);
    Captured console;
    Mesh_Classifier c(folded.get(), console);
    c.weight = 0.0;
    ASSERT_TRUE(build_table_quietly(*folded, c));
    int zero = 0;
    for (const FaceLink& l : c.links) zero += l.weight == 0.0f;
    EXPECT_GT(zero, 0);  // the fold

    // A tilted flat grid: equal normals whose dot product rounds past 1.
    // A soup: degenerate faces, whose normals are zero. Neither gives a NaN weight.
    auto grid = named::open_grid(6);
    for (Vector& p : grid->vertices) p = Vector(p.x * 0.1f + 0.3f, p.y * 0.7f - 0.2f, 0.1f * p.x + 0.05f * p.y);
    auto soup = named::random_soup(60, 250, 7);
    for (Mesh* mesh : {grid.get(), soup.get()}) {
        Mesh_Classifier w(mesh, console);
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
        Captured console;
        Mesh_Classifier one(soup.get(), console), two(soup.get(), console);
        one.sp_mode = two.sp_mode = mode;
        one.threads = 1;
        two.threads = 2;
        ASSERT_TRUE(build_table_quietly(*soup, one));
        ASSERT_TRUE(build_table_quietly(*soup, two));
        EXPECT_TRUE(one.table.floats() == two.table.floats()) << "mode " << mode;
    }
}

TEST(ShortestPathTable, SaveAndLoadRoundTripInBothModes)
{
    TempDir dir;
    auto grid = named::folded_grid(6);
    for (int mode = 0; mode < 2; ++mode) {
        Captured console;
        Mesh_Classifier made(grid.get(), console), loaded(grid.get(), console);
        made.sp_mode = loaded.sp_mode = mode;
        ASSERT_TRUE(build_table_quietly(*grid, made));
        EXPECT_EQ(printed(console, [&] { EXPECT_TRUE(made.save(dir.file("grid.spt"))); }),
                  "Saving Shortest Path Table\n");
        EXPECT_EQ(printed(console, [&] { EXPECT_TRUE(loaded.load(dir.file("grid.spt"))); }),
                  "Loading Shortest Path Table\nMAX mesh triangles: " + std::to_string(loaded.max_faces(mode == 0)) +
                      "\nAllocating: 0.01MB\nSize: 2664\n");
        EXPECT_FALSE(loaded.rebuild);
        EXPECT_EQ(loaded.table.compact, mode == 0);
        EXPECT_TRUE(loaded.table.floats() == made.table.floats());
        // The next classification uses the loaded table and builds none.
        const std::string run = printed(console, [&] { EXPECT_TRUE(loaded.classify()); });
        EXPECT_EQ(run.find("Building Distances"), std::string::npos);
    }
}

TEST(ShortestPathTable, RejectedFilesLeaveTheTableAlone)
{
    TempDir dir;
    auto two = named::two_triangles();
    Captured console;
    Mesh_Classifier c(two.get(), console);
    ASSERT_TRUE(build_table_quietly(*two, c));
    const std::vector<float> before = c.table.floats();

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
        {dir.file("missing/none.spt"), "ERROR: could not open file... [Mesh_Classifier::load()] " +
                                           dir.file("missing/none.spt") + ": No such file or directory\n"},
    };
    for (const auto& r : rejected) {
        const std::string out = printed(console, [&] { EXPECT_FALSE(c.load(r.path)); });
        EXPECT_NE(out.find(r.problem), std::string::npos) << out;
        EXPECT_TRUE(c.rebuild);
        EXPECT_TRUE(c.table.floats() == before);
    }
    std::string out = printed(console, [&] { EXPECT_FALSE(c.save(dir.file("missing/none.spt"))); });
    EXPECT_NE(out.find("ERROR: could not open file... [Mesh_Classifier::save()] " + dir.file("missing/none.spt") +
                       ": No such file or directory\n"),
              std::string::npos)
        << out;

    // A new mesh has no table to save.
    c.reset();
    out = printed(console, [&] { EXPECT_FALSE(c.save(dir.file("t.spt"))); });
    EXPECT_NE(out.find("ERROR: no shortest path table of this mesh to save"), std::string::npos) << out;
    EXPECT_EQ(slurp(dir.file("t.spt")), "");
}

TEST(ShortestPathTable, SizeLimitFollowsFromMemoryAndRefusesBeforeAllocating)
{
    // 14,022 faces, one more than the fixed limit there once was: a strip,
    // whose faces a and b are |a - b| steps apart. Two bytes a pair.
    const int n = 14022;
    auto strip = named::triangle_strip(n);
    Captured console;
    Mesh_Classifier c(strip.get(), console);
    ASSERT_GE(c.max_faces(true), n);
    std::string out = printed(console, [&] { EXPECT_TRUE(build_table_quietly(*strip, c)); });
    EXPECT_NE(out.find("MAX mesh triangles: " + std::to_string(c.max_faces(true)) + "\nAllocating: 187.53MB\n"),
              std::string::npos)
        << out;
    ASSERT_TRUE(c.table.compact);
    for (const auto& [a, b] : {std::pair{n - 1, 0}, {n - 1, n - 2}, {7000, 3}, {n - 1, n - 1}})
        EXPECT_EQ(c.table.get(a, b), float(a - b)) << a << ", " << b;

    // With less memory the line says what would be needed, and nothing is made.
    auto big = named::open_grid(84);  // 14,112 faces
    Mesh_Classifier small(big.get(), console);
    small.memory_limit = 150e6;
    const int most = small.max_faces(true);
    EXPECT_LT(most, 14112);
    EXPECT_GT(most, 10000);
    out = printed(console, [&] { EXPECT_FALSE(small.classify()); });
    EXPECT_NE(out.find("ERROR: the mesh has 14112 faces; a shortest path table holds at most " + std::to_string(most) +
                       " here: this one would need 202 MB"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("Allocating"), std::string::npos);
    EXPECT_EQ(out.find("Building Patches"), std::string::npos);
    EXPECT_TRUE(small.table.floats().empty());
    EXPECT_TRUE(small.seeds.empty());

    TempDir dir;
    out = printed(console, [&] { EXPECT_FALSE(small.load(dir.write("big.spt", "x"))); });
    EXPECT_NE(out.find("holds at most " + std::to_string(most)), std::string::npos);
    EXPECT_TRUE(small.rebuild);

    // Counts fit two bytes up to 65,535 faces; past that the table is floats.
    EXPECT_EQ(ShortestPathTable::bytes_for(65535, true), 2.0 * ShortestPathTable::entries_for(65535));
    EXPECT_EQ(ShortestPathTable::bytes_for(65536, true), 4.0 * ShortestPathTable::entries_for(65536));
    EXPECT_EQ(ShortestPathTable::bytes_for(100, false), 4.0 * ShortestPathTable::entries_for(100));
}

TEST(ShortestPathTable, CompactFormReadsAndWritesTheSameFloats)
{
    // A compact table takes other distances by turning into floats.
    ShortestPathTable t;
    t.allocate(3, true);
    t.set(1, 0, 2.0f);
    t.set(2, 0, ShortestPathTable::unreachable);
    EXPECT_TRUE(t.compact);
    EXPECT_EQ(t.floats(), (std::vector<float>{0, 2, 0, 1e9f, 0, 0, 0}));
    t.set(2, 1, 0.5f);
    EXPECT_FALSE(t.compact);
    EXPECT_EQ(t.floats(), (std::vector<float>{0, 2, 0, 1e9f, 0.5f, 0, 0}));

    // Files of step counts come back compact and are written byte for byte
    // as read; a file with any other value (a weighted table, a -0) stays floats.
    TempDir dir;
    const struct {
        std::vector<float> floats;
        bool compact;
    } files[] = {
        {{0, 1, 0, 1e9f, 65534, 0, 0}, true},
        {{0, 1, 0, 1e9f, 0.25f, 0, 0}, false},
        {{0, 1, 0, 65535, 2, 0, 0}, false},
        {{0, -0.0f, 0, 1, 2, 0, 0}, false},
    };
    for (const auto& f : files) {
        const std::string bytes = bytes_of(f.floats);
        ShortestPathTable read;
        ASSERT_EQ(ShortestPathTable::read(dir.write("t.spt", bytes), 3, read).status,
                  ShortestPathTable::FileResult::Done);
        EXPECT_EQ(read.compact, f.compact) << f.floats[4];
        ASSERT_EQ(read.write(dir.file("back.spt")).status, ShortestPathTable::FileResult::Done);
        EXPECT_EQ(slurp(dir.file("back.spt")), bytes) << f.floats[4];
    }
}

TEST(Classifier, StagesMatchTheirPlainTranscription)
{
    std::pair<const char*, std::unique_ptr<Mesh>> cases[] = {
        {"one face, fifty patches", named::single_triangle()},
        {"octahedron", named::octahedron()},
        {"open grid", named::open_grid(6)},
        {"folded grid", named::folded_grid(8)},
        {"strip", named::triangle_strip(30)},
        {"two grids", named::two_grids(4)},
        {"two separate triangles", named::disconnected_pair()},
        {"random soup", named::random_soup(80, 200, 5)},
        // Large enough for the sums to be shared between two threads.
        {"grid of 512 faces", named::open_grid(16)},
    };
    for (auto& [name, mesh] : cases) {
        SCOPED_TRACE(name);
        Classified c = classify(std::move(mesh));
        const Mesh_Classifier& engine = *c.classifier;
        LiteralClassifier literal(engine.table);
        literal.build_patches(50);
        literal.choose();
        ASSERT_EQ(engine.num_patches, literal.num);
        const int k = literal.num;
        literal.probabilities(k);
        literal.neighbours(k);
        EXPECT_EQ(engine.neighbours, literal.nbrs);
        literal.refine(k);
        EXPECT_EQ(engine.seeds, literal.seeds);
        EXPECT_TRUE(engine.probabilities == literal.prob);
        for (int shown : {k, 3, 1}) {
            if (shown < 1) continue;
            c.classifier->set_patch_count(shown);
            const std::vector<int> patch_of = literal.assign(shown);
            EXPECT_EQ(engine.seeds, literal.seeds) << shown << " patches";
            EXPECT_EQ(engine.face_patch, patch_of) << shown << " patches";
        }
    }
}

TEST(Classifier, ConsoleAndColoursOfAClassificationAndARepeat)
{
    Classified c = classify(named::octahedron());
    const Mesh_Classifier& m = *c.classifier;
    const int k = m.num_patches;
    std::string want = "Using Floyd Shortest Path\nMAX mesh triangles: " + std::to_string(m.max_faces(true)) +
                       "\nAllocating: 0.00MB\nSize: 40\n"
                       "Building Centroids\nBuilding Distances\nBuilding Patches\nOptimal Number of Patches:" +
                       std::to_string(k) + "\n";
    for (const auto& nb : m.neighbours) want += "neigbour: " + std::to_string(nb.second) + "\n";
    want += "Eval FUZZY\n";
    const std::string console = c.console.substr(c.console.find("Using Floyd"));
    EXPECT_EQ(console.substr(0, want.size()), want);

    // Seeds show yellow; every face is opaque.
    for (int p = 0; p < k; ++p) EXPECT_EQ(xyzw(c.mesh->faces[m.seeds[p]].colour), xyzw(Vector(1.0f, 1.0f, 0.0f)));
    for (const Face& f : c.mesh->faces) EXPECT_EQ(f.colour.w, 1.0f);

    // Classifying again says and does the same.
    const std::vector<int> seeds = m.seeds;
    const std::vector<std::array<float, 4>> colours = face_colours(*c.mesh);
    EXPECT_EQ(printed(*c.channel, [&] { EXPECT_TRUE(c.classifier->classify()); }), console);
    EXPECT_EQ(m.seeds, seeds);
    EXPECT_EQ(face_colours(*c.mesh), colours);

    // Assigned patches take their hues, from red.
    c.classifier->set_patch_count(k);
    ASSERT_EQ(m.face_patch.size(), std::size_t(c.mesh->nf));
    for (int f = 0; f < c.mesh->nf; ++f)
        EXPECT_EQ(xyzw(c.mesh->faces[f].colour), xyzw(patch_colour(m.face_patch[f], k)));
    EXPECT_EQ(xyzw(patch_colour(0, k)), xyzw(Vector(1.0f, 0.0f, 0.0f)));
    const Vector second = patch_colour(1, 2);  // hue 179.5: nearly cyan
    EXPECT_EQ(xyzw(second), xyzw(Vector(0.0f, 1.0f, second.z)));
    EXPECT_GT(second.z, 0.99f);
}

TEST(Classifier, ATiedFaceJoinsTheLaterPatchAndNoSeedIsTakenTwice)
{
    auto strip = named::triangle_strip(3);
    Captured console;
    Mesh_Classifier c(strip.get(), console);
    ASSERT_TRUE(build_table_quietly(*strip, c));
    c.seeds = {0, 2};
    c.set_patch_count(2);
    EXPECT_EQ(c.face_patch, (std::vector<int>{0, 1, 1}));  // face 1 is one step from both seeds
    EXPECT_EQ(c.seeds, (std::vector<int>{0, 2}));          // of the tied medoids 1 and 2, the last

    // Every distance beyond reach of the running minimum: no face qualifies
    // for patch 1, which keeps its seed instead of taking patch 0's.
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < a; ++b) c.table.set(a, b, 3e6f);
    c.seeds = {0, 1, 2};
    c.compute_probabilities(3);
    c.find_neighbours(3);
    c.refine_seeds(3);
    EXPECT_EQ(c.seeds, (std::vector<int>{0, 1, 2}));

    Classified grid = classify(named::folded_grid(8));
    const std::vector<int>& s = grid.classifier->seeds;
    for (int p = 0; p < grid.classifier->num_patches; ++p)
        EXPECT_EQ(std::find(s.begin(), s.begin() + p, s[p]), s.begin() + p) << "patch " << p;
}

TEST(Classifier, NothingToClassifyOrToShow)
{
    auto empty = named::empty();
    Captured console;
    Mesh_Classifier none(empty.get(), console);
    EXPECT_EQ(printed(console, [&] { EXPECT_FALSE(none.classify()); }),
              "ERROR: the mesh has no faces to classify [Mesh_Classifier::classify()]\n");

    auto grid = named::open_grid(3);
    Mesh_Classifier c(grid.get(), console);
    EXPECT_EQ(printed(console, [&] { c.set_patch_count(3); }),
              "ERROR: no classification with 3 patches to show; classify the mesh first "
              "[Mesh_Classifier::assign()]\n");

    Classified done = classify(named::open_grid(3));
    const std::vector<std::array<float, 4>> classified = face_colours(*done.mesh);
    done.classifier->set_patch_count(0);
    EXPECT_EQ(face_colours(*done.mesh), classified);
    EXPECT_NE(printed(*done.channel, [&] { done.classifier->set_patch_count(52); }).find("ERROR"), std::string::npos);

    // A new mesh forgets the old classification.
    done.classifier->reset();
    EXPECT_TRUE(done.classifier->seeds.empty());
    EXPECT_TRUE(done.classifier->rebuild);
    EXPECT_NE(printed(*done.channel, [&] { done.classifier->set_patch_count(1); }).find("ERROR"), std::string::npos);
}
