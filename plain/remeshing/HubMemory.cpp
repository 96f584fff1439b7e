#include "remeshing/HubMemory.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "remeshing/collapse_terms.h"
#include "remeshing/find_int.h"
#include "remeshing/SimplifyGraph.h"

namespace {

using Normal = std::array<float, 3>;

// More new normals than this at once (a hub just formed) and the bounds are
// taken from a few extreme normals instead of from each of them.
constexpr std::size_t few_new_normals = 8;

// The curvature of an edge: over every normal j, the smallest turn from j to
// the sides (never above 1, a turn that is not a number left out), and the
// largest of those, 0 at least, as the loop of SimplifyGraph::edge_cost takes
// them. Free entries (live 0) never win. `at` gets an entry that reaches it,
// -1 when it is 0. Four normals at a time for one or two sides (the rest one
// at a time): each lane takes its minima with the operands in the order of
// the scalar loop, and sums the products of a dot product in the order of
// turn_between.
float largest_smallest_turn(const float* nx, const float* ny, const float* nz, const std::uint32_t* live, int count,
                            const Normal* sides, int side_count, int& at)
{
    float curvature = 0.0f;
    at = -1;
    int j = 0;
#ifdef __SSE2__
    if (side_count == 1 || side_count == 2) {
        const Normal& a = sides[0];
        const Normal& b = sides[side_count - 1];
        const __m128 ax = _mm_set1_ps(a[0]), ay = _mm_set1_ps(a[1]), az = _mm_set1_ps(a[2]);
        const __m128 bx = _mm_set1_ps(b[0]), by = _mm_set1_ps(b[1]), bz = _mm_set1_ps(b[2]);
        const __m128 one = _mm_set1_ps(1.0f), half = _mm_set1_ps(0.5f);
        const __m128i four = _mm_set1_epi32(4);
        __m128i index = _mm_setr_epi32(0, 1, 2, 3);
        __m128i where = _mm_set1_epi32(-1);
        __m128 largest = _mm_setzero_ps();
        for (; j + 4 <= count; j += 4) {
            const __m128 x = _mm_loadu_ps(nx + j), y = _mm_loadu_ps(ny + j), z = _mm_loadu_ps(nz + j);
            const __m128 dot_a = _mm_add_ps(_mm_add_ps(_mm_mul_ps(x, ax), _mm_mul_ps(y, ay)), _mm_mul_ps(z, az));
            __m128 m = _mm_min_ps(_mm_mul_ps(_mm_sub_ps(one, dot_a), half), one);
            if (side_count == 2) {
                const __m128 dot_b = _mm_add_ps(_mm_add_ps(_mm_mul_ps(x, bx), _mm_mul_ps(y, by)), _mm_mul_ps(z, bz));
                m = _mm_min_ps(_mm_mul_ps(_mm_sub_ps(one, dot_b), half), m);
            }
            // Free entries give +0, which never wins.
            m = _mm_and_ps(m, _mm_loadu_ps(reinterpret_cast<const float*>(live + j)));
            const __m128i more = _mm_castps_si128(_mm_cmpgt_ps(m, largest));
            largest = _mm_max_ps(m, largest);
            where = _mm_or_si128(_mm_and_si128(more, index), _mm_andnot_si128(more, where));
            index = _mm_add_epi32(index, four);
        }
        alignas(16) float lane[4];
        alignas(16) int lane_at[4];
        _mm_store_ps(lane, largest);
        _mm_store_si128(reinterpret_cast<__m128i*>(lane_at), where);
        for (int l = 0; l < 4; ++l)
            if (lane[l] > curvature) {
                curvature = lane[l];
                at = lane_at[l];
            }
    }
#endif
    for (; j < count; ++j) {
        if (!live[j]) continue;
        float m = 1.0f;
        for (int s = 0; s < side_count; ++s) {
            const float t = turn_between({nx[j], ny[j], nz[j]}, sides[s]);
            if (t < m) m = t;
        }
        if (m > curvature) {
            curvature = m;
            at = j;
        }
    }
    return curvature;
}

// The hub's lists keep what stays in order and append what comes, so one
// walk pairs a list with its copy from the last cost: runs that agree are
// skipped whole, entries of the copy up to the next one found have gone, and
// the first entry not found starts the new ones. Calls gone(x) for each
// place x of the copy that has gone; returns where the new entries start.
template <typename Gone>
int pair_with(const std::vector<int>& copy, const int* list, int count, Gone gone)
{
    const int old = int(copy.size());
    int x = 0, i = 0;
    while (i < count) {
        const int run = same_prefix(copy.data() + x, list + i, std::min(old - x, count - i));
        x += run;
        i += run;
        if (i == count) break;
        const int found = find_int(copy.data() + x, old - x, list[i]);
        if (found < 0) break;
        for (int y = x; y < x + found; ++y) gone(y);
        x += found + 1;
        ++i;
    }
    for (int y = x; y < old; ++y) gone(y);
    return i;
}

}  // namespace

