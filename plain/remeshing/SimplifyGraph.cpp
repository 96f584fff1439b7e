#include "remeshing/SimplifyGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define HALVANE_EIGHT_LANES 1
#endif

#include "core/Mesh.h"
#include "core/parallel_parts.h"
#include "remeshing/collapse_terms.h"

namespace {

// Vertices with up to this many triangles (all but hubs) get the turn
// between every pair of their triangles computed once per cost update.
constexpr int table_size = 24;

// Row j of `turn` (stride `width`) gets the turn between triangle j and
// every triangle, for the k triangles whose unit normals are in nx, ny, nz
// (padded with zeros to `width`).
void fill_turn_table(const float* nx, const float* ny, const float* nz, int k, int width, float* turn)
{
#ifdef __SSE2__
    // Halving is exact, so a product by one half gives the quotient by two.
    const __m128 one = _mm_set1_ps(1.0f), half = _mm_set1_ps(0.5f);
    // Columns past the last triangle hold +0, which never wins a largest.
    const __m128 real = _mm_castsi128_ps(_mm_cmplt_epi32(_mm_set_epi32(3, 2, 1, 0), _mm_set1_epi32(k - (width - 4))));
    for (int j = 0; j < k; ++j) {
        const __m128 x = _mm_set1_ps(nx[j]), y = _mm_set1_ps(ny[j]), z = _mm_set1_ps(nz[j]);
        float* row = turn + j * width;
        for (int l = 0; l < width; l += 4) {
            // Products summed in the order of the scalar dot product.
            const __m128 dot =
                _mm_add_ps(_mm_add_ps(_mm_mul_ps(x, _mm_load_ps(nx + l)), _mm_mul_ps(y, _mm_load_ps(ny + l))),
                           _mm_mul_ps(z, _mm_load_ps(nz + l)));
            _mm_store_ps(row + l, _mm_mul_ps(_mm_sub_ps(one, dot), half));
        }
        _mm_store_ps(row + width - 4, _mm_and_ps(_mm_load_ps(row + width - 4), real));
    }
#else
    for (int j = 0; j < k; ++j)
        for (int l = 0; l < width; ++l)
            turn[j * width + l] = turn_between({nx[j], ny[j], nz[j]}, {nx[l], ny[l], nz[l]});
#endif
}

// Bit j is set when triangle j has n among its two other corners; the lists
// are padded to `width` with -1.
unsigned find_sides(const int* first_other, const int* second_other, int width, int n)
{
    unsigned sides = 0;
#ifdef __SSE2__
    const __m128i wanted = _mm_set1_epi32(n);
    for (int l = 0; l < width; l += 4) {
        const __m128i hit =
            _mm_or_si128(_mm_cmpeq_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(first_other + l)), wanted),
                         _mm_cmpeq_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(second_other + l)), wanted));
        sides |= unsigned(_mm_movemask_ps(_mm_castsi128_ps(hit))) << l;
    }
#else
    for (int l = 0; l < width; ++l)
        if (first_other[l] == n || second_other[l] == n) sides |= 1u << l;
#endif
    return sides;
}

// The curvature term of an edge: over the k triangles j, the largest of the
// smallest turn from j to any side (never above 1), taken in order.
float curvature_in_order(const float* turn, int width, int k, const int* sides, int count)
{
    float curvature = 0.0f;
    for (int j = 0; j < k; ++j) {
        float m = 1.0f;
        for (int s = 0; s < count; ++s) m = std::min(m, turn[sides[s] * width + j]);
        curvature = std::max(curvature, m);
    }
    return curvature;
}

