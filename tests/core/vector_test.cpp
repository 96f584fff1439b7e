#include <gtest/gtest.h>

#include <cmath>

#include "core/Vector.h"

TEST(Vector, NormalFromPointsFollowsArgumentOrder)
{
    const Vector a(0, 0, 0), b(1, 0, 0), c(0, 1, 0);
    Vector n;
    n.normal_from_points(c, b, a);
    EXPECT_EQ(n, Vector(0, 0, 1));
    n.normal_from_points(a, b, c);
    EXPECT_EQ(n, Vector(0, 0, -1));
}

TEST(Vector, NormaliseDividesAllFourAndCachesLength)
{
    Vector v(3, 4, 0, 1);
    v.normalise();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    EXPECT_FLOAT_EQ(v.w, 0.2f);
    EXPECT_EQ(v.len, 5.0f);
    Vector zero(0, 0, 0);
    zero.normalise();
    EXPECT_TRUE(std::isnan(zero.x));
}

TEST(Vector, InPlaceScalingKeepsW_ProductScalesIt)
{
    Vector v(1, 2, 3, 1);
    v *= 2.0f;
    EXPECT_EQ(v.w, 1.0f);
    EXPECT_EQ((Vector(1, 2, 3, 1) * 2.0f).w, 2.0f);
    EXPECT_EQ((2.0f * Vector(1, 2, 3, 1)).w, 2.0f);
}

TEST(Vector, ComparisonIgnoresW_AssignmentSkipsLength)
{
    EXPECT_TRUE(Vector(1, 2, 3, 1) == Vector(1, 2, 3, 9));
    EXPECT_TRUE(Vector(1, 2, 3) < Vector(1, 3, 0));
    EXPECT_FALSE(Vector(1, 2, 3) < Vector(1, 2, 3));
    Vector a(3, 4, 0);
    a.length();
    Vector b(1, 0, 0);
    b.length();
    b = a;
    EXPECT_EQ(b.len, 1.0f);
}