std::pair<float, int> HubMemory::cheapest(const SimplifyGraph& graph, int hub)
{
    if (hub != me) {
        reset();
        me = hub;
    }
    left_vertices.clear();
    left_edges.clear();
    lost_normals.clear();
    new_normals.clear();
    dirty.clear();
    sync_neighbours(graph.neighbours.data(hub), graph.neighbours.size(hub), graph);
    sync_triangles(graph.faces.data(hub), graph.faces.size(hub), graph);
    note_changed_triangles(graph);
    settle_lost_normals();

    if (!lost_normals.empty())
        for (std::size_t e = 0; e < edges.size(); ++e) {
            const int p = edges[e].probe;
            if (vertex[e] >= 0 && p >= 0 && !live[std::size_t(p)]) {
                edges[e].probe = -1;
                dirty.push_back(int(e));
            }
        }
    std::sort(dirty.begin(), dirty.end());
    dirty.erase(std::unique(dirty.begin(), dirty.end()), dirty.end());
    for (int e : dirty)
        if (vertex[std::size_t(e)] >= 0) bound_again(e);
    raise_bounds();

    // The first exact edge at the least bound, then, lowest bound first,
    // every other edge whose bound leaves room to be the first cheapest.
    int best = first_least(exact_bound, true);
    auto before_best = [&](int e) {
        if (best < 0) return true;
        const float b = bound[std::size_t(e)], c = bound[std::size_t(best)];
        return b < c || (b == c && e < best);
    };
    for (int tries = 0;; ++tries) {
        const int e = first_least(loose_bound, false);
        if (e < 0 || !before_best(e)) break;
        if (tries == 16) {
            // Many loose bounds below the best (a hub just formed): sort them once.
            candidates.clear();
            for (std::size_t c = 0; c < edges.size(); ++c)
                if (vertex[c] >= 0 && !edges[c].exact && before_best(int(c))) candidates.push_back(int(c));
            std::sort(candidates.begin(), candidates.end(), [&](int p, int q) {
                const float bp = bound[std::size_t(p)], bq = bound[std::size_t(q)];
                return bp < bq || (bp == bq && p < q);
            });
            for (int c : candidates) {
                if (!before_best(c)) break;
                work_out(c);
                if (before_best(c)) best = c;
            }
            break;
        }
        work_out(e);
        if (before_best(e)) best = e;
    }
    const std::pair<float, int> result{bound[std::size_t(best)], vertex[std::size_t(best)]};
    // Entries freed now are taken again only at the next cost, so a probe
    // never names a different normal than it was found for.
    free_normals.insert(free_normals.end(), lost_normals.begin(), lost_normals.end());
    compact();
    return result;
}