// The same for an edge with two sides whose turns are rows a and b, four
// triangles at a time. Each lane takes its minimum with the operands in the
// order of std::min, starts at +0 and is replaced only by a strictly larger
// value, as in the loop above: so a turn that is not a number never wins,
// no lane holds -0, and the largest over the lanes is the loop's result.
float largest_of_smaller(const float* a, const float* b, int k, int width)
{
#ifdef __SSE2__
    (void)k;
    const __m128 one = _mm_set1_ps(1.0f);
    __m128 largest = _mm_setzero_ps();
    for (int j = 0; j < width; j += 4) {
        const __m128 m = _mm_min_ps(_mm_load_ps(b + j), _mm_min_ps(_mm_load_ps(a + j), one));
        largest = _mm_max_ps(m, largest);
    }
    largest = _mm_max_ps(largest, _mm_movehl_ps(largest, largest));
    return _mm_cvtss_f32(_mm_max_ss(largest, _mm_shuffle_ps(largest, largest, 1)));
#else
    (void)width;
    float largest = 0.0f;
    for (int j = 0; j < k; ++j) largest = std::max(largest, std::min(std::min(1.0f, a[j]), b[j]));
    return largest;
#endif
}

// Picks the cheapest collapse over the neighbours in order (the first of
// equals); edge_cost(a) is the cost towards near[a]. Every collapse may cost
// a million or more (very long edges): then the cheapest anyway, since a
// vertex with triangles must go somewhere.
template <typename EdgeCost>
std::pair<float, int> cheapest(const int* near, int degree, EdgeCost edge_cost)
{
    float best = 1000000.0f;
    int to = -1;
    float least = 0.0f;
    int least_at = -1;
    for (int a = 0; a < degree; ++a) {
        const int n = near[a];
        const float c = edge_cost(a);
        if (c < best) {
            best = c;
            to = n;
        }
        if (least_at < 0 || c < least) {
            least = c;
            least_at = n;
        }
    }
    if (to < 0) return {least, least_at};
    return {best, to};
}

