#include "clipping/PlaneWidgetInCube.h"

#include <algorithm>
#include <cmath>

namespace {

// Sign patterns of the box corners c0..c7.
constexpr float corner_signs[8][3] = {
    {-1, 1, 1}, {1, 1, 1}, {-1, -1, 1}, {1, -1, 1}, {-1, 1, -1}, {1, 1, -1}, {-1, -1, -1}, {1, -1, -1},
};

// Base corners of planes 0..5 as box corner numbers; face id is index + 1.
constexpr int face_corners[6][4] = {
    {0, 1, 3, 2}, {6, 7, 5, 4}, {1, 5, 7, 3}, {2, 6, 4, 0}, {4, 5, 1, 0}, {3, 7, 6, 2},
};

// The twelve box edges in the order the outlines visit them.
constexpr int box_edges[12][2] = {
    {0, 2}, {0, 1}, {0, 4}, {2, 6}, {2, 3}, {3, 1}, {3, 7}, {1, 5}, {4, 5}, {4, 6}, {7, 5}, {7, 6},
};

constexpr double degrees_per_radian = 57.29577950560105;

Vector unit(Vector v)
{
    v.normalise();
    return v;
}

}  // namespace

void PlaneWidgetInCube::resize_cube(float s)
{
    resize_cube(s, s, s);
}

void PlaneWidgetInCube::resize_cube(float x, float y, float z)
{
    size = {x, y, z};
    build_box();
    planes = default_planes();
    outlines.assign(plane_count, {});
    states.fill(-1);
}

void PlaneWidgetInCube::fit_around(const std::array<float, 3>& extents, float sweep_pixels)
{
    std::array<float, 3> e{0.0f, 0.0f, 0.0f};
    float largest = 0.0f;
    for (std::size_t a = 0; a < 3; ++a) {
        if (extents[a] > 0.0f && std::isfinite(extents[a])) e[a] = extents[a];
        largest = std::max(largest, e[a]);
    }
    // A point or an empty mesh gets a unit box.
    if (largest == 0.0f) {
        e = {1.0f, 1.0f, 1.0f};
        largest = 1.0f;
    }
    const float margin = 0.1f * largest;
    std::array<float, 3> box;
    for (std::size_t a = 0; a < 3; ++a) {
        box[a] = e[a] + 2.0f * margin;
        push_step[a] = box[a] / sweep_pixels;
    }
    resize_cube(box[0], box[1], box[2]);
}

void PlaneWidgetInCube::build_box()
{
    for (int i = 0; i < 8; ++i)
        box_corners[i] = Vector(corner_signs[i][0] * size[0] / 2, corner_signs[i][1] * size[1] / 2,
                                corner_signs[i][2] * size[2] / 2);
}

std::vector<CutPlane> PlaneWidgetInCube::default_planes() const
{
    std::vector<CutPlane> result;
    result.reserve(plane_count);
    for (int i = 0; i < plane_count; ++i) {
        std::array<Vector, 4> base;
        for (int k = 0; k < 4; ++k) base[k] = box_corners[face_corners[i][k]];
        result.push_back(CutPlane::on_face(base, i + 1));
    }
    return result;
}

void PlaneWidgetInCube::toggle_plane(int i)
{
    if (i < 0 || i >= plane_count) return;
    states[i] = -states[i];
    update_outlines();
}

bool PlaneWidgetInCube::any_selected() const
{
    for (const int state : states)
        if (state == 1) return true;
    return false;
}

void PlaneWidgetInCube::reset_selected()
{
    build_box();
    const std::vector<CutPlane> defaults = default_planes();
    for (std::size_t i = 0; i < planes.size() && i < defaults.size(); ++i) {
        if (states[i] != 1) continue;
        planes[i] = defaults[i];
        outlines[i].clear();
    }
    update_outlines();
}

void PlaneWidgetInCube::reset_all()
{
    build_box();
    states.fill(-1);
    planes = default_planes();
    outlines.assign(plane_count, {});
    update_outlines();
}

void PlaneWidgetInCube::update_outlines()
{
    outlines.clear();
    for (const CutPlane& plane : planes) {
        work_points.clear();
        const Vector& n = plane.normal;
        for (const auto& edge : box_edges) {
            const Vector& from = box_corners[edge[0]];
            const Vector& to = box_corners[edge[1]];
            // An edge parallel to the plane gives an infinite or undefined t,
            // which the range test refuses.
            const float t = n.dot(plane.centre - from) / n.dot(to - from);
            if (t >= 0.0f && t <= 1.0f) work_points.push_back(from + (to - from) * t);
        }
        if (!work_points.empty()) order_work_points(n);
        outlines.push_back(work_points);
    }
}

// Sorts work_points counter-clockwise about `normal`, by angle from the
// first point as seen from their mean; equal angles keep index order.
void PlaneWidgetInCube::order_work_points(const Vector& normal)
{
    const std::size_t count = work_points.size();
    outline_centre = Vector(0, 0, 0);
    for (const Vector& v : work_points) outline_centre += v;
    outline_centre /= float(count);

    const Vector u0 = unit(work_points[0] - outline_centre);
    const Vector m = unit(normal);
    std::vector<double> angles(count, 0.0);
    for (std::size_t k = 1; k < count; ++k) {
        const Vector uk = unit(work_points[k] - outline_centre);
        Vector side;
        side.cross(u0, uk);
        double angle = std::atan2(m.dot(side), u0.dot(uk)) * degrees_per_radian;
        if (angle < 0) angle += 360.0;
        angles[k] = angle;
    }

    std::vector<bool> taken(count, false);
    taken[0] = true;
    std::vector<Vector> ordered{work_points[0]};
    ordered.reserve(count);
    for (std::size_t step = 1; step < count; ++step) {
        double best = 999999.0;
        std::size_t pick = count;
        for (std::size_t k = 1; k < count; ++k)
            if (!taken[k] && angles[k] < best) {
                best = angles[k];
                pick = k;
            }
        // Only a not-a-number angle leaves nothing picked: take the first free point.
        if (pick == count)
            for (std::size_t k = 1; k < count && pick == count; ++k)
                if (!taken[k]) pick = k;
        taken[pick] = true;
        ordered.push_back(work_points[pick]);
    }
    work_points = ordered;
}

void PlaneWidgetInCube::mouse_press(Vector p, int button)
{
    if (button == 1) p.x = 0;
    if (button == 2) p.y = 0;
    for (std::size_t i = 0; i < planes.size(); ++i) {
        if (states[i] != 1) continue;
        planes[i].handle.map_mode = button;
        planes[i].handle.click(p);
        planes[i].last_mouse = p;
    }
}

void PlaneWidgetInCube::mouse_move(const Vector& p)
{
    for (std::size_t i = 0; i < planes.size(); ++i) {
        if (states[i] != 1) continue;
        const int axis = planes[i].axis();
        planes[i].update(p, axis >= 0 ? push_step[std::size_t(axis)] : 0.1f);
        update_outlines();
    }
}

void PlaneWidgetInCube::mouse_release()
{
    for (std::size_t i = 0; i < planes.size(); ++i) {
        if (states[i] != 1) continue;
        planes[i].handle.map_mode = 0;
        planes[i].handle.dragging = false;
    }
}