// The first edge of the kind asked for at the least bound, -1 when none.
int HubMemory::first_least(const std::vector<float>& bounds, bool exact) const
{
    const int count = int(bounds.size());
    float least = std::numeric_limits<float>::infinity();
    int j = 0;
#ifdef __SSE2__
    __m128 low = _mm_set1_ps(least);
    for (; j + 4 <= count; j += 4) low = _mm_min_ps(low, _mm_loadu_ps(bounds.data() + j));
    alignas(16) float lane[4];
    _mm_store_ps(lane, low);
    least = std::min(std::min(lane[0], lane[1]), std::min(lane[2], lane[3]));
#endif
    for (; j < count; ++j) least = std::min(least, bounds[std::size_t(j)]);
    if (least < std::numeric_limits<float>::infinity()) {
        for (int e = 0; e < count; ++e)
            if (bounds[std::size_t(e)] == least) return e;
    }
    // Only infinite bounds: the first live edge of that kind.
    for (int e = 0; e < count; ++e)
        if (vertex[std::size_t(e)] >= 0 && edges[std::size_t(e)].exact == exact) return e;
    return -1;
}

// Edge e's bound from its curvature, in the array of its kind.
void HubMemory::settle(int e)
{
    const std::size_t i = std::size_t(e);
    const Edge& edge = edges[i];
    const float inf = std::numeric_limits<float>::infinity();
    bound[i] = ordered(edge.length * edge.curvature);
    const bool alive = vertex[i] >= 0;
    exact_bound[i] = alive && edge.exact ? bound[i] : inf;
    loose_bound[i] = alive && !edge.exact ? bound[i] : inf;
}

// Normals no triangle uses any more leave the table.
void HubMemory::settle_lost_normals()
{
    std::size_t kept = 0;
    for (int n : lost_normals) {
        if (uses[std::size_t(n)] != 0) continue;
        Bits bits;
        const Normal value{nx[std::size_t(n)], ny[std::size_t(n)], nz[std::size_t(n)]};
        std::memcpy(bits.data(), value.data(), sizeof bits);
        normal_of.erase(bits);
        live[std::size_t(n)] = 0;
        --live_normals;
        lost_normals[kept++] = n;
    }
    lost_normals.resize(kept);
}

void HubMemory::reset()
{
    nx.clear();
    ny.clear();
    nz.clear();
    live.clear();
    uses.clear();
    free_normals.clear();
    normal_of.clear();
    triangle.clear();
    triangles.clear();
    triangles_gone = 0;
    vertex.clear();
    bound.clear();
    exact_bound.clear();
    loose_bound.clear();
    edges.clear();
    edges_gone = 0;
    key_of.clear();
    place_of_key.clear();
    key.clear();
    live_normals = 0;
}

void HubMemory::sync_neighbours(const int* near, int degree, const SimplifyGraph& graph)
{
    auto leave_edge = [&](int e) {
        const int v = vertex[std::size_t(e)];
        if (v < 0) return;
        left_vertices.push_back(v);
        left_edges.push_back(edges[std::size_t(e)]);
        const auto it = key_of.find(v);
        if (it != key_of.end() && place_of_key[std::size_t(it->second)] == e) key_of.erase(it);
        vertex[std::size_t(e)] = -1;
        exact_bound[std::size_t(e)] = loose_bound[std::size_t(e)] = std::numeric_limits<float>::infinity();
        ++edges_gone;
    };
    for (int i = pair_with(vertex, near, degree, leave_edge); i < degree; ++i) {
        const int v = near[i];
        const int at = int(vertex.size());
        vertex.push_back(v);
        bound.push_back(0.0f);
        exact_bound.push_back(std::numeric_limits<float>::infinity());
        loose_bound.push_back(0.0f);
        edges.push_back({distance(graph.positions[std::size_t(me)], graph.positions[std::size_t(v)]),
                         0.0f,
                         -1,
                         false,
                         0,
                         {-1, -1}});
        key_of[v] = int(place_of_key.size());
        key.push_back(int(place_of_key.size()));
        place_of_key.push_back(at);
        dirty.push_back(at);
    }
}

