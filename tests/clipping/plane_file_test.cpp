#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "clipping/PlaneWidgetInCube.h"
#include "tests/support/TempDir.h"

namespace {

template <typename A, typename B>
bool same(const A& a, const B& b)
{
    return std::equal(std::begin(a), std::end(a), std::begin(b), std::end(b));
}

PlaneWidgetInCube cube_256()
{
    PlaneWidgetInCube cube;
    cube.resize_cube(256, 256, 256);
    return cube;
}

// A cube with planes tilted both ways and pushed, one of them still selected.
PlaneWidgetInCube worked_cube()
{
    PlaneWidgetInCube cube = cube_256();
    const int order[3] = {0, 3, 4};
    for (int i : order) {
        cube.toggle_plane(i);
        cube.mouse_press(Vector(120, 130, 0), 1);
        cube.mouse_move(Vector(333, 351, 0));
        cube.mouse_release();
        cube.mouse_press(Vector(120, 130, 0), 2);
        cube.mouse_move(Vector(517, 211, 0));
        cube.mouse_release();
        cube.mouse_press(Vector(0, 300, 0), 3);
        cube.mouse_move(Vector(0, 337, 0));
        cube.mouse_release();
        if (i != 4) cube.toggle_plane(i);
    }
    cube.show_all = 1;
    return cube;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find('\n', pos);
        lines.push_back(text.substr(pos, end - pos));
        if (end == std::string::npos) break;
        pos = end + 1;
    }
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
        EXPECT_EQ(p.a, q.a);
        EXPECT_EQ(p.b, q.b);
        EXPECT_EQ(p.c, q.c);
        EXPECT_EQ(p.d, q.d);
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
    cube.save(path);
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

TEST(PlaneFile, DefaultPlanesOfA256Box)
{
    TempDir dir;
    const std::vector<std::string> lines = lines_of(saved_text(cube_256(), dir));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "SIZE: 6");
    // The normal's y is a negative zero from the cross product of the corners.
    EXPECT_EQ(lines[1], "P: 0 0 128 0 -0 1 -128 128 128 128 128 128 128 -128 128 -128 -128 128 "
                        "-128 128 128 128 128 128 128 -128 128 -128 -128 128 0 0 -65536 8388608 1 "
                        "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 1 0 0 0 1 0 0 0 1 1 0 0 0 1 0 0 0 1");
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].substr(0, 3), "P: ");
}

TEST(PlaneFile, SaveLoadSaveRestoresTiltedPlanesExactly)
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
    testing::internal::CaptureStdout();
    fresh.load(dir.file("state.slc"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    expect_same_planes(original, fresh);
    EXPECT_EQ(saved_text(fresh, dir), first);

    // The restored planes drag on from where they were.
    PlaneWidgetInCube again = original;
    for (PlaneWidgetInCube* cube : {&again, &fresh}) {
        cube->mouse_press(Vector(10, 10, 0), 1);
        cube->mouse_move(Vector(10, 90, 0));
        cube->mouse_release();
    }
    expect_same_planes(again, fresh);
}

TEST(PlaneFile, LoadingKeepsSelectionAndShowAll)
{
    TempDir dir;
    saved_text(worked_cube(), dir);
    PlaneWidgetInCube other = cube_256();
    other.toggle_plane(1);
    other.load(dir.file("state.slc"));
    EXPECT_EQ(other.states[1], 1);
    EXPECT_EQ(other.states[4], -1);
    EXPECT_EQ(other.show_all, 0);
}

TEST(PlaneFile, ReadsSixDigitFilesAndFilesWithoutACountLine)
{
    TempDir dir;
    PlaneWidgetInCube cube = worked_cube();
    const PlaneWidgetInCube before = cube;
    // No count line: the plane lines go into the current planes in order,
    // and a last line without a line end counts too.
    std::string line = six_digit_plane_zero();
    line.pop_back();
    cube.load(dir.write("one.slc", "# made by hand\n\n" + line));
    EXPECT_EQ(cube.planes[0].d, 8388610.0);
    EXPECT_EQ(cube.planes[0].normal, Vector(0, 0, 1));
    EXPECT_TRUE(same(cube.planes[0].handle.transform, ArcBall().transform));
    EXPECT_EQ(cube.outlines[0].size(), 4u);
    for (std::size_t i = 1; i < 6; ++i) EXPECT_EQ(cube.planes[i].corners, before.planes[i].corners);

    // Windows line ends, a leading "+" and exponent forms read like the rest.
    std::string file = "SIZE: 6\r\n";
    for (int i = 0; i < 6; ++i) file += six_digit_plane_zero().replace(3, 1, "+0.0e0");
    cube.load(dir.write("six.slc", file));
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
    };
    for (const Case& c : cases) {
        PlaneWidgetInCube cube = worked_cube();
        const PlaneWidgetInCube before = cube;
        const std::string path = dir.write(std::string(c.name) + ".slc", c.text);
        testing::internal::CaptureStdout();
        cube.load(path);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, "ERROR: " + path + ": " + c.problem + " [PlaneWidgetInCube::load()]\n") << c.name;
        expect_same_planes(before, cube);
    }
}

TEST(PlaneFile, FilesThatCannotBeOpenedAreReported)
{
    TempDir dir;
    PlaneWidgetInCube cube = worked_cube();
    const PlaneWidgetInCube before = cube;
    testing::internal::CaptureStdout();
    cube.load(dir.file("missing.slc"));
    cube.save(dir.file("no/such/dir.slc"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ERROR: OPENING FILE .CLP File! PlaneWidgetInCube::load() /n"
              "ERROR: SAVING FILE .CLP File! PlaneWidgetInCube::save(QString filename)\n");
    expect_same_planes(before, cube);

    // A huge file is refused before it is read.
    const std::string big = dir.write("big.slc", std::string(2 << 20, '#'));
    testing::internal::CaptureStdout();
    cube.load(big);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("larger than"), std::string::npos);
    expect_same_planes(before, cube);
}
