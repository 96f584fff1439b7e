#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/processing/ClassifierTestSupport.h"
#include "tests/support/NamedMeshes.h"

namespace {

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
    std::unique_ptr<Mesh> mesh;
    std::unique_ptr<Mesh_Classifier> classifier;
    std::string console;
};

Classified classify(std::unique_ptr<Mesh> mesh, int threads = 2)
{
    Classified c{std::move(mesh), nullptr, ""};
    c.classifier = std::make_unique<Mesh_Classifier>(c.mesh.get());
    c.classifier->threads = threads;
    c.console = printed([&] {
        c.mesh->build({MESH_VERTEX_NORMALS, MESH_EDGE_LIST});
        EXPECT_TRUE(c.classifier->classify());
    });
    return c;
}

std::vector<Vector> face_colours(const Mesh& mesh)
{
    std::vector<Vector> colours;
    for (const Face& f : mesh.faces) colours.push_back(f.colour);
    return colours;
}

bool same_colour(const Vector& a, const Vector& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}

}  // namespace

TEST(Classifier, StagesMatchTheirPlainTranscription)
{
    struct Case {
        const char* name;
        std::unique_ptr<Mesh> mesh;
    };
    Case cases[] = {
        {"octahedron", named::octahedron()},
        {"open grid", named::open_grid(6)},
        {"folded grid", named::folded_grid(8)},
        {"strip", named::triangle_strip(30)},
        {"two grids", named::two_grids(4)},
        {"random soup", named::random_soup(80, 200, 5)},
        // Large enough for the sums to be shared between two threads.
        {"grid of 512 faces", named::open_grid(16)},
    };
    for (Case& t : cases) {
        SCOPED_TRACE(t.name);
        Classified c = classify(std::move(t.mesh));
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
            printed([&] { c.classifier->set_patch_count(shown); });
            const std::vector<int> patch_of = literal.assign(shown);
            EXPECT_EQ(engine.seeds, literal.seeds) << shown << " patches";
            EXPECT_EQ(engine.face_patch, patch_of) << shown << " patches";
        }
    }
}

TEST(Classifier, OneFaceGivesFiftyPatches)
{
    Classified c = classify(named::single_triangle());
    EXPECT_EQ(c.classifier->seeds, std::vector<int>(51, 0));
    EXPECT_EQ(c.classifier->num_patches, 50);
    EXPECT_NE(c.console.find("Building Patches\nOptimal Number of Patches:50\n"), std::string::npos) << c.console;
}

TEST(Classifier, TwoSeparateTrianglesSeedFaceZeroThenFaceOne)
{
    auto pair = named::disconnected_pair();
    Mesh_Classifier c(pair.get());
    ASSERT_TRUE(build_table_quietly(*pair, c));
    c.max_patches = 50;
    const std::string out = printed([&] {
        c.build_patches();
        c.choose_patch_count();
    });
    std::vector<int> want(51, 1);
    want[0] = 0;
    EXPECT_EQ(c.seeds, want);
    EXPECT_EQ(c.num_patches, 2);

    // The whole run ends with one patch per triangle.
    Classified whole = classify(named::disconnected_pair());
    printed([&] { whole.classifier->set_patch_count(2); });
    EXPECT_EQ(whole.classifier->face_patch, (std::vector<int>{0, 1}));
}

TEST(Classifier, ClassifyingTwiceGivesTheSameResult)
{
    Classified c = classify(named::folded_grid(8));
    const std::vector<int> seeds = c.classifier->seeds;
    const int count = c.classifier->num_patches;
    const std::vector<Vector> colours = face_colours(*c.mesh);
    const std::string again = printed([&] { EXPECT_TRUE(c.classifier->classify()); });
    EXPECT_EQ(again, c.console.substr(c.console.find("Using Floyd")));
    EXPECT_EQ(c.classifier->seeds, seeds);
    EXPECT_EQ(c.classifier->num_patches, count);
    const std::vector<Vector> after = face_colours(*c.mesh);
    for (std::size_t f = 0; f < after.size(); ++f) EXPECT_TRUE(same_colour(after[f], colours[f])) << f;
}

TEST(Classifier, FacesAreColouredAndSeedsShowYellow)
{
    Classified c = classify(named::open_grid(6));
    const Mesh_Classifier& m = *c.classifier;
    const int k = m.num_patches;
    const Vector yellow(1.0f, 1.0f, 0.0f);
    for (int p = 0; p < k; ++p) EXPECT_TRUE(same_colour(c.mesh->faces[m.seeds[p]].colour, yellow));
    for (const Face& f : c.mesh->faces) EXPECT_EQ(f.colour.w, 1.0f);

    printed([&] { c.classifier->set_patch_count(k); });
    EXPECT_EQ(m.num_patches, k);
    ASSERT_EQ(m.face_patch.size(), std::size_t(c.mesh->nf));
    for (int f = 0; f < c.mesh->nf; ++f)
        EXPECT_TRUE(same_colour(c.mesh->faces[f].colour, patch_colour(m.face_patch[f], k)));
    EXPECT_TRUE(same_colour(patch_colour(0, k), Vector(1.0f, 0.0f, 0.0f)));
    EXPECT_TRUE(same_colour(patch_colour(1, 2), Vector(0.0f, 1.0f, patch_colour(1, 2).z)));
    EXPECT_GT(patch_colour(1, 2).z, 0.99f);  // hue 179.5: nearly cyan
}