void HubMemory::sync_triangles(const int* around, int k, const SimplifyGraph& graph)
{
    auto gone = [&](int t) {
        if (triangle[std::size_t(t)] < 0) return;
        leave(t);
        triangle[std::size_t(t)] = -1;
        ++triangles_gone;
    };
    for (int i = pair_with(triangle, around, k, gone); i < k; ++i) {
        triangle.push_back(around[i]);
        triangles.push_back({-1, {-1, -1}});
        enter(int(triangle.size()) - 1, graph);
    }
}

// A triangle of the hub changes only when one of its corners collapses, and
// that corner then leaves the hub's neighbours: so the triangles that stayed
// but changed are among the sides of the edges that left.
void HubMemory::note_changed_triangles(const SimplifyGraph& graph)
{
    for (std::size_t l = 0; l < left_vertices.size(); ++l) {
        const int w = left_vertices[l];
        const Edge& gone = left_edges[l];
        places.clear();
        if (gone.sides <= 2) {
            places.assign(gone.side, gone.side + gone.sides);
        } else {
            for (std::size_t t = 0; t < triangle.size(); ++t)
                if (triangle[t] >= 0 && (triangles[t].other[0] == w || triangles[t].other[1] == w))
                    places.push_back(int(t));
        }
        for (int t : places) {
            const Triangle& tri = triangles[std::size_t(t)];
            if (triangle[std::size_t(t)] < 0 || (tri.other[0] != w && tri.other[1] != w)) continue;
            leave(t);
            enter(t, graph);
        }
    }
}

int HubMemory::normal_entry(const Normal& n)
{
    Bits bits;
    std::memcpy(bits.data(), n.data(), sizeof bits);
    const auto found = normal_of.find(bits);
    if (found != normal_of.end()) {
        ++uses[std::size_t(found->second)];
        return found->second;
    }
    int entry;
    if (!free_normals.empty()) {
        entry = free_normals.back();
        free_normals.pop_back();
    } else {
        entry = int(nx.size());
        nx.push_back(0.0f);
        ny.push_back(0.0f);
        nz.push_back(0.0f);
        live.push_back(0);
        uses.push_back(0);
    }
    nx[std::size_t(entry)] = n[0];
    ny[std::size_t(entry)] = n[1];
    nz[std::size_t(entry)] = n[2];
    live[std::size_t(entry)] = ~0u;
    uses[std::size_t(entry)] = 1;
    ++live_normals;
    normal_of.emplace(bits, entry);
    new_normals.push_back(entry);
    return entry;
}

// Triangle t (a place in `triangles`) leaves: its normal is used once less
// and it is no longer a side of its corners' edges.
void HubMemory::leave(int t)
{
    Triangle& tri = triangles[std::size_t(t)];
    const int n = tri.normal;
    // Settled once every triangle is in: it may come back with the same normal.
    if (--uses[std::size_t(n)] == 0) lost_normals.push_back(n);
    // Off the triangle first, so that a recount of sides does not find it.
    const int other[2] = {tri.other[0], tri.other[1]};
    tri.other[0] = tri.other[1] = -1;
    for (int c : other) {
        const int e = edge_of(c);
        if (e < 0) continue;
        drop_side(e, t);
        dirty.push_back(e);
    }
}

// Triangle t comes in, or back after a change: read as the graph has it.
void HubMemory::enter(int t, const SimplifyGraph& graph)
{
    Triangle& tri = triangles[std::size_t(t)];
    const SimplifyGraph::Triangle& now = graph.triangles[std::size_t(triangle[std::size_t(t)])];
    tri.normal = normal_entry(now.normal);
    int o = 0;
    tri.other[0] = tri.other[1] = -1;
    for (int c : now.corners)
        if (c != me && o < 2) tri.other[o++] = c;
    for (int c : tri.other) {
        const int e = edge_of(c);
        if (e < 0) continue;
        add_side(e, t);
        dirty.push_back(e);
    }
}

void HubMemory::add_side(int e, int t)
{
    Edge& edge = edges[std::size_t(e)];
    if (edge.sides < 2) edge.side[edge.sides] = t;
    ++edge.sides;
}

