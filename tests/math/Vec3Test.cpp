#include "math/Point.h"
#include "math/Vec3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Vec3Test, LengthIsCachedAndFollowsSetters)
{
    Vec3 v(3.0f, 4.0f, 0.0f);
    EXPECT_FLOAT_EQ(v.length(), 5.0f);
    v.setZ(12.0f);
    EXPECT_FLOAT_EQ(v.length(), 13.0f);
    EXPECT_FLOAT_EQ(Vec3().length(), 0.0f);
    EXPECT_FLOAT_EQ(v.scaled(0.0f).length(), 0.0f);
}

TEST(Vec3Test, LengthRoundsTheSumOfSquaresToSinglePrecision)
{
    // 16777217 is not a float: the sum must be rounded before the root is taken.
    const Vec3 v(4096.0f, 0.0f, 1.0f);
    const float sum = 4096.0f * 4096.0f + 1.0f;
    EXPECT_EQ(v.length(), std::sqrt(sum));
    EXPECT_EQ(v.length(), 4096.0f);
}

TEST(Vec3Test, ArithmeticMakesNewVectorsAndLeavesOperands)
{
    const Vec3 a(0.0f, 0.0f, 5.0f);
    const Vec3 b(0.0f, 1.0f, 0.0f);
    const Vec3 c = a.cross(b);
    EXPECT_FLOAT_EQ(c.getX(), -5.0f);
    EXPECT_FLOAT_EQ(c.getY(), 0.0f);
    EXPECT_FLOAT_EQ(c.getZ(), 0.0f);
    EXPECT_FLOAT_EQ(c.length(), 5.0f);

    const Vec3 sum = a.plus(b);
    const Vec3 difference = a.minus(b);
    EXPECT_FLOAT_EQ(sum.getY(), 1.0f);
    EXPECT_FLOAT_EQ(difference.getY(), -1.0f);
    EXPECT_FLOAT_EQ(difference.length(), std::sqrt(26.0f));
    EXPECT_FLOAT_EQ(a.getZ(), 5.0f);
    EXPECT_FLOAT_EQ(b.getY(), 1.0f);
}

TEST(Vec3Test, NormalizeDividesByCachedLengthAndLeavesZeroAlone)
{
    Vec3 v(0.0f, 3.0f, 4.0f);
    v.normalize();
    EXPECT_FLOAT_EQ(v.getY(), 0.6f);
    EXPECT_FLOAT_EQ(v.getZ(), 0.8f);

    Vec3 zero;
    zero.normalize();
    EXPECT_EQ(zero.getX(), 0.0f);
    EXPECT_FALSE(std::isnan(zero.getY()));
}

TEST(Vec3Test, InsideBoxIsStrictAndRejectsNaN)
{
    const Vec3 min(1.0f, 0.0f, 0.0f);
    const Vec3 max(10.0f, 10.0f, 10.0f);
    EXPECT_FALSE(Vec3(1.0f, 5.0f, 5.0f).isInsideBox(min, max));
    EXPECT_FALSE(Vec3(5.0f, 5.0f, 10.0f).isInsideBox(min, max));
    EXPECT_TRUE(Vec3(1.5f, 5.0f, 9.5f).isInsideBox(min, max));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(Vec3(nan, 5.0f, 5.0f).isInsideBox(min, max));
}

TEST(PointTest, SubtractAndAddYChangeOnlyThePoint)
{
    Point p(1.0f, 2.0f, 3.0f);
    const Vec3 v(1.0f, 1.0f, 1.0f);
    p.subtract(v);
    p.addY(10.0f);
    EXPECT_FLOAT_EQ(p.getX(), 0.0f);
    EXPECT_FLOAT_EQ(p.getY(), 11.0f);
    EXPECT_FLOAT_EQ(p.getZ(), 2.0f);
    EXPECT_FLOAT_EQ(v.getX(), 1.0f);
    EXPECT_FLOAT_EQ(v.length(), std::sqrt(3.0f));
}