TEST(Classifier, AssignConvergesAndATiedFaceJoinsTheLaterPatch)
{
    auto strip = named::triangle_strip(3);
    Mesh_Classifier c(strip.get());
    ASSERT_TRUE(build_table_quietly(*strip, c));
    c.seeds = {0, 2};
    const std::string out = printed([&] { c.set_patch_count(2); });
    EXPECT_EQ(c.face_patch, (std::vector<int>{0, 1, 1}));  // face 1 is one step from both seeds
    EXPECT_EQ(c.seeds, (std::vector<int>{0, 2}));         // of the tied medoids 1 and 2, the last
    EXPECT_EQ(out.find("WARNING"), std::string::npos);
    EXPECT_EQ(c.probabilities.size(), 2u);
}

TEST(Classifier, RefinementNeverTakesAnEarlierSeed)
{
    // Every distance beyond reach of the running minimum: no face qualifies
    // for patch 1, which keeps its seed instead of taking patch 0's.
    auto strip = named::triangle_strip(3);
    Mesh_Classifier c(strip.get());
    ASSERT_TRUE(build_table_quietly(*strip, c));
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < a; ++b) c.table.set(a, b, 3e6f);
    c.seeds = {0, 1, 2};
    printed([&] {
        c.compute_probabilities(3);
        c.find_neighbours(3);
        c.refine_seeds(3);
    });
    EXPECT_EQ(c.seeds, (std::vector<int>{0, 1, 2}));

    Classified grid = classify(named::folded_grid(8));
    const std::vector<int>& s = grid.classifier->seeds;
    for (int p = 0; p < grid.classifier->num_patches; ++p)
        EXPECT_EQ(std::find(s.begin(), s.begin() + p, s[p]), s.begin() + p) << "patch " << p;
}

TEST(Classifier, ConsoleLinesOfAClassification)
{
    Classified c = classify(named::octahedron());
    const Mesh_Classifier& m = *c.classifier;
    std::string want = "Using Floyd Shortest Path\nMAX mesh triangles: 14021\nAllocating: 0.00MB\nSize: 40\n"
                       "Building Centroids\nBuilding Distances\nBuilding Patches\nOptimal Number of Patches:" +
                       std::to_string(m.num_patches) + "\n";
    for (const auto& nb : m.neighbours) want += "neigbour: " + std::to_string(nb.second) + "\n";
    want += "Eval FUZZY\n";
    EXPECT_EQ(c.console.substr(c.console.find("Using Floyd")).substr(0, want.size()), want);
}

TEST(Classifier, ChoosingPatchesNeedsAClassification)
{
    auto grid = named::open_grid(3);
    Mesh_Classifier c(grid.get());
    const std::vector<Vector> before = face_colours(*grid);
    std::string out = printed([&] { c.set_patch_count(3); });
    EXPECT_EQ(out, "ERROR: no classification with 3 patches to show; classify the mesh first "
                   "[Mesh_Classifier::assign()]\n");

    Classified done = classify(named::open_grid(3));
    const std::vector<Vector> classified = face_colours(*done.mesh);
    printed([&] { done.classifier->set_patch_count(0); });
    const std::vector<Vector> after = face_colours(*done.mesh);
    for (std::size_t f = 0; f < after.size(); ++f) EXPECT_TRUE(same_colour(after[f], classified[f]));
    out = printed([&] { done.classifier->set_patch_count(52); });
    EXPECT_NE(out.find("ERROR"), std::string::npos);

    // A new mesh forgets the old classification.
    done.classifier->reset();
    EXPECT_TRUE(done.classifier->seeds.empty());
    EXPECT_TRUE(done.classifier->rebuild);
    EXPECT_EQ(done.classifier->weight, 0.5);
    out = printed([&] { done.classifier->set_patch_count(1); });
    EXPECT_NE(out.find("ERROR"), std::string::npos);
}

TEST(Classifier, AMeshWithoutFacesIsNotClassified)
{
    auto empty = named::empty();
    Mesh_Classifier c(empty.get());
    const std::string out = printed([&] { EXPECT_FALSE(c.classify()); });
    EXPECT_EQ(out, "ERROR: the mesh has no faces to classify [Mesh_Classifier::classify()]\n");
}