#ifdef HALVANE_EIGHT_LANES
// The cost of a vertex with at most 8 x halves triangles and neighbours, each
// neighbour on one or two of the triangles (anything else returns false and
// is left to the general code): eight neighbours at once, one lane each.
// Lane a carries the edge towards the a-th neighbour through the same
// operations, in the same order, as the general code, so the results agree
// bit for bit.
template <int halves>
__attribute__((target("avx2"))) bool cheapest_in_lanes(const SimplifyGraph& g, int v, std::pair<float, int>& out)
{
    const int degree = g.neighbours.size(v);
    const int k = g.faces.size(v);
    const int* near = g.neighbours.data(v);
    const int* around = g.faces.data(v);
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);

    // Lanes past the last neighbour hold -1, which no corner equals.
    __m256i used[halves], ids[halves];
    for (int h = 0; h < halves; ++h) {
        used[h] = _mm256_cmpgt_epi32(_mm256_set1_epi32(degree - 8 * h), lane);
        ids[h] = _mm256_blendv_epi8(_mm256_set1_epi32(-1), _mm256_maskload_epi32(near + 8 * h, used[h]), used[h]);
    }

    // For each neighbour, the first and the second triangle it shares with v
    // (the first twice when it shares one), triangle by triangle in order.
    __m256i first[halves], second[halves], seen[halves], seen_twice[halves], thrice[halves];
    for (int h = 0; h < halves; ++h)
        first[h] = second[h] = seen[h] = seen_twice[h] = thrice[h] = _mm256_setzero_si256();
    for (int j = 0; j < k; ++j) {
        const std::array<int, 3>& c = g.triangles[std::size_t(around[j])].corners;
        const __m256i c0 = _mm256_set1_epi32(c[0]), c1 = _mm256_set1_epi32(c[1]), c2 = _mm256_set1_epi32(c[2]);
        const __m256i at = _mm256_set1_epi32(j);
        for (int h = 0; h < halves; ++h) {
            const __m256i hit =
                _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi32(ids[h], c0), _mm256_cmpeq_epi32(ids[h], c1)),
                                _mm256_cmpeq_epi32(ids[h], c2));
            const __m256i again = _mm256_and_si256(hit, seen[h]);
            first[h] = _mm256_blendv_epi8(first[h], at, _mm256_andnot_si256(seen[h], hit));
            second[h] = _mm256_blendv_epi8(second[h], at, _mm256_andnot_si256(seen_twice[h], again));
            thrice[h] = _mm256_or_si256(thrice[h], _mm256_and_si256(again, seen_twice[h]));
            seen_twice[h] = _mm256_or_si256(seen_twice[h], again);
            seen[h] = _mm256_or_si256(seen[h], hit);
        }
    }
    unsigned sides = 0, more = 0;
    for (int h = 0; h < halves; ++h) {
        sides |= unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(seen[h]))) << (8 * h);
        more |= unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(thrice[h])));
    }
    if (sides != (1u << degree) - 1 || more != 0) return false;

    // Which half of the triangles each side is in.
    __m256 first_high[halves], second_high[halves];
    const __m256i seven = _mm256_set1_epi32(7);
    for (int h = 0; h < halves; ++h) {
        second[h] = _mm256_blendv_epi8(first[h], second[h], seen_twice[h]);
        first_high[h] = _mm256_castsi256_ps(_mm256_cmpgt_epi32(first[h], seven));
        second_high[h] = _mm256_castsi256_ps(_mm256_cmpgt_epi32(second[h], seven));
    }

    // The triangles' normals, one lane per triangle (zero past the last).
    const float* normals = g.triangles.front().normal.data();
    const __m256 zero = _mm256_setzero_ps();
    __m256 x[halves], y[halves], z[halves];
    for (int t = 0; t < halves; ++t) {
        const __m256i triangle = _mm256_cmpgt_epi32(_mm256_set1_epi32(k - 8 * t), lane);
        const __m256i record =
            _mm256_mullo_epi32(_mm256_maskload_epi32(around + 8 * t, triangle), _mm256_set1_epi32(6));
        const __m256 mask = _mm256_castsi256_ps(triangle);
        x[t] = _mm256_mask_i32gather_ps(zero, normals, record, mask, 4);
        y[t] = _mm256_mask_i32gather_ps(zero, normals + 1, record, mask, 4);
        z[t] = _mm256_mask_i32gather_ps(zero, normals + 2, record, mask, 4);
    }
    const __m256 one = _mm256_set1_ps(1.0f), half = _mm256_set1_ps(0.5f);
    __m256 curvature[halves];
    for (int h = 0; h < halves; ++h) curvature[h] = zero;
    for (int j = 0; j < k; ++j) {
        // The turns from triangle j to every triangle, then, in each lane,
        // to that lane's sides.
        const std::array<float, 3>& n = g.triangles[std::size_t(around[j])].normal;
        const __m256 nx = _mm256_set1_ps(n[0]), ny = _mm256_set1_ps(n[1]), nz = _mm256_set1_ps(n[2]);
        __m256 turn[halves];
        for (int t = 0; t < halves; ++t) {
            const __m256 dot =
                _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(nx, x[t]), _mm256_mul_ps(ny, y[t])), _mm256_mul_ps(nz, z[t]));
            turn[t] = _mm256_mul_ps(_mm256_sub_ps(one, dot), half);
        }
        for (int h = 0; h < halves; ++h) {
            __m256 to_first = _mm256_permutevar8x32_ps(turn[0], first[h]);
            __m256 to_second = _mm256_permutevar8x32_ps(turn[0], second[h]);
            if (halves > 1) {
                to_first =
                    _mm256_blendv_ps(to_first, _mm256_permutevar8x32_ps(turn[halves - 1], first[h]), first_high[h]);
                to_second =
                    _mm256_blendv_ps(to_second, _mm256_permutevar8x32_ps(turn[halves - 1], second[h]), second_high[h]);
            }
            const __m256 m = _mm256_min_ps(to_second, _mm256_min_ps(to_first, one));
            curvature[h] = _mm256_max_ps(m, curvature[h]);
        }
    }

    // Lanes past the last neighbour measure from v to itself, and cost the
    // most.
    const float* base = g.positions.front().data();
    const std::array<float, 3>& p = g.positions[std::size_t(v)];
    const __m256 px = _mm256_set1_ps(p[0]), py = _mm256_set1_ps(p[1]), pz = _mm256_set1_ps(p[2]);
    const __m256 infinity = _mm256_set1_ps(std::numeric_limits<float>::infinity());
    __m256 costs[halves];
    for (int h = 0; h < halves; ++h) {
        const __m256i to = _mm256_blendv_epi8(_mm256_set1_epi32(v), ids[h], used[h]);
        const __m256i at = _mm256_add_epi32(_mm256_add_epi32(to, to), to);  // three floats a position
        const __m256 dx = _mm256_sub_ps(_mm256_i32gather_ps(base, at, 4), px);
        const __m256 dy = _mm256_sub_ps(_mm256_i32gather_ps(base + 1, at, 4), py);
        const __m256 dz = _mm256_sub_ps(_mm256_i32gather_ps(base + 2, at, 4), pz);
        const __m256 length = _mm256_sqrt_ps(
            _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(dx, dx), _mm256_mul_ps(dy, dy)), _mm256_mul_ps(dz, dz)));
        costs[h] = _mm256_mul_ps(length, curvature[h]);
        costs[h] = _mm256_blendv_ps(costs[h], infinity, _mm256_cmp_ps(costs[h], costs[h], _CMP_UNORD_Q));
        costs[h] = _mm256_blendv_ps(infinity, costs[h], _mm256_castsi256_ps(used[h]));
    }

    // The first neighbour at the least cost, as the scan in cheapest() finds
    // it: with no cost a number, the least is always a neighbour's, and the
    // rule for costs of a million or more picks the same one.
    __m256 least = costs[0];
    for (int h = 1; h < halves; ++h) least = _mm256_min_ps(least, costs[h]);
    least = _mm256_min_ps(least, _mm256_permute2f128_ps(least, least, 1));
    least = _mm256_min_ps(least, _mm256_shuffle_ps(least, least, _MM_SHUFFLE(1, 0, 3, 2)));
    least = _mm256_min_ps(least, _mm256_shuffle_ps(least, least, _MM_SHUFFLE(2, 3, 0, 1)));
    unsigned at_least = 0;
    alignas(32) float edge[8 * halves];
    for (int h = 0; h < halves; ++h) {
        const __m256 equal = _mm256_and_ps(_mm256_cmp_ps(costs[h], least, _CMP_EQ_OQ), _mm256_castsi256_ps(used[h]));
        at_least |= unsigned(_mm256_movemask_ps(equal)) << (8 * h);
        _mm256_store_ps(edge + 8 * h, costs[h]);
    }
    const int a = __builtin_ctz(at_least);
    out = {edge[a], near[a]};
    return true;
}
#endif

}  // namespace

