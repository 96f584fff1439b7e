#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "core/ArcBall.h"

namespace {

using Matrix3 = std::array<float, 9>;

// Column-major 3 x 3 product a · b.
Matrix3 product(const Matrix3& a, const Matrix3& b)
{
    Matrix3 r{};
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row)
            for (int k = 0; k < 3; ++k) r[c * 3 + row] += a[k * 3 + row] * b[c * 3 + k];
    return r;
}

Vector rotated(const Matrix3& m, const Vector& v)
{
    return Vector(m[0] * v.x + m[3] * v.y + m[6] * v.z, m[1] * v.x + m[4] * v.y + m[7] * v.z,
                  m[2] * v.x + m[5] * v.y + m[8] * v.z);
}

void expect_near(const Matrix3& a, const Matrix3& b, float tolerance = 1e-5f)
{
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(a[i], b[i], tolerance) << "element " << i;
}

const Matrix3 identity{1, 0, 0, 0, 1, 0, 0, 0, 1};

ArcBall ball_500()
{
    ArcBall ball;
    ball.set_bounds(500, 500);
    return ball;
}

}  // namespace

TEST(ArcBall, MapsCentreToPoleAndCornerToRim)
{
    const ArcBall ball = ball_500();
    const Vector centre = ball.map_to_sphere(Vector(249.5f, 249.5f, 0));
    EXPECT_NEAR(centre.x, 0.0f, 1e-6f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-6f);
    EXPECT_NEAR(centre.z, 1.0f, 1e-6f);
    const Vector corner = ball.map_to_sphere(Vector(0, 0, 0));
    EXPECT_NEAR(corner.x, -std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(corner.y, std::sqrt(0.5f), 1e-6f);
    EXPECT_EQ(corner.z, 0.0f);
}

TEST(ArcBall, MapModesRestrictTheMappedWindowAxis)
{
    ArcBall ball = ball_500();
    ball.map_mode = 1;  // x passes through, y is mapped
    Vector m = ball.map_to_sphere(Vector(0, 249.5f, 0));
    EXPECT_NEAR(m.x, 0.0f, 1e-6f);
    EXPECT_NEAR(m.y, 0.0f, 1e-6f);
    EXPECT_NEAR(m.z, 1.0f, 1e-6f);
    ball.map_mode = 2;  // y passes through, x is mapped
    m = ball.map_to_sphere(Vector(249.5f, 0, 0));
    EXPECT_NEAR(m.z, 1.0f, 1e-6f);
    ball.map_mode = 7;  // neither: both pass through, then onto the rim
    m = ball.map_to_sphere(Vector(3, 4, 0));
    EXPECT_NEAR(m.x, 0.6f, 1e-6f);
    EXPECT_NEAR(m.y, 0.8f, 1e-6f);
    EXPECT_EQ(m.z, 0.0f);
}

TEST(ArcBall, HorizontalDragTurnsAboutTheVerticalAxisByTwiceTheSphereAngle)
{
    ArcBall ball = ball_500();
    ball.click(Vector(249.5f, 249.5f, 0));
    ball.move(Vector(349.5f, 249.5f, 0));
    const Vector end = ball.end_vector;
    const float half = std::atan2(end.x, end.z);
    const Matrix3 expected{std::cos(2 * half), 0, -std::sin(2 * half), 0, 1, 0,
                           std::sin(2 * half), 0, std::cos(2 * half)};
    expect_near(ball.this_rotation, expected);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(ball.transform[c * 4 + r], ball.this_rotation[c * 3 + r]);
    EXPECT_EQ(ball.transform[15], 1.0f);
}

TEST(ArcBall, ReturningToTheClickPointRestoresTheRotationAtTheClick)
{
    ArcBall ball = ball_500();
    ball.click(Vector(100, 100, 0));
    ball.move(Vector(300, 180, 0));
    ball.dragging = false;
    const Matrix3 first = ball.this_rotation;

    ball.click(Vector(200, 400, 0));
    ball.move(Vector(260, 90, 0));
    EXPECT_NE(ball.this_rotation, first);
    ball.move(Vector(200, 400, 0));
    EXPECT_EQ(ball.this_rotation, first);
    EXPECT_EQ(ball.last_rotation, first);
}

TEST(ArcBall, SuccessiveDragsAccumulate)
{
    ArcBall ball = ball_500();
    ball.click(Vector(249.5f, 249.5f, 0));
    ball.move(Vector(300, 200, 0));
    ball.dragging = false;
    const Matrix3 once = ball.this_rotation;
    ball.click(Vector(249.5f, 249.5f, 0));
    ball.move(Vector(300, 200, 0));
    expect_near(ball.this_rotation, product(once, once));

    // Still a rotation: columns of unit length, determinant 1.
    const Vector x = rotated(ball.this_rotation, Vector(1, 0, 0));
    const Vector y = rotated(ball.this_rotation, Vector(0, 1, 0));
    const Vector z = rotated(ball.this_rotation, Vector(0, 0, 1));
    Vector xy;
    xy.cross(x, y);
    EXPECT_NEAR(xy.dot(z), 1.0f, 1e-5f);
}

TEST(ArcBall, RestrictedMapModeIgnoresTheOtherWindowAxis)
{
    ArcBall ball;
    ball.set_bounds(800, 800);
    ball.map_mode = 1;
    ball.click(Vector(0, 300, 0));
    ball.move(Vector(0, 300, 0));
    EXPECT_EQ(ball.this_rotation, identity);
    ball.move(Vector(0, 500, 0));
    // Only y moved: the axis is the window's x axis, so x stays put.
    const Vector x = rotated(ball.this_rotation, Vector(1, 0, 0));
    EXPECT_NEAR(x.x, 1.0f, 1e-6f);
    EXPECT_NE(ball.this_rotation, identity);

    ArcBall horizontal;
    horizontal.set_bounds(800, 800);
    horizontal.map_mode = 2;
    horizontal.click(Vector(300, 0, 0));
    horizontal.move(Vector(500, 0, 0));
    const Vector y = rotated(horizontal.this_rotation, Vector(0, 1, 0));
    EXPECT_NEAR(y.y, 1.0f, 1e-6f);
    EXPECT_NE(horizontal.this_rotation, identity);
}

TEST(ArcBall, AxisModePermutesTheRotationAxis)
{
    // A vertical drag turns about x; axis modes 3 and 4 carry that to z,
    // 5 and 6 keep x; an unknown mode gives no rotation at all.
    const auto fixed_axis = [](int axis_mode) {
        ArcBall ball;
        ball.set_bounds(800, 800);
        ball.map_mode = 1;
        ball.axis_mode = axis_mode;
        ball.click(Vector(0, 300, 0));
        ball.move(Vector(0, 500, 0));
        return ball.this_rotation;
    };
    EXPECT_NEAR(rotated(fixed_axis(1), Vector(1, 0, 0)).x, 1.0f, 1e-6f);
    EXPECT_NEAR(rotated(fixed_axis(3), Vector(0, 0, 1)).z, 1.0f, 1e-6f);
    EXPECT_LT(rotated(fixed_axis(3), Vector(1, 0, 0)).x, 0.99f);
    EXPECT_NEAR(rotated(fixed_axis(6), Vector(1, 0, 0)).x, 1.0f, 1e-6f);
    EXPECT_EQ(fixed_axis(9), identity);
}

TEST(ArcBall, DragKeepsTranslationAndUniformScale)
{
    ArcBall ball = ball_500();
    for (int i : {0, 5, 10}) ball.transform[std::size_t(i)] = 2.0f;
    ball.transform[12] = 7.0f;
    ball.transform[14] = -3.0f;
    ball.click(Vector(249.5f, 249.5f, 0));
    ball.move(Vector(320, 260, 0));
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            EXPECT_NEAR(ball.transform[c * 4 + r], 2.0f * ball.this_rotation[c * 3 + r], 1e-6f);
    EXPECT_EQ(ball.transform[12], 7.0f);
    EXPECT_EQ(ball.transform[14], -3.0f);
}

TEST(ArcBall, PanAndZoomMoveTheTranslation)
{
    ArcBall ball = ball_500();
    ball.panning = true;
    ball.last_point = Vector(100, 100, 0);
    ball.move(Vector(116, 108, 0));
    EXPECT_EQ(ball.transform[12], 2.0f);
    EXPECT_EQ(ball.transform[13], -1.0f);
    EXPECT_EQ(ball.last_point, Vector(116, 108, 0));

    ArcBall zoom = ball_500();
    zoom.zooming = true;
    zoom.last_point = Vector(249.5f, 149.5f, 0);
    zoom.move(Vector(249.5f, 249.5f, 0));  // the centre maps to z = 1
    EXPECT_NEAR(zoom.transform[14], 100 * 0.005f * 2, 1e-5f);
    zoom.move(Vector(0, 149.5f, 0));  // same y as last_point: nothing
    EXPECT_NEAR(zoom.transform[14], 1.0f, 1e-5f);
}
