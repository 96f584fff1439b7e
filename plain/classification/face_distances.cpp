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
    mean_length = 0.0f;
    mean_bend = 0.0f;
    for (int e = 0; e < mesh.edge_count; ++e) {
        const int f0 = mesh.edge_faces[e][0], f1 = mesh.edge_faces[e][1];
        if (f0 < 0 || f1 < 0 || f0 >= mesh.nf || f1 >= mesh.nf) continue;  // a border edge
        Vector gap = centroids[f1] - centroids[f0];
        const float length = gap.length();
        // Rounding can push the cosine of nearly parallel normals past 1;
        // a degenerate face's NaN normal counts as parallel (fmin drops NaN).
        const float cosine = std::fmax(-1.0f, std::fmin(1.0f, mesh.faces[f0].normal.dot(mesh.faces[f1].normal)));
        const float angle = std::acos(cosine);
        float bend = float(0.05 * (1.0 - angle));
        if (!(bend > 0.0f)) bend = 0.0f;
        mean_length += length;
        mean_bend += bend;
        interior.push_back({f0, f1, length, bend});
    }
    if (mesh.edge_count > 0) {
        mean_length /= float(mesh.edge_count);
        mean_bend /= float(mesh.edge_count);
    }
    if (!(mean_length > 0.0f)) mean_length = 1.0f;
    if (!(mean_bend > 0.0f)) mean_bend = 1.0f;

    std::vector<FaceLink> links;
    links.reserve(interior.size());
    for (const Edge& e : interior) {
        const double w = (1.0 - delta) * e.bend / mean_bend + delta * e.length / mean_length;
        links.push_back({e.f0, e.f1, float(w)});
    }
    return links;
}

void step_distances(const FaceGraph& graph, ShortestPathTable& table, int threads)
{
    const int n = graph.n;
    std::atomic<int> next{0};
    run_parts(threads, [&](int, int) {
        std::vector<int> seen(static_cast<std::size_t>(n), -1);
        std::vector<int> queue(static_cast<std::size_t>(n));
        for (int s = next++; s < n; s = next++) {
            // Row s holds the faces 0 ... s: the search stops once all of
            // them are reached.
            float* row = table.row(s);
            row[s] = 0.0f;
            int missing = s;
            int head = 0, tail = 0;
            queue[tail++] = s;
            seen[s] = s;
            for (float depth = 1.0f; missing > 0 && head < tail; depth += 1.0f) {
                const int level_end = tail;
                for (; head < level_end; ++head) {
                    const int u = queue[head];
                    for (int k = graph.offsets[u]; k < graph.offsets[u + 1]; ++k) {
                        const int v = graph.targets[k];
                        if (seen[v] == s) continue;
                        seen[v] = s;
                        queue[tail++] = v;
                        if (v < s) {
                            row[v] = depth;
                            --missing;
                        }
                    }
                }
            }
            // Faces the search never reached lie in other parts of the mesh.
            if (missing > 0)
                for (int t = 0; t < s; ++t)
                    if (seen[t] != s) row[t] = ShortestPathTable::unreachable;
        }
    });
}

void weighted_distances(const FaceGraph& graph, ShortestPathTable& table, int threads)
{
    const int n = graph.n;
    std::atomic<int> next{0};
    run_parts(threads, [&](int, int) {
        using Entry = std::pair<double, int>;
        const std::greater<Entry> later;
        std::vector<double> best(static_cast<std::size_t>(n));
        std::vector<int> stamp(static_cast<std::size_t>(n), -1);  // s once best[v] holds a path from source s
        std::vector<char> done(static_cast<std::size_t>(n));
        std::vector<Entry> heap;
        for (int s = next++; s < n; s = next++) {
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
