// The six clipping planes in their box: mouse drags, outlines, resets, and
// the plane file that saves and restores them exactly.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "clipping/PlaneWidgetInCube.h"
#include "tests/support/Printed.h"
#include "tests/support/TempDir.h"

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

template <typename A, typename B>
bool same(const A& a, const B& b)
{
    return std::equal(std::begin(a), std::end(a), std::begin(b), std::end(b));
}

// A cube with planes tilted both ways and pushed, one of them still selected.
PlaneWidgetInCube worked_cube()
{
    PlaneWidgetInCube cube = cube_256();
    const int order[3] = {0, 3, 4};
    for (int i : order) {
        cube.toggle_plane(i);
        drag(cube, 1, Vector(120, 130, 0), Vector(333, 351, 0));
        drag(cube, 2, Vector(120, 130, 0), Vector(517, 211, 0));
        drag(cube, 3, Vector(0, 300, 0), Vector(0, 337, 0));
        if (i != 4) cube.toggle_plane(i);
    }
    cube.show_all = 1;
    return cube;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void expect_same_planes(const PlaneWidgetInCube& a, const PlaneWidgetInCube& b)
{
    ASSERT_EQ(a.planes.size(), b.planes.size());
    for (std::size_t i = 0; i < a.planes.size(); ++i) {
        const CutPlane& p = a.planes[i];
        const CutPlane& q = b.planes[i];
        EXPECT_EQ(p.centre, q.centre) << "plane " << i;
        EXPECT_EQ(p.normal, q.normal) << "plane " << i;
        EXPECT_EQ(p.corners, q.corners) << "plane " << i;
        EXPECT_EQ(p.base_corners, q.base_corners) << "plane " << i;
        EXPECT_EQ(std::vector<double>({p.a, p.b, p.c, p.d}), std::vector<double>({q.a, q.b, q.c, q.d}));
        EXPECT_EQ(p.handle.axis_mode, q.handle.axis_mode);
        EXPECT_TRUE(same(p.handle.transform, q.handle.transform)) << "plane " << i;
        EXPECT_TRUE(same(p.handle.last_rotation, q.handle.last_rotation)) << "plane " << i;
        EXPECT_TRUE(same(p.handle.this_rotation, q.handle.this_rotation)) << "plane " << i;
    }
    EXPECT_EQ(a.outlines, b.outlines);
    EXPECT_EQ(a.states, b.states);
    EXPECT_EQ(a.show_all, b.show_all);
}

std::string saved_text(const PlaneWidgetInCube& cube, const TempDir& dir)
{
    const std::string path = dir.file("state.slc");
    Captured out;
    cube.save(path, out);
    return slurp(path);
}

// 69 values of a default-looking plane line in the six-digit style.
std::string six_digit_plane_zero()
{
    return "P: 0 0 128 0 0 1 -128 128 128 128 128 128 128 -128 128 -128 -128 128 "
           "-128 128 128 128 128 128 128 -128 128 -128 -128 128 0 0 -65536 8.38861e+06 1 "
           "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 1 0 0 0 1 0 0 0 1 1 0 0 0 1 0 0 0 1\n";
}

}  // namespace

