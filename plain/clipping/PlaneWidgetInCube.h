#pragma once

#include <array>
#include <string>
#include <vector>

#include "clipping/CutPlane.h"
#include "core/Vector.h"

class Messages;

// Six clipping planes that start on the faces of an axis-aligned box centred
// on the origin, in model coordinates. Selected planes follow the mouse:
// button 1 and 2 tilt them about axes in their own face, button 3 pushes and
// pulls them along their normal. Each plane's outline is its cross-section
// with the box, wound counter-clockwise about its normal.
//
// Plane order and face ids: 0 z+ (1), 1 z- (2), 2 x+ (3), 3 x- (4),
// 4 y+ (5), 5 y- (6). Box corners c0..c7 take the signs
// (-++, +++, --+, +-+, -+-, ++-, ---, +--) of half the size.
class PlaneWidgetInCube {
public:
    static constexpr int plane_count = 6;

    int invert = 0;
    std::vector<std::vector<Vector>> outlines;
    std::vector<Vector> work_points;
    int show_all = 0;
    std::array<float, 3> size{0, 0, 0};
    std::array<Vector, 8> box_corners;
    // 1 selected, -1 not selected.
    std::array<int, plane_count> states{-1, -1, -1, -1, -1, -1};
    std::vector<CutPlane> planes;
    Vector outline_centre;
    // How far a push or pull moves a plane facing x, y or z per pixel.
    std::array<float, 3> push_step{0.1f, 0.1f, 0.1f};

    // A cube of edge s; both forms put every plane back on its face, deselect
    // it and leave the outlines empty until the next update.
    void resize_cube(float s);
    void resize_cube(float x, float y, float z);
    // A box around a mesh of these extents (x, y, z) centred on the
    // origin, with a margin of a tenth of the largest extent on every side
    // (a unit box for a mesh without extent), and push steps that sweep a
    // plane across the box in `sweep_pixels` of drag.
    void fit_around(const std::array<float, 3>& extents, float sweep_pixels = 300.0f);

    // Flips plane i between selected and not; other values of i do nothing.
    void toggle_plane(int i);
    bool any_selected() const;
    void reset_selected();
    void reset_all();
    void update_outlines();

    // Window points: x right, y down. Button codes 1 left, 2 middle, 3 right.
    void mouse_press(Vector p, int button);
    void mouse_move(const Vector& p);
    void mouse_release();

    // The plane file: a count line "SIZE: 6" and one "P: " line of 69
    // numbers per plane. A file that is not sound is rejected whole with
    // one console line and changes nothing.
    void save(const std::string& filename, Messages& out) const;
    void load(const std::string& filename, Messages& out);

private:
    void build_box();
    std::vector<CutPlane> default_planes() const;
    void order_work_points(const Vector& normal);
};
