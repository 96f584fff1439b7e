#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "clipping/PlaneWidgetInCube.h"

namespace {

PlaneWidgetInCube cube_256()
{
    PlaneWidgetInCube cube;
    cube.resize_cube(256, 256, 256);
    return cube;
}

double side(const CutPlane& p, const Vector& v)
{
    return p.a * v.x + p.b * v.y + p.c * v.z + p.d;
}

// Drags the selected planes: press at `from`, one move to `to`, release.
void drag(PlaneWidgetInCube& cube, int button, const Vector& from, const Vector& to)
{
    cube.mouse_press(from, button);
    cube.mouse_move(to);
    cube.mouse_release();
}

// Each outline point lies on its plane and inside the box, and the polygon
// winds counter-clockwise about the plane's normal.
void expect_sound_outline(const PlaneWidgetInCube& cube, int i)
{
    const CutPlane& plane = cube.planes[std::size_t(i)];
    const std::vector<Vector>& outline = cube.outlines[std::size_t(i)];
    const double scale = std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c);
    for (const Vector& v : outline) {
        EXPECT_NEAR(side(plane, v) / scale, 0.0, 1e-2) << "plane " << i;
        for (float coordinate : {v.x, v.y, v.z}) EXPECT_LE(std::fabs(coordinate), 128.001f);
    }
    Vector centre(0, 0, 0);
    for (const Vector& v : outline) centre += v;
    centre /= float(outline.size());
    for (std::size_t k = 0; k + 1 < outline.size(); ++k) {
        Vector turn;
        turn.cross(outline[k] - centre, outline[k + 1] - centre);
        EXPECT_GE(turn.dot(plane.normal), -1e-3f) << "plane " << i << " point " << k;
    }
}

}  // namespace

TEST(PlaneCube, DefaultPlanesFaceOutAndKeepTheBox)
{
    PlaneWidgetInCube cube = cube_256();
    const Vector normals[6] = {Vector(0, 0, 1), Vector(0, 0, -1), Vector(1, 0, 0),
                               Vector(-1, 0, 0), Vector(0, 1, 0), Vector(0, -1, 0)};
    cube.update_outlines();
    for (int i = 0; i < 6; ++i) {
        const CutPlane& p = cube.planes[std::size_t(i)];
        EXPECT_EQ(p.normal, normals[i]) << "plane " << i;
        EXPECT_EQ(p.centre, normals[i] * 128.0f) << "plane " << i;
        EXPECT_EQ(p.handle.axis_mode, i + 1);
        EXPECT_GT(side(p, Vector(0, 0, 0)), 0.0);
        EXPECT_LT(side(p, normals[i] * 129.0f), 0.0);
        EXPECT_EQ(cube.outlines[std::size_t(i)].size(), 4u);
        expect_sound_outline(cube, i);
    }
}

TEST(PlaneCube, RightButtonPushesAndPullsAlongTheNormal)
{
    PlaneWidgetInCube cube = cube_256();
    cube.toggle_plane(2);
    drag(cube, 3, Vector(400, 300, 0), Vector(400, 290, 0));  // up by 10
    EXPECT_EQ(cube.planes[2].centre, Vector(129, 0, 0));
    EXPECT_GT(side(cube.planes[2], Vector(128.5f, 0, 0)), 0.0);  // kept region grew
    EXPECT_EQ(cube.planes[0].centre, Vector(0, 0, 128));         // not selected: untouched

    drag(cube, 3, Vector(400, 300, 0), Vector(400, 320, 0));  // down by 20
    EXPECT_EQ(cube.planes[2].centre, Vector(127, 0, 0));
    EXPECT_LT(side(cube.planes[2], Vector(127.5f, 0, 0)), 0.0);
    EXPECT_EQ(cube.planes[2].normal, Vector(1, 0, 0));
}

TEST(PlaneCube, TiltsTurnEachFaceAboutAxesInItsOwnFace)
{
    // Axis of the left-button and the middle-button tilt for face ids 1..6.
    const int left_axis[6] = {0, 0, 2, 2, 0, 0};
    const int middle_axis[6] = {1, 1, 1, 1, 2, 2};
    for (int i = 0; i < 6; ++i) {
        for (int button : {1, 2}) {
            PlaneWidgetInCube cube = cube_256();
            cube.toggle_plane(i);
            const Vector before = cube.planes[std::size_t(i)].normal;
            drag(cube, button, Vector(300, 300, 0), Vector(450, 450, 0));
            const CutPlane& p = cube.planes[std::size_t(i)];
            const int axis = button == 1 ? left_axis[i] : middle_axis[i];
            const float along[3] = {p.normal.x, p.normal.y, p.normal.z};
            EXPECT_NEAR(along[axis], 0.0f, 1e-6f) << "plane " << i << " button " << button;
            EXPECT_LT(p.normal.dot(before), 0.999f) << "plane " << i << " button " << button;
            // The face turns about its own centre.
            EXPECT_NEAR(p.centre.x, before.x * 128, 1e-3f);
            EXPECT_NEAR(p.centre.y, before.y * 128, 1e-3f);
            EXPECT_NEAR(p.centre.z, before.z * 128, 1e-3f);
            EXPECT_EQ(p.handle.map_mode, 0);
            EXPECT_FALSE(p.handle.dragging);
            expect_sound_outline(cube, i);
        }
    }
}

