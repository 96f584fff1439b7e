#include "classification/face_distances.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <utility>

#include "core/Mesh.h"
#include "core/parallel_parts.h"

std::vector<FaceLink> dual_links(const Mesh& mesh, const std::vector<Vector>& centroids, double delta,
                                 float& mean_length, float& mean_bend)
{
    struct Edge {
        int f0, f1;
        float length, bend;
    };
    std::vector<Edge> interior;
    auto measure = [&](int f0, int f1) {
        Vector gap = centroids[f1] - centroids[f0];
        const float length = gap.length();
        // Rounding can push the cosine of nearly parallel normals past 1;
        // a normal that is not finite counts as parallel (fmin drops NaN).
        // A face without area has the zero normal: a right angle, no bend.
        const float cosine = std::fmax(-1.0f, std::fmin(1.0f, mesh.faces[f0].normal.dot(mesh.faces[f1].normal)));
        const float angle = std::acos(cosine);
        float bend = float(0.05 * (1.0 - angle));
        if (!(bend > 0.0f)) bend = 0.0f;
        return Edge{f0, f1, length, bend};
    };
    mean_length = 0.0f;
    mean_bend = 0.0f;
    for (int e = 0; e < mesh.edge_count; ++e) {
        const int f0 = mesh.edge_faces[e][0], f1 = mesh.edge_faces[e][1];
        if (f0 < 0 || f1 < 0 || f0 >= mesh.nf || f1 >= mesh.nf) continue;  // a border edge
        interior.push_back(measure(f0, f1));
        mean_length += interior.back().length;
        mean_bend += interior.back().bend;
    }
    if (mesh.edge_count > 0) {
        mean_length /= float(mesh.edge_count);
        mean_bend /= float(mesh.edge_count);
    }
    if (!(mean_length > 0.0f)) mean_length = 1.0f;
    if (!(mean_bend > 0.0f)) mean_bend = 1.0f;

    // The faces beyond the first two of a non-manifold edge link with the
    // faces before them there; the means stay those of the edges.
    mesh.for_each_later_link([&](int, int g, int f) {
        if (g >= 0 && f >= 0 && g < mesh.nf && f < mesh.nf) interior.push_back(measure(g, f));
    });
    std::vector<FaceLink> links;
    links.reserve(interior.size());
    for (const Edge& e : interior) {
        const double w = (1.0 - delta) * e.bend / mean_bend + delta * e.length / mean_length;
        links.push_back({e.f0, e.f1, float(w)});
    }
    return links;
}

namespace {

// One breadth-first search per face s, filling row s (faces 0 ... s) with
// step counts in the table's own form; `far` marks faces never reached.
template <class RowOf, class Cell>
void fill_steps(const FaceGraph& graph, const RowOf& row_of, Cell far, int threads, const RowHook& each_row)
{
    const int n = graph.n;
    std::atomic<int> next{0};
    run_parts(threads, [&](int part, int) {
        std::vector<int> seen(static_cast<std::size_t>(n), -1);
        std::vector<int> queue(static_cast<std::size_t>(n));
        for (int s = next++; s < n; s = next++) {
            if (each_row) each_row(part, s);
            // Row s holds the faces 0 ... s: the search stops once all of
            // them are reached.
            Cell* row = row_of(s);
            row[s] = Cell(0);
            int missing = s;
            int head = 0, tail = 0;
            queue[tail++] = s;
            seen[s] = s;
            for (int depth = 1; missing > 0 && head < tail; ++depth) {
                const int level_end = tail;
                for (; head < level_end; ++head) {
                    const int u = queue[head];
                    for (int k = graph.offsets[u]; k < graph.offsets[u + 1]; ++k) {
                        const int v = graph.targets[k];
                        if (seen[v] == s) continue;
                        seen[v] = s;
                        queue[tail++] = v;
                        if (v < s) {
                            row[v] = Cell(depth);
                            --missing;
                        }
                    }
                }
            }
            // Faces the search never reached lie in other parts of the mesh.
            if (missing > 0)
                for (int t = 0; t < s; ++t)
                    if (seen[t] != s) row[t] = far;
        }
    });
}

}  // namespace

void step_distances(const FaceGraph& graph, ShortestPathTable& table, int threads, const RowHook& each_row)
{
    if (table.compact)
        fill_steps(
            graph, [&table](int s) { return table.step_row(s); }, ShortestPathTable::no_path, threads, each_row);
    else
        fill_steps(
            graph, [&table](int s) { return table.row(s); }, ShortestPathTable::unreachable, threads, each_row);
}

void weighted_distances(const FaceGraph& graph, ShortestPathTable& table, int threads, const RowHook& each_row)
{
    const int n = graph.n;
    std::atomic<int> next{0};
    run_parts(threads, [&](int part, int) {
        using Entry = std::pair<double, int>;
        const std::greater<Entry> later;
        std::vector<double> best(static_cast<std::size_t>(n));
        std::vector<int> stamp(static_cast<std::size_t>(n), -1);  // s once best[v] holds a path from source s
        std::vector<char> done(static_cast<std::size_t>(n));
        std::vector<Entry> heap;
        for (int s = next++; s < n; s = next++) {
            if (each_row) each_row(part, s);
            float* row = table.row(s);
            std::fill(row, row + s + 1, ShortestPathTable::unreachable);
            heap.clear();
            best[s] = 0.0;
            stamp[s] = s;
            done[s] = 0;
            heap.push_back({0.0, s});
            int missing = s + 1;
            while (missing > 0 && !heap.empty()) {
                std::pop_heap(heap.begin(), heap.end(), later);
                const Entry top = heap.back();
                heap.pop_back();
                const int u = top.second;
                if (done[u]) continue;
                done[u] = 1;
                if (u <= s) {
                    row[u] = float(top.first);
                    --missing;
                }
                for (int k = graph.offsets[u]; k < graph.offsets[u + 1]; ++k) {
                    const int v = graph.targets[k];
                    const double nd = top.first + double(graph.weights[k]);
                    if (!(nd >= top.first)) continue;  // a NaN weight is no way through
                    if (stamp[v] != s) {
                        stamp[v] = s;
                        done[v] = 0;
                    } else if (done[v] || !(nd < best[v])) {
                        continue;
                    }
                    best[v] = nd;
                    heap.push_back({nd, v});
                    std::push_heap(heap.begin(), heap.end(), later);
                }
            }
        }
    });
}