void HubMemory::drop_side(int e, int t)
{
    Edge& edge = edges[std::size_t(e)];
    const int kept = std::min(edge.sides, 2);
    for (int s = 0; s < kept; ++s)
        if (edge.side[s] == t) {
            if (s == 0) edge.side[0] = edge.side[1];
            edge.side[1] = -1;
            --edge.sides;
            // One of the sides past the first two moves up: find it.
            if (edge.sides >= 2) recount_sides(e);
            return;
        }
    // Past the first two: one fewer, if t was a side at all.
    if (edge.sides > 2) recount_sides(e);
}

void HubMemory::recount_sides(int e)
{
    Edge& edge = edges[std::size_t(e)];
    const int v = vertex[std::size_t(e)];
    edge.sides = 0;
    edge.side[0] = edge.side[1] = -1;
    for (std::size_t t = 0; t < triangle.size(); ++t)
        if (triangle[t] >= 0 && (triangles[t].other[0] == v || triangles[t].other[1] == v)) add_side(e, int(t));
}

// The smallest turn from normal n to the sides of edge e; only for edges
// with one or two sides.
float HubMemory::smallest_turn(int e, const float* n) const
{
    const Edge& edge = edges[std::size_t(e)];
    float m = 1.0f;
    for (int s = 0; s < edge.sides; ++s) {
        const int entry = triangles[std::size_t(edge.side[s])].normal;
        const float t =
            turn_between({n[0], n[1], n[2]}, {nx[std::size_t(entry)], ny[std::size_t(entry)], nz[std::size_t(entry)]});
        if (t < m) m = t;
    }
    return m;
}

void HubMemory::side_normals(int e, std::vector<Normal>& out) const
{
    out.clear();
    const int v = vertex[std::size_t(e)];
    for (std::size_t t = 0; t < triangle.size(); ++t) {
        const Triangle& tri = triangles[t];
        if (triangle[t] >= 0 && (tri.other[0] == v || tri.other[1] == v))
            out.push_back({nx[std::size_t(tri.normal)], ny[std::size_t(tri.normal)], nz[std::size_t(tri.normal)]});
    }
}

int HubMemory::edge_of(int v) const
{
    const auto it = key_of.find(v);
    return it == key_of.end() ? -1 : place_of_key[std::size_t(it->second)];
}

// Edge e's sides or probe changed: worked out in full when the hub's
// triangles have few normals (a flat fan has one), else bounded by the
// probe's turn, if any.
void HubMemory::bound_again(int e)
{
    Edge& edge = edges[std::size_t(e)];
    if (edge.sides > 0 && std::size_t(live_normals) <= few_new_normals && nx.size() <= 4 * few_new_normals) {
        work_out(e);
        return;
    }
    edge.exact = false;
    edge.curvature = 0.0f;
    if (edge.sides == 0) {
        // No side: every triangle turns by 1 (the hub has triangles).
        edge.curvature = 1.0f;
        edge.exact = true;
        edge.probe = -1;
    } else if (edge.sides <= 2 && edge.probe >= 0) {
        const std::size_t p = std::size_t(edge.probe);
        const float n[3] = {nx[p], ny[p], nz[p]};
        edge.curvature = std::max(0.0f, smallest_turn(e, n));
    }
    settle(e);
}

