#include "remeshing/simplify.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "core/format_text.h"
#include "core/Mesh.h"
#include "core/Messages.h"
#include "core/parallel_parts.h"
#include "core/StageProgress.h"
#include "remeshing/CollapseQueue.h"
#include "remeshing/SimplifyGraph.h"

void simplify(Mesh& mesh, float x, Messages* progress)
{
    const int start = mesh.nv;
    int keep = start;
    if (!std::isnan(x) && x < 1.0f) keep = x > 0.0f ? int(x * float(start)) : 0;

    SimplifyGraph graph;
    graph.build(mesh);
    // Each vertex's first cost reads the graph and writes only its own entry;
    // hubs keep working memory in the graph and go one at a time.
    run_parts(engine_threads(), [&](int part, int parts) {
        const int end = int(std::int64_t(start) * (part + 1) / parts);
        for (int v = int(std::int64_t(start) * part / parts); v < end; ++v)
            if (!graph.is_hub(v)) graph.compute_cost(v);
    });
    for (int v = 0; v < start; ++v)
        if (graph.is_hub(v)) graph.compute_cost(v);
    CollapseQueue queue;
    queue.reset(graph.cost);
    std::vector<int> touched;
    std::vector<float> before;
    // What collapsing w reads first: its neighbours' lists and places in the
    // queue, its triangles.
    auto ask_around = [&](int w) {
        graph.prefetch_around(w);
        for (int a = 0; a < graph.neighbours.size(w); ++a) queue.prefetch(graph.neighbours.at(w, a));
    };
    std::unique_ptr<StageProgress> stage;
    if (progress) stage = std::make_unique<StageProgress>(*progress, "Collapsing edges", start - keep);
    for (int collapsed = 0; graph.vertex_count > keep; ++collapsed) {
        if (stage && collapsed % 256 == 0) stage->at(start - graph.vertex_count);
        const int u = queue.top();
        queue.pop();
        // The vertex now on top most often goes next: its collapse finds its
        // neighbourhood waiting if asked for while this one runs.
        const int next = queue.empty() ? u : queue.top();
        graph.prefetch_lists(next);
        // What the new costs read is asked for before the collapse, so that
        // it arrives while the collapse runs; the collapse changes only a
        // few of those triangles, and the ones it moves are u's, at hand.
        for (int a = 0; a < graph.neighbours.size(u); ++a) {
            queue.prefetch_entry(graph.neighbours.at(u, a));
            graph.prefetch_cost(graph.neighbours.at(u, a));
        }
        graph.collapse(u, graph.target[u], touched);
        before.clear();
        for (int n : touched) before.push_back(graph.cost[n]);
        for (int n : touched) graph.compute_cost(n);
        ask_around(next);
        for (std::size_t i = 0; i < touched.size(); ++i)
            if (graph.cost[touched[i]] != before[i]) queue.update(touched[i], graph.cost[touched[i]]);
        // A third of the time a new cost goes on top instead: most often a
        // vertex just handled, whose lists are at hand.
        if (!queue.empty() && queue.top() != next) ask_around(queue.top());
    }
    graph.write_back(mesh);
}

void simplify_mesh(Mesh& mesh, float lod, Messages& out)
{
    const int before = mesh.nv;
    // Simplified aside and put in place once built, so that a failure on the
    // way (memory) leaves the mesh as it was.
    std::unique_ptr<Mesh> work = mesh.clone();
    work->morphogen_values = mesh.morphogen_values;
    work->carry_over(mesh);
    simplify(*work, lod / 100.0f, &out);
    work->build({MESH_VERTEX_NORMALS, MESH_EDGE_LIST, MESH_CENTRE, MESH_CENTROIDS, MESH_BB}, out);
    mesh.swap(*work);
    if (before > 0 && mesh.nv == 0)
        out.warning(format_text("Simplification to %g%% left no vertices: the mesh is now empty\n", double(lod)));
}
