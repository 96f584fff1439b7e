// The fast parts of simplification checked against plain versions: edge
// costs eight at a time against one at a time, the costs of hubs against
// edge after edge, and the queue against a scan for the first cheapest vertex.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "remeshing/CollapseQueue.h"
#include "remeshing/SimplifyGraph.h"
#include "tests/support/MeshVariants.h"
#include "tests/support/NamedMeshes.h"

namespace {

// Simplifies each mesh to `keep` vertices as simplify() does, with
// check(graph, v) working out and checking every cost on the way.
template <typename Check>
void run_checking(const std::vector<std::unique_ptr<Mesh>>& meshes, int keep, Check check)
{
    for (std::size_t m = 0; m < meshes.size(); ++m) {
        SCOPED_TRACE("mesh " + std::to_string(m));
        SimplifyGraph graph;
        graph.build(*meshes[m]);
        for (int v = 0; v < meshes[m]->nv; ++v) ASSERT_TRUE(check(graph, v)) << "vertex " << v;
        CollapseQueue queue;
        queue.reset(graph.cost);
        std::vector<int> touched;
        while (graph.vertex_count > keep) {
            const int u = queue.top();
            queue.pop();
            graph.collapse(u, graph.target[u], touched);
            for (int n : touched) {
                ASSERT_TRUE(check(graph, n)) << "vertex " << n << " after " << graph.vertex_count;
                queue.update(n, graph.cost[n]);
            }
        }
    }
}

}  // namespace

TEST(CollapseCosts, EightAtATimeMatchOneAtATimeThroughWholeRuns)
{
    if (!SimplifyGraph::has_eight_lanes()) GTEST_SKIP() << "no AVX2 here";
    const auto torus = named::torus(14, 18);
    const auto grid = named::folded_grid(14);
    std::vector<std::unique_ptr<Mesh>> meshes;
    meshes.push_back(make_variant(*torus, {1, 0.01f}));
    meshes.push_back(named::torus(14, 18));  // exact ties
    meshes.push_back(make_variant(*grid, {4, 0.02f, true, 7}));
    meshes.push_back(make_variant(*torus, {5, 0.01f, true, 0, 40}));  // non-manifold
    meshes.push_back(make_variant(*grid, {6, 0.01f, true, 3, 5, 9, 9}));
    for (int sides : {7, 12, 15})
        meshes.push_back(make_variant(*named::bipyramid(sides), {unsigned(sides), 0.05f, true}));
    auto overflowing = make_variant(*torus, {7, 0.05f, true});
    for (int i = 0; i < overflowing->nv; i += 5) overflowing->vertices[i] = overflowing->vertices[i] * 1e20f;
    meshes.push_back(std::move(overflowing));

    int compared = 0;
    run_checking(meshes, 1, [&](SimplifyGraph& graph, int v) {
        graph.eight_lanes = false;
        graph.compute_cost(v);
        const float cost = graph.cost[v];
        const int target = graph.target[v];
        graph.eight_lanes = true;
        graph.compute_cost(v);
        ++compared;
        return std::memcmp(&graph.cost[v], &cost, sizeof cost) == 0 && graph.target[v] == target;
    });
    EXPECT_GT(compared, 5000);
}

TEST(CollapseCosts, HubCostsMatchTheEdgeByEdgeScanThroughWholeRuns)
{
    auto tilted = named::fan_polygon(120);
    for (Vector& p : tilted->vertices) p.z = 0.3f * p.x - 0.7f * p.y;
    std::vector<std::unique_ptr<Mesh>> meshes;
    meshes.push_back(std::move(tilted));
    meshes.push_back(named::capped_cylinder(60));
    meshes.push_back(make_variant(*named::bipyramid(80), {3, 0.02f, true}));
    meshes.push_back(make_variant(*named::capped_cylinder(50), {4, 0.001f, false, 0, 20}));  // non-manifold
    int compared = 0;
    // The cheapest collapse edge by edge: the first neighbour at the least cost.
    run_checking(meshes, 3, [&](SimplifyGraph& graph, int v) {
        graph.compute_cost(v);
        if (!graph.is_hub(v)) return true;
        const int degree = graph.neighbours.size(v);
        int target = -1;
        float cost = 0.0f;
        for (int a = 0; a < degree; ++a) {
            const float c = graph.edge_cost(v, graph.neighbours.at(v, a));
            if (target < 0 || c < cost) {
                cost = c;
                target = graph.neighbours.at(v, a);
            }
        }
        ++compared;
        return std::memcmp(&graph.cost[v], &cost, sizeof cost) == 0 && graph.target[v] == target;
    });
    EXPECT_GT(compared, 300);
}

TEST(CollapseQueue, PopsTheFirstCheapestVertexAsAScanWould)
{
    std::mt19937 rng(7);
    // Few distinct costs, so ties are common; both zeros compare equal.
    const float values[] = {
        -0.01f, -0.0f, 0.0f, 0.5f, 0.5f, 1e-30f, 3.0f, 1e6f, std::numeric_limits<float>::infinity()};
    auto pick = [&] { return values[rng() % (sizeof values / sizeof values[0])]; };
    for (int n : {1, 2, 9, 10, 73, 600}) {
        SCOPED_TRACE("size " + std::to_string(n));
        std::vector<float> cost(static_cast<std::size_t>(n));
        for (float& c : cost) c = pick();
        std::vector<bool> queued(static_cast<std::size_t>(n), true);
        CollapseQueue queue;
        queue.reset(cost);
        for (int left = n; left > 0; --left) {
            for (int k = 0; k < 3; ++k) {
                const int v = int(rng() % unsigned(n));
                if (!queued[v]) continue;
                cost[v] = pick();
                queue.update(v, cost[v]);
            }
            int first = -1;
            for (int v = 0; v < n; ++v)
                if (queued[v] && (first < 0 || cost[v] < cost[first])) first = v;
            ASSERT_FALSE(queue.empty());
            ASSERT_EQ(queue.top(), first) << left << " left";
            queue.pop();
            queued[first] = false;
        }
        EXPECT_TRUE(queue.empty());
    }
}
