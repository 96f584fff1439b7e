#include "core/ArcBall.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

namespace {

void expect_near(const Vector& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_NEAR(v.z, z, 1e-6f);
}

// Column-major rotation applied to a vector.
Vector rotate(const float* m, const Vector& v)
{
    return Vector(m[0] * v.x + m[3] * v.y + m[6] * v.z, m[1] * v.x + m[4] * v.y + m[7] * v.z,
                  m[2] * v.x + m[5] * v.y + m[8] * v.z);
}

bool is_identity(const float* m9)
{
    const float id[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int i = 0; i < 9; ++i)
        if (std::fabs(m9[i] - id[i]) > 1e-6f) return false;
    return true;
}

ArcBall bounded(float w = 500.0f, float h = 500.0f)
{
    ArcBall ball;
    ball.set_bounds(w, h);
    return ball;
}

}  // namespace

TEST(ArcBall, MapsCentreToPoleAndDragTurnsByTwiceTheArc)
{
    ArcBall ball = bounded();
    expect_near(ball.map_to_sphere(Vector(249.5f, 249.5f, 0.0f)), 0.0f, 0.0f, 1.0f);
    const float h = std::sqrt(0.5f);
    expect_near(ball.map_to_sphere(Vector(0.0f, 0.0f, 0.0f)), -h, h, 0.0f);
    // Screen y runs down, sphere y up.
    EXPECT_LT(ball.map_to_sphere(Vector(249.5f, 400.0f, 0.0f)).y, 0.0f);

    // A rightward drag turns the front of the ball to the right about the
    // vertical axis, by twice the arc from start to end vector.
    ball.click(Vector(249.5f, 249.5f, 0.0f));
    ball.drag(Vector(349.5f, 249.5f, 0.0f));
    const Vector front = rotate(ball.this_rotation, Vector(0.0f, 0.0f, 1.0f));
    EXPECT_NEAR(std::atan2(front.x, front.z), 2.0f * std::asin(ball.end_vector.x), 1e-5f);
    EXPECT_NEAR(front.y, 0.0f, 1e-6f);
    // The transform holds the same rotation, unscaled, and no translation.
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) EXPECT_FLOAT_EQ(ball.transform[c * 4 + r], ball.this_rotation[c * 3 + r]);
    EXPECT_FLOAT_EQ(ball.transform[12], 0.0f);
    EXPECT_FLOAT_EQ(ball.transform[15], 1.0f);
}

TEST(ArcBall, DragsBuildOnTheRotationAtTheClick)
{
    ArcBall ball = bounded();
    ball.click(Vector(100.0f, 200.0f, 0.0f));
    ball.drag(Vector(300.0f, 260.0f, 0.0f));
    EXPECT_FALSE(is_identity(ball.this_rotation));
    ball.drag(Vector(100.0f, 200.0f, 0.0f));  // back to the click point
    EXPECT_TRUE(is_identity(ball.this_rotation));

    ball.click(Vector(249.5f, 249.5f, 0.0f));
    ball.drag(Vector(299.5f, 249.5f, 0.0f));
    float first[9];
    std::copy(ball.this_rotation, ball.this_rotation + 9, first);
    ball.dragging = false;
    // A new click with no movement keeps the rotation; the same drag again
    // doubles the turn about the same axis.
    ball.click(Vector(10.0f, 10.0f, 0.0f));
    ball.drag(Vector(10.0f, 10.0f, 0.0f));
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(ball.this_rotation[i], first[i], 1e-6f);
    ball.click(Vector(249.5f, 249.5f, 0.0f));
    ball.drag(Vector(299.5f, 249.5f, 0.0f));
    const Vector z = rotate(ball.this_rotation, Vector(0.0f, 0.0f, 1.0f));
    const Vector once = rotate(first, Vector(0.0f, 0.0f, 1.0f));
    EXPECT_NEAR(std::atan2(z.x, z.z), 2.0f * std::atan2(once.x, once.z), 1e-5f);
}

// The map modes that limit a drag to one axis are checked through the
// clipping planes' tilts.
TEST(ArcBall, MoveTranslatesOnlyWhenPanning)
{
    ArcBall ball = bounded();
    ball.move(Vector(10.0f, 10.0f, 0.0f));
    EXPECT_TRUE(is_identity(ball.this_rotation));
    EXPECT_FLOAT_EQ(ball.transform[12], 0.0f);
    ball.panning = true;
    ball.last_point = Vector(0.0f, 0.0f, 0.0f, 0.0f);
    ball.move(Vector(8.0f, 16.0f, 0.0f));
    EXPECT_FLOAT_EQ(ball.transform[12], 1.0f);
    EXPECT_FLOAT_EQ(ball.transform[13], -2.0f);
}