TEST(PlaneCube, TiltedPlaneEquationMatchesItsCorners)
{
    PlaneWidgetInCube cube = cube_256();
    cube.toggle_plane(4);
    drag(cube, 1, Vector(0, 100, 0), Vector(0, 250, 0));
    drag(cube, 2, Vector(100, 0, 0), Vector(180, 0, 0));
    drag(cube, 3, Vector(0, 300, 0), Vector(0, 500, 0));  // pull 20 inwards
    const CutPlane& p = cube.planes[4];
    const double scale = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
    for (const Vector& v : p.corners) EXPECT_NEAR(side(p, v) / scale, 0.0, 1e-3);
    EXPECT_NEAR(p.normal.dot(p.centre), 128.0f * p.normal.y - 20.0f, 1e-2f);
    EXPECT_LT(side(p, p.centre + p.normal), 0.0);  // outside lies beyond the normal
    EXPECT_GE(cube.outlines[4].size(), 3u);
    expect_sound_outline(cube, 4);
}

TEST(PlaneCube, PlanePushedOutOfTheBoxHasNoOutlineButStillClips)
{
    PlaneWidgetInCube cube = cube_256();
    cube.toggle_plane(0);
    drag(cube, 3, Vector(0, 300, 0), Vector(0, 200, 0));  // 10 units out
    EXPECT_TRUE(cube.outlines[0].empty());
    EXPECT_EQ(cube.planes[0].d, 138.0 * 65536.0);
    EXPECT_LT(side(cube.planes[0], Vector(0, 0, 139)), 0.0);
    EXPECT_EQ(cube.outlines[1].size(), 4u);
}

TEST(PlaneCube, ToggleSelectsAndIgnoresIndicesOutsideTheSix)
{
    PlaneWidgetInCube cube = cube_256();
    EXPECT_FALSE(cube.any_selected());
    cube.toggle_plane(6);
    cube.toggle_plane(-1);
    EXPECT_FALSE(cube.any_selected());
    for (const auto& outline : cube.outlines) EXPECT_TRUE(outline.empty());

    cube.toggle_plane(3);
    EXPECT_EQ(cube.states[3], 1);
    EXPECT_TRUE(cube.any_selected());
    EXPECT_EQ(cube.outlines[3].size(), 4u);
    cube.toggle_plane(3);
    EXPECT_EQ(cube.states[3], -1);
}

TEST(PlaneCube, ResetsPutPlanesBackOnTheirFaces)
{
    PlaneWidgetInCube cube = cube_256();
    cube.toggle_plane(0);
    cube.toggle_plane(2);
    drag(cube, 1, Vector(0, 100, 0), Vector(0, 300, 0));
    cube.toggle_plane(2);  // plane 2 keeps its tilt but is no longer selected
    const Vector tilted = cube.planes[2].normal;
    ASSERT_NE(cube.planes[0].normal, Vector(0, 0, 1));

    cube.reset_selected();
    EXPECT_EQ(cube.planes[0].normal, Vector(0, 0, 1));
    const ArcBall fresh;
    EXPECT_TRUE(std::equal(std::begin(fresh.transform), std::end(fresh.transform),
                           std::begin(cube.planes[0].handle.transform)));
    EXPECT_EQ(cube.planes[2].normal, tilted);
    EXPECT_EQ(cube.states[0], 1);
    EXPECT_EQ(cube.outlines[0].size(), 4u);

    cube.reset_all();
    EXPECT_EQ(cube.planes[2].normal, Vector(1, 0, 0));
    EXPECT_FALSE(cube.any_selected());
    EXPECT_EQ(cube.outlines.size(), 6u);
    EXPECT_EQ(cube.outlines[2].size(), 4u);
}

TEST(PlaneCube, ResizeDiscardsPositionsSelectionsAndOutlines)
{
    PlaneWidgetInCube cube = cube_256();
    cube.toggle_plane(5);
    drag(cube, 3, Vector(0, 300, 0), Vector(0, 400, 0));
    cube.resize_cube(10.0f);
    EXPECT_FALSE(cube.any_selected());
    EXPECT_EQ(cube.size, (std::array<float, 3>{10, 10, 10}));
    EXPECT_EQ(cube.planes[5].centre, Vector(0, -5, 0));
    EXPECT_EQ(cube.box_corners[0], Vector(-5, 5, 5));
    EXPECT_EQ(cube.box_corners[7], Vector(5, -5, -5));
    EXPECT_EQ(cube.outlines.size(), 6u);
    for (const auto& outline : cube.outlines) EXPECT_TRUE(outline.empty());
}

TEST(PlaneCube, SizeZeroBoxClipsNothingAndHasNoOutlines)
{
    PlaneWidgetInCube cube;
    cube.resize_cube(0.0f);
    for (const CutPlane& p : cube.planes) {
        EXPECT_EQ(p.a, 0.0);
        EXPECT_EQ(p.b, 0.0);
        EXPECT_EQ(p.c, 0.0);
        EXPECT_EQ(p.d, 0.0);
        for (const Vector& v : p.corners) EXPECT_EQ(v, Vector(0, 0, 0));
    }
    cube.toggle_plane(0);
    cube.show_all = 1;
    cube.reset_all();
    for (const auto& outline : cube.outlines) EXPECT_TRUE(outline.empty());
}

TEST(PlaneCube, PlaneThroughABoxCornerKeepsRepeatedPoints)
{
    PlaneWidgetInCube cube = cube_256();
    // The plane x + y + z = 384 touches the box only at c1 (128, 128, 128).
    CutPlane& p = cube.planes[0];
    p.normal = Vector(1, 1, 1);
    p.normal.normalise();
    p.centre = Vector(128, 128, 128);
    cube.update_outlines();
    ASSERT_EQ(cube.outlines[0].size(), 3u);
    for (const Vector& v : cube.outlines[0]) EXPECT_EQ(v, Vector(128, 128, 128));
}