void SimplifyGraph::build(const Mesh& mesh)
{
    const int nv = mesh.nv;
    positions.resize(std::size_t(nv));
    for (int v = 0; v < nv; ++v) positions[v] = {mesh.vertices[v].x, mesh.vertices[v].y, mesh.vertices[v].z};
    std::vector<int> room(std::size_t(nv), 2);
    int kept = 0;
    for (int i = 0; i < mesh.nf; ++i) {
        const int* vi = mesh.faces[i].vi;
        if (vi[0] == vi[1] || vi[1] == vi[2] || vi[2] == vi[0]) continue;
        for (int k = 0; k < 3; ++k) ++room[vi[k]];
        ++kept;
    }
    lists.reset(room);
    triangles.clear();
    triangles.reserve(std::size_t(kept));
    for (int i = 0; i < mesh.nf; ++i) {
        const int* vi = mesh.faces[i].vi;
        if (vi[0] == vi[1] || vi[1] == vi[2] || vi[2] == vi[0]) continue;
        const int t = int(triangles.size());
        triangles.push_back({{vi[0], vi[1], vi[2]}, {0.0f, 0.0f, 0.0f}});
        for (int k = 0; k < 3; ++k) faces.push(vi[k], t);
        for (int k = 0; k < 3; ++k)
            for (int j = 0; j < 3; ++j)
                if (j != k) neighbours.push_unique(vi[k], vi[j]);
    }
    run_parts(engine_threads(), [&](int part, int parts) {
        const int end = int(std::int64_t(kept) * (part + 1) / parts);
        for (int t = int(std::int64_t(kept) * part / parts); t < end; ++t) compute_normal(t);
    });
    vertex_alive.assign(std::size_t(nv), 1);
    triangle_alive.assign(std::size_t(kept), 1);
    cost.assign(std::size_t(nv), 0.0f);
    target.assign(std::size_t(nv), -1);
    vertex_count = nv;
    triangle_count = kept;
}