TEST(PlaneCube, EachPlaneStartsOnItsFaceAndTiltsAboutAxesInIt)
{
    const Vector normals[6] = {Vector(0, 0, 1),  Vector(0, 0, -1), Vector(1, 0, 0),
                               Vector(-1, 0, 0), Vector(0, 1, 0),  Vector(0, -1, 0)};
    // Axis of the left-button and the middle-button tilt for face ids 1..6.
    const int left_axis[6] = {0, 0, 2, 2, 0, 0};
    const int middle_axis[6] = {1, 1, 1, 1, 2, 2};
    for (int i = 0; i < 6; ++i)
        for (int button : {1, 2}) {
            SCOPED_TRACE("plane " + std::to_string(i) + " button " + std::to_string(button));
            PlaneWidgetInCube cube = cube_256();
            cube.toggle_plane(i);
            const CutPlane& p = cube.planes[std::size_t(i)];
            EXPECT_EQ(p.normal, normals[i]);
            EXPECT_EQ(p.centre, normals[i] * 128.0f);
            EXPECT_GT(side(p, Vector(0, 0, 0)), 0.0);  // the box is inside
            EXPECT_LT(side(p, normals[i] * 129.0f), 0.0);
            EXPECT_EQ(cube.outlines[std::size_t(i)].size(), 4u);
            expect_sound_outline(cube, i);

            drag(cube, button, Vector(300, 300, 0), Vector(450, 450, 0));
            const float along[3] = {p.normal.x, p.normal.y, p.normal.z};
            EXPECT_NEAR(along[button == 1 ? left_axis[i] : middle_axis[i]], 0.0f, 1e-6f);
            EXPECT_LT(p.normal.dot(normals[i]), 0.999f);
            EXPECT_NEAR((p.centre - normals[i] * 128.0f).length(), 0.0f, 1e-3f);  // about its own centre
            EXPECT_EQ(p.handle.map_mode, 0);
            EXPECT_FALSE(p.handle.dragging);
            expect_sound_outline(cube, i);
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

// The right button pushes out (up) and pulls in (down) along the normal,
// here 10 units out: past the box.
TEST(PlaneCube, PlanePushedOutOfTheBoxHasNoOutlineButStillClips)
{
    PlaneWidgetInCube cube = cube_256();
    cube.toggle_plane(6);
    cube.toggle_plane(-1);  // outside the six: ignored
    EXPECT_FALSE(cube.any_selected());
    for (const auto& outline : cube.outlines) EXPECT_TRUE(outline.empty());
    cube.toggle_plane(0);
    drag(cube, 3, Vector(0, 300, 0), Vector(0, 200, 0));
    EXPECT_TRUE(cube.outlines[0].empty());
    EXPECT_EQ(cube.planes[0].d, 138.0 * 65536.0);
    EXPECT_EQ(cube.planes[0].normal, Vector(0, 0, 1));
    EXPECT_GT(side(cube.planes[0], Vector(0, 0, 137)), 0.0);  // kept region grew
    EXPECT_LT(side(cube.planes[0], Vector(0, 0, 139)), 0.0);
    EXPECT_EQ(cube.planes[2].centre, Vector(128, 0, 0));  // not selected: untouched
    EXPECT_EQ(cube.outlines[1].size(), 4u);
    cube.toggle_plane(0);
    EXPECT_EQ(cube.states[0], -1);
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
    EXPECT_EQ(cube.outlines[2].size(), 4u);
}

TEST(PlaneCube, ResizeDiscardsPositionsSelectionsAndOutlines)
{
    PlaneWidgetInCube cube = cube_256();
    cube.toggle_plane(5);
    drag(cube, 3, Vector(0, 300, 0), Vector(0, 400, 0));
    cube.resize_cube(10.0f);
    EXPECT_FALSE(cube.any_selected());
    EXPECT_EQ(cube.planes[5].centre, Vector(0, -5, 0));
    EXPECT_EQ(cube.box_corners[0], Vector(-5, 5, 5));
    EXPECT_EQ(cube.box_corners[7], Vector(5, -5, -5));
    for (const auto& outline : cube.outlines) EXPECT_TRUE(outline.empty());

    // A box of size 0 clips nothing and never has outlines.
    cube.resize_cube(0.0f);
    for (const CutPlane& p : cube.planes) {
        EXPECT_EQ(std::vector<double>({p.a, p.b, p.c, p.d}), std::vector<double>(4, 0.0));
        for (const Vector& v : p.corners) EXPECT_EQ(v, Vector(0, 0, 0));
    }
    cube.toggle_plane(0);
    cube.show_all = 1;
    cube.reset_all();
    for (const auto& outline : cube.outlines) EXPECT_TRUE(outline.empty());
}

TEST(PlaneCube, ABoxFittedAroundAMeshSweepsInThreeHundredPixels)
{
    PlaneWidgetInCube cube = cube_256();
    cube.toggle_plane(4);
    cube.fit_around({1000.0f, 50.0f, 0.0f});
    // A tenth of the largest extent on every side; none selected.
    EXPECT_EQ(cube.size, (std::array<float, 3>{1200.0f, 250.0f, 200.0f}));
    EXPECT_FALSE(cube.any_selected());
    EXPECT_EQ(cube.planes[4].centre, Vector(0, 125, 0));
    // The y+ plane pushed in by 300 pixels lands on the y- face.
    cube.toggle_plane(4);
    drag(cube, 3, Vector(0, 100, 0), Vector(0, 400, 0));
    EXPECT_NEAR(cube.planes[4].centre.y, -125.0f, 1e-3f);
    // Tilting is unchanged by the box size.
    cube.fit_around({0.0f, 0.0f, 0.0f});
    EXPECT_EQ(cube.size, (std::array<float, 3>{1.2f, 1.2f, 1.2f}));
    cube.fit_around({NAN, INFINITY, 2.0f});
    EXPECT_EQ(cube.size, (std::array<float, 3>{0.4f, 0.4f, 2.4f}));
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

TEST(PlaneFile, DefaultPlanesOfA256Box)
{
    TempDir dir;
    const std::vector<std::string> lines = lines_of(saved_text(cube_256(), dir));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "SIZE: 6");
    // The normal's y is a negative zero from the cross product of the corners.
    EXPECT_EQ(lines[1],
              "P: 0 0 128 0 -0 1 -128 128 128 128 128 128 128 -128 128 -128 -128 128 "
              "-128 128 128 128 128 128 128 -128 128 -128 -128 128 0 0 -65536 8388608 1 "
              "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 1 0 0 0 1 0 0 0 1 1 0 0 0 1 0 0 0 1");
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].substr(0, 3), "P: ");
}