// New normals can only raise curvatures: an exact one stays exact when every
// new normal has been weighed against it.
void HubMemory::raise_bounds()
{
    weighed.clear();
    for (int n : new_normals)
        if (live[std::size_t(n)]) weighed.push_back(n);
    if (weighed.empty()) return;
    const bool each = weighed.size() <= few_new_normals;
    // Weighing every normal the hub has gives every curvature in full.
    const bool all = each && int(weighed.size()) == live_normals;
    if (!each) {
        // The most extreme normals turn furthest from most sides.
        weighed.clear();
        const std::vector<float>* coordinate[3] = {&nx, &ny, &nz};
        for (const std::vector<float>* c : coordinate) {
            int lo = -1, hi = -1;
            for (std::size_t j = 0; j < c->size(); ++j) {
                const float v = (*c)[j];
                if (!live[j] || std::isnan(v)) continue;
                if (lo < 0 || v < (*c)[std::size_t(lo)]) lo = int(j);
                if (hi < 0 || v > (*c)[std::size_t(hi)]) hi = int(j);
            }
            for (int x : {lo, hi})
                if (x >= 0 && std::find(weighed.begin(), weighed.end(), x) == weighed.end()) weighed.push_back(x);
        }
    }
    for (std::size_t e = 0; e < edges.size(); ++e) {
        Edge& edge = edges[e];
        if (vertex[e] < 0 || edge.sides == 0) continue;
        if (edge.sides > 2 || !each) edge.exact = false;
        if (edge.sides > 2) continue;
        for (int n : weighed) {
            const std::size_t p = std::size_t(n);
            const float value[3] = {nx[p], ny[p], nz[p]};
            const float m = smallest_turn(int(e), value);
            if (m > edge.curvature) {
                edge.curvature = m;
                edge.probe = n;
            }
        }
        if (all) edge.exact = true;
        settle(int(e));
    }
}

void HubMemory::work_out(int e)
{
    Edge& edge = edges[std::size_t(e)];
    if (edge.sides == 0) {
        bound_again(e);
        return;
    }
    Normal two[2];
    const Normal* sides = two;
    if (edge.sides <= 2) {
        for (int s = 0; s < edge.sides; ++s) {
            const std::size_t n = std::size_t(triangles[std::size_t(edge.side[s])].normal);
            two[s] = {nx[n], ny[n], nz[n]};
        }
    } else {
        side_normals(e, many_sides);
        sides = many_sides.data();
    }
    int at = -1;
    edge.curvature =
        largest_smallest_turn(nx.data(), ny.data(), nz.data(), live.data(), int(nx.size()), sides, edge.sides, at);
    edge.probe = at;
    edge.exact = true;
    settle(e);
}

// Drops what has left now and then, so that runs stay long.
void HubMemory::compact()
{
    const int edge_count = int(edges.size());
    if (edges_gone > 16) {
        int kept = 0;
        for (int e = 0; e < edge_count; ++e) {
            if (vertex[std::size_t(e)] < 0) continue;
            key[std::size_t(kept)] = key[std::size_t(e)];
            place_of_key[std::size_t(key[std::size_t(kept)])] = kept;
            vertex[std::size_t(kept)] = vertex[std::size_t(e)];
            bound[std::size_t(kept)] = bound[std::size_t(e)];
            exact_bound[std::size_t(kept)] = exact_bound[std::size_t(e)];
            loose_bound[std::size_t(kept)] = loose_bound[std::size_t(e)];
            edges[std::size_t(kept)] = edges[std::size_t(e)];
            ++kept;
        }
        vertex.resize(std::size_t(kept));
        key.resize(std::size_t(kept));
        bound.resize(std::size_t(kept));
        exact_bound.resize(std::size_t(kept));
        loose_bound.resize(std::size_t(kept));
        edges.resize(std::size_t(kept));
        edges_gone = 0;
    }
    const int triangle_count = int(triangle.size());
    if (triangles_gone > 16) {
        std::vector<int> place(std::size_t(triangle_count), -1);
        int kept = 0;
        for (int t = 0; t < triangle_count; ++t) {
            if (triangle[std::size_t(t)] < 0) continue;
            place[std::size_t(t)] = kept;
            triangle[std::size_t(kept)] = triangle[std::size_t(t)];
            triangles[std::size_t(kept++)] = triangles[std::size_t(t)];
        }
        triangle.resize(std::size_t(kept));
        triangles.resize(std::size_t(kept));
        triangles_gone = 0;
        for (std::size_t e = 0; e < edges.size(); ++e)
            if (vertex[e] >= 0)
                for (int s = 0; s < std::min(edges[e].sides, 2); ++s)
                    edges[e].side[s] = place[std::size_t(edges[e].side[s])];
    }
}