// (B - A) x (C - B), normalised unless it is zero.
void SimplifyGraph::compute_normal(int t)
{
    Triangle& tri = triangles[std::size_t(t)];
    const std::array<float, 3>& a = positions[tri.corners[0]];
    const std::array<float, 3>& b = positions[tri.corners[1]];
    const std::array<float, 3>& c = positions[tri.corners[2]];
    const float ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
    const float vx = c[0] - b[0], vy = c[1] - b[1], vz = c[2] - b[2];
    float n[3] = {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
    if (n[0] != 0.0f || n[1] != 0.0f || n[2] != 0.0f) {
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (float& x : n) x /= length;
    }
    tri.normal = {n[0], n[1], n[2]};
}

float SimplifyGraph::edge_cost(int u, int v) const
{
    const int k = faces.size(u);
    const int* around = faces.data(u);
    std::vector<int> sides;
    for (int l = 0; l < k; ++l)
        if (has(around[l], v)) sides.push_back(around[l]);
    float curvature = 0.0f;
    for (int j = 0; j < k; ++j) {
        float m = 1.0f;
        for (int s : sides) {
            const float t = turn_between(triangles[around[j]].normal, triangles[s].normal);
            if (t < m) m = t;
        }
        if (m >= curvature) curvature = m;
    }
    return ordered(distance(positions[u], positions[v]) * curvature);
}

void SimplifyGraph::prefetch_cost(int v) const
{
    // A hub's cost reads what its memory keeps, not every triangle.
    if (is_hub(v)) return;
    const int k = faces.size(v);
    const int* around = faces.data(v);
    for (int j = 0; j < k; ++j) __builtin_prefetch(&triangles[std::size_t(around[j])]);
    const int degree = neighbours.size(v);
    const int* near = neighbours.data(v);
    for (int a = 0; a < degree; ++a) __builtin_prefetch(&positions[std::size_t(near[a])]);
}

void SimplifyGraph::prefetch_around(int u) const
{
    const int degree = neighbours.size(u);
    const int* near = neighbours.data(u);
    for (int a = 0; a < degree; ++a) {
        neighbours.prefetch(near[a]);
        __builtin_prefetch(&positions[std::size_t(near[a])]);
        __builtin_prefetch(&cost[std::size_t(near[a])]);
        __builtin_prefetch(&target[std::size_t(near[a])]);
    }
    const int k = faces.size(u);
    const int* around = faces.data(u);
    for (int j = 0; j < k; ++j) __builtin_prefetch(&triangles[std::size_t(around[j])]);
}

void SimplifyGraph::compute_cost(int v)
{
    const int degree = neighbours.size(v);
    if (degree == 0) {
        cost[v] = -0.01f;
        target[v] = -1;
        return;
    }
#ifdef HALVANE_EIGHT_LANES
    // Positions and triangles are found in lanes by their offset in floats,
    // which must fit an int.
    const int lanes_needed = std::max(degree, faces.size(v));
    if (eight_lanes && lanes_needed <= 16 && positions.size() <= 0x2aaaaaaau && triangles.size() <= 0x15555555u) {
        std::pair<float, int> found;
        if (lanes_needed <= 8 ? cheapest_in_lanes<1>(*this, v, found) : cheapest_in_lanes<2>(*this, v, found)) {
            std::tie(cost[v], target[v]) = found;
            return;
        }
    }
#endif
    const int k = faces.size(v);
    static_assert(table_size == hub_faces, "every vertex that is no hub fits the table");
    if (k > table_size) {
        std::tie(cost[v], target[v]) = hub_memory[v].cheapest(*this, v);
        return;
    }
    // The turn between every pair of v's triangles, and each triangle's two
    // other corners, read once for all neighbours. Rows are padded to whole
    // groups of four so that they can be compared four at a time.
    const int* around = faces.data(v);
    alignas(16) float nx[table_size], ny[table_size], nz[table_size];
    alignas(16) int first_other[table_size], second_other[table_size];
    const int width = std::max(4, (k + 3) & ~3);
    // The last group of four is padded first; the triangles overwrite what
    // they cover.
    for (int j = width - 4; j < width; ++j) {
        first_other[j] = second_other[j] = -1;
        nx[j] = ny[j] = nz[j] = 0.0f;
    }
    for (int j = 0; j < k; ++j) {
        const Triangle& tri = triangles[std::size_t(around[j])];
        const std::array<int, 3>& c = tri.corners;
        const int at = c[0] == v ? 0 : c[1] == v ? 1 : 2;
        first_other[j] = c[(at + 1) % 3];
        second_other[j] = c[(at + 2) % 3];
        nx[j] = tri.normal[0];
        ny[j] = tri.normal[1];
        nz[j] = tri.normal[2];
    }
    alignas(16) float turn[table_size * table_size];
    fill_turn_table(nx, ny, nz, k, width, turn);

    const int* near = neighbours.data(v);
    std::tie(cost[v], target[v]) = cheapest(near, degree, [&](int a) {
        const int n = near[a];
        unsigned found = find_sides(first_other, second_other, width, n);
        float curvature;
        const unsigned later = found & (found - 1);  // all but the first side
        if (later != 0 && (later & (later - 1)) == 0) {
            // Two sides. Row s of the symmetric table holds the turns against
            // side s.
            const int first = __builtin_ctz(found), second = __builtin_ctz(later);
            curvature = largest_of_smaller(turn + first * width, turn + second * width, k, width);
        } else {
            int sides[table_size];
            int count = 0;
            for (; found != 0; found &= found - 1) sides[count++] = __builtin_ctz(found);
            curvature = curvature_in_order(turn, width, k, sides, count);
        }
        return ordered(distance(positions[v], positions[n]) * curvature);
    });
}

// A triangle of a has n as a corner exactly when it is on n's list too:
// comparing the two lists finds it without reading the triangles.
void SimplifyGraph::drop_if_apart(int a, int n)
{
    if (!neighbours.contains(a, n)) return;
    if (!faces.contains_any(n, faces.data(a), faces.size(a))) neighbours.remove(a, n);
}

// Collapsing u drops u's own lists and u's place in its neighbours' lists
// once, in remove_vertex, rather than edge by edge as triangles go: taking u
// out of a list leaves the rest in order, so every other vertex's lists end
// exactly as they would.
void SimplifyGraph::delete_triangle(int t, int u)
{
    triangle_alive[std::size_t(t)] = 0;
    --triangle_count;
    const std::array<int, 3> c = triangles[std::size_t(t)].corners;
    for (int k = 0; k < 3; ++k)
        if (c[k] != u) faces.remove(c[k], t);
    for (int k = 0; k < 3; ++k) {
        const int k2 = (k + 1) % 3;
        if (c[k] == u || c[k2] == u) continue;
        drop_if_apart(c[k], c[k2]);
        drop_if_apart(c[k2], c[k]);
    }
}

void SimplifyGraph::replace_vertex(int t, int from, int to)
{
    std::array<int, 3>& c = triangles[std::size_t(t)].corners;
    if (c[0] == from)
        c[0] = to;
    else if (c[1] == from)
        c[1] = to;
    else
        c[2] = to;
    faces.push(to, t);
    // The triangle's two other corners are neighbours already: they share
    // it. Each list gets its new neighbours in corner order.
    for (int j = 0; j < 3; ++j)
        if (c[j] != to) {
            neighbours.push_unique(c[j], to);
            neighbours.push_unique(to, c[j]);
        }
    compute_normal(t);
}

void SimplifyGraph::remove_vertex(int u)
{
    const int degree = neighbours.size(u);
    for (int a = 0; a < degree; ++a) neighbours.remove(neighbours.at(u, a), u);
    neighbours.clear(u);
    faces.clear(u);
    if (!hub_memory.empty()) hub_memory.erase(u);
    vertex_alive[std::size_t(u)] = 0;
    --vertex_count;
}

void SimplifyGraph::collapse(int u, int v, std::vector<int>& touched)
{
    touched.clear();
    if (v < 0) {
        remove_vertex(u);
        return;
    }
    prefetch_around(u);
    touched.assign(neighbours.data(u), neighbours.data(u) + neighbours.size(u));
    // u's triangle list keeps the deleted ones until u goes; both passes
    // visit it from the last to the first.
    const int k = faces.size(u);
    for (int i = k - 1; i >= 0; --i) {
        const int t = faces.at(u, i);
        if (has(t, v)) delete_triangle(t, u);
    }
    for (int i = k - 1; i >= 0; --i) {
        const int t = faces.at(u, i);
        if (triangle_alive[std::size_t(t)]) replace_vertex(t, u, v);
    }
    remove_vertex(u);
}

void SimplifyGraph::write_back(Mesh& mesh) const
{
    const std::size_t nv = vertex_alive.size();
    std::vector<int> id(nv, -1);
    int next = 0;
    for (std::size_t v = 0; v < nv; ++v)
        if (vertex_alive[v]) id[v] = next++;

    std::vector<std::vector<float>> values;
    if (!mesh.morphogen_values.empty() && mesh.morphogen_values.size() == nv) {
        values.resize(std::size_t(next));
        for (std::size_t v = 0; v < nv; ++v)
            if (id[v] >= 0) values[std::size_t(id[v])] = std::move(mesh.morphogen_values[v]);
    }

    std::vector<Vector> kept, colours;
    kept.swap(mesh.vertices);
    colours.swap(mesh.vertex_colours);
    const bool has_colours = mesh.has_colours && colours.size() == nv;
    mesh.clear();
    mesh.allocate_vertices(next);
    mesh.allocate_faces(triangle_count);
    for (std::size_t v = 0; v < nv; ++v)
        if (id[v] >= 0) {
            mesh.vertices[std::size_t(id[v])] = kept[v];
            if (has_colours) mesh.vertex_colours[std::size_t(id[v])] = colours[v];
        }
    mesh.has_colours = has_colours;
    int f = 0;
    for (std::size_t t = 0; t < triangles.size(); ++t) {
        if (!triangle_alive[t]) continue;
        const std::array<int, 3>& c = triangles[t].corners;
        mesh.set_face(f++, id[c[0]], id[c[1]], id[c[2]]);
    }
    mesh.morphogen_values = std::move(values);
}

bool SimplifyGraph::has_eight_lanes()
{
#ifdef HALVANE_EIGHT_LANES
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}