TEST(PlaneFile, SaveLoadSaveRestoresTiltedPlanesExactlyAndFailedSavesAreReported)
{
    TempDir dir;
    const PlaneWidgetInCube original = worked_cube();
    const std::string first = saved_text(original, dir);
    // The lines of the tilted planes 0, 3 and 4 run past 255 characters.
    const std::vector<std::string> lines = lines_of(first);
    for (std::size_t i : {1u, 4u, 5u}) EXPECT_GT(lines[i].size(), 255u);

    PlaneWidgetInCube fresh = cube_256();
    fresh.states = original.states;
    fresh.show_all = original.show_all;
    Captured out;
    EXPECT_EQ(printed(out, [&] { fresh.load(dir.file("state.slc"), out); }), "");
    expect_same_planes(original, fresh);
    EXPECT_EQ(saved_text(fresh, dir), first);

    // The restored planes drag on from where they were.
    PlaneWidgetInCube again = original;
    for (PlaneWidgetInCube* cube : {&again, &fresh}) drag(*cube, 1, Vector(10, 10, 0), Vector(10, 90, 0));
    expect_same_planes(again, fresh);

    // Loading keeps the selection and the show-all setting.
    PlaneWidgetInCube other = cube_256();
    other.toggle_plane(1);
    other.load(dir.file("state.slc"), out);
    EXPECT_EQ(other.states[1], 1);
    EXPECT_EQ(other.states[4], -1);
    EXPECT_EQ(other.show_all, 0);

    EXPECT_EQ(printed(out, [&] { original.save(dir.file("no/such/dir.slc"), out); }),
              "ERROR: SAVING FILE .CLP File! PlaneWidgetInCube::save(QString filename) " + dir.file("no/such/dir.slc") +
                  ": No such file or directory\n");
}

TEST(PlaneFile, ReadsSixDigitFilesAndFilesWithoutACountLine)
{
    TempDir dir;
    Captured out;
    PlaneWidgetInCube cube = worked_cube();
    const PlaneWidgetInCube before = cube;
    // No count line: the plane lines go into the current planes in order,
    // and a last line without a line end counts too.
    std::string line = six_digit_plane_zero();
    line.pop_back();
    cube.load(dir.write("one.slc", "# made by hand\n\n" + line), out);
    EXPECT_EQ(cube.planes[0].d, 8388610.0);
    EXPECT_EQ(cube.planes[0].normal, Vector(0, 0, 1));
    EXPECT_TRUE(same(cube.planes[0].handle.transform, ArcBall().transform));
    EXPECT_EQ(cube.outlines[0].size(), 4u);
    for (std::size_t i = 1; i < 6; ++i) EXPECT_EQ(cube.planes[i].corners, before.planes[i].corners);

    // Windows line ends, a leading "+" and exponent forms read like the rest.
    std::string file = "SIZE: 6\r\n";
    for (int i = 0; i < 6; ++i) file += six_digit_plane_zero().replace(3, 1, "+0.0e0");
    cube.load(dir.write("six.slc", file), out);
    for (const CutPlane& p : cube.planes) EXPECT_EQ(p.centre, Vector(0, 0, 128));
}

TEST(PlaneFile, UnsoundFilesChangeNothing)
{
    TempDir dir;
    const std::string good = six_digit_plane_zero();
    std::string short_line = good;
    short_line.erase(short_line.rfind(' '));
    std::string bad_number = good;
    bad_number.replace(3, 1, "zero");
    std::string bad_face = good;
    bad_face.replace(bad_face.find(" 1 1 0 0 0"), 2, " 9");
    std::string six;
    for (int i = 0; i < 6; ++i) six += good;

    struct Case {
        const char* name;
        std::string text;
        const char* problem;
    };
    const Case cases[] = {
        {"count5", "SIZE: 5\n" + good, "line 1: plane count 5, 6 expected"},
        {"short", "SIZE: 6\n" + good + good + short_line + "\n" + good + good + good,
         "line 4: plane line has 68 values, 69 expected"},
        {"seven", "SIZE: 6\n" + six + good, "line 8: more plane lines than the 6 planes"},
        {"number", bad_number, "line 1: value 1 \"zero\" is not a number"},
        {"face", bad_face, "line 1: face id 9 is not between 1 and 6"},
        {"prefix", "PLANE 1\n", "line 1: plane line does not start with \"P:\""},
        {"truncated", "SIZE: 6\n" + good + good + good, "line 1: no plane line for plane 4 after the count line"},
        {"midcount", good + good + "SIZE: 6\n" + good + good + good + good,
         "line 3: no plane line for plane 1 after the count line"},
        {"missing", "", "ERROR: OPENING FILE .CLP File! PlaneWidgetInCube::load() /n"},
        {"huge", std::string(2 << 20, '#'), "line 1: file larger than 1048576 bytes, not a plane file"},
    };
    Captured out;
    for (const Case& c : cases) {
        PlaneWidgetInCube cube = worked_cube();
        const PlaneWidgetInCube before = cube;
        const std::string path = c.text.empty() ? dir.file(c.name) : dir.write(std::string(c.name) + ".slc", c.text);
        const std::string expected = c.text.empty()
                                         ? std::string(c.problem) + " " + path + ": No such file or directory\n"
                                         : "ERROR: " + path + ": " + c.problem + " [PlaneWidgetInCube::load()]\n";
        EXPECT_EQ(printed(out, [&] { cube.load(path, out); }), expected) << c.name;
        expect_same_planes(before, cube);
    }
}
