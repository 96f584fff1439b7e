#include "smoothing/CentroidGrid.h"

#include <algorithm>
#include <cmath>

#include "smoothing/UnvisitedList.h"

namespace {

// Radii the grid serves. Outside them the float rounding of the within test
// (underflow of tiny squares, overflow of huge ones) is no longer bounded by
// a small relative widening, and the caller walks the list instead.
constexpr float smallest_radius = 1e-15f;
constexpr float largest_radius = 1e15f;
// Relative widening of the query box: far above the few ulps by which the
// within test can accept a face beyond r.
constexpr float widening = 1.001f;

bool finite(const Vector& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

float coordinate(const Vector& p, int axis)
{
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

}  // namespace

int CentroidGrid::cell_of(int axis, float x) const
{
    // (x - lo) * inv is monotone in x, and so is the clamp: a face between two
    // bounds always lands in a cell between the bounds' cells.
    const float t = std::floor((x - lo[axis]) * inv_cell);
    return int(std::clamp(t, 0.0f, float(dims[axis] - 1)));
}

void CentroidGrid::build(const std::vector<Vector>& centroids, const UnvisitedList& unvisited, float radius)
{
    usable = false;
    items.clear();
    if (!(radius >= smallest_radius && radius <= largest_radius)) return;

    // Faces whose centroid is not finite never pass the within test with a
    // finite centre and radius, so they are left out.
    double low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
    int filed = 0;
    for (int f = unvisited.first(); f != -1; f = unvisited.next(f)) {
        const Vector& c = centroids[f];
        if (!finite(c)) continue;
        for (int a = 0; a < 3; ++a) {
            const double x = coordinate(c, a);
            low[a] = filed == 0 ? x : std::min(low[a], x);
            high[a] = filed == 0 ? x : std::max(high[a], x);
        }
        ++filed;
    }

    // Cells of the radius's size, doubled until there are at most about two
    // cells per face.
    const double limit = 2.0 * std::max(filed, 1);
    double cell = radius;
    double count[3];
    for (;;) {
        for (int a = 0; a < 3; ++a) count[a] = std::floor((high[a] - low[a]) / cell) + 1.0;
        if (count[0] * count[1] * count[2] <= limit) break;
        cell *= 2.0;
    }
    if (!std::isfinite(cell) || !std::isfinite(float(1.0 / cell))) return;
    inv_cell = float(1.0 / cell);
    if (!(inv_cell > 0.0f)) return;
    for (int a = 0; a < 3; ++a) {
        lo[a] = float(low[a]);
        dims[a] = int(count[a]);
    }

    const std::size_t cells = std::size_t(dims[0]) * std::size_t(dims[1]) * std::size_t(dims[2]);
    cell_start.assign(cells + 1, 0);
    std::vector<int> home;
    home.reserve(std::size_t(filed));
    for (int f = unvisited.first(); f != -1; f = unvisited.next(f)) {
        const Vector& c = centroids[f];
        if (!finite(c)) continue;
        const std::size_t k = (std::size_t(cell_of(2, c.z)) * std::size_t(dims[1]) + std::size_t(cell_of(1, c.y))) *
                                  std::size_t(dims[0]) +
                              std::size_t(cell_of(0, c.x));
        home.push_back(int(k));
        ++cell_start[k + 1];
    }
    for (std::size_t k = 0; k < cells; ++k) cell_start[k + 1] += cell_start[k];
    cell_end.assign(cell_start.begin(), cell_start.end() - 1);
    items.resize(std::size_t(filed));
    // Walking the list in ascending order keeps every cell ascending.
    std::size_t i = 0;
    for (int f = unvisited.first(); f != -1; f = unvisited.next(f)) {
        if (!finite(centroids[f])) continue;
        items[std::size_t(cell_end[std::size_t(home[i++])]++)] = f;
    }
    usable = true;
}

bool CentroidGrid::query(const Vector& centre, float r, const std::vector<Vector>& centroids,
                         const UnvisitedList& unvisited, std::vector<int>& found)
{
    if (!usable || !finite(centre) || !(r >= smallest_radius && r <= largest_radius)) return false;
    const float reach = r * widening;
    int first[3], last[3];
    double boxes = 1.0;
    for (int a = 0; a < 3; ++a) {
        const float c = coordinate(centre, a);
        first[a] = cell_of(a, c - reach);
        last[a] = cell_of(a, c + reach);
        boxes *= double(last[a] - first[a] + 1);
    }
    if (boxes > double(unvisited.count)) return false;

    found.clear();
    for (int z = first[2]; z <= last[2]; ++z)
        for (int y = first[1]; y <= last[1]; ++y)
            for (int x = first[0]; x <= last[0]; ++x) {
                const std::size_t k =
                    (std::size_t(z) * std::size_t(dims[1]) + std::size_t(y)) * std::size_t(dims[0]) + std::size_t(x);
                // Drop the faces that left the list since, keeping the order.
                int keep = cell_start[k];
                for (int i = cell_start[k]; i < cell_end[k]; ++i) {
                    const int f = items[std::size_t(i)];
                    if (!unvisited.contains(f)) continue;
                    items[std::size_t(keep++)] = f;
                    if (centroids[f].within(centre, r)) found.push_back(f);
                }
                cell_end[k] = keep;
            }
    std::sort(found.begin(), found.end());
    return true;
}
