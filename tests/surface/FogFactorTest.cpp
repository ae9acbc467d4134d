#include "surface/FogFactor.h"

#include <gtest/gtest.h>

TEST(FogFactorTest, FogThickensWithTheDistanceInsideAndIsFullAtTheMaterialsDistance)
{
    struct Case {
        float inside, distance, factor;
    };
    const Case cases[] = {
        {0, 100, 0},    {25, 100, 0.4375f}, {50, 100, 0.75f}, {90, 100, 0.99f}, {100, 100, 1},
        {250, 100, 1},  {-5, 100, 0},       {10, 0, 1},       {0, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(FogFactor::of(c.inside, c.distance), c.factor, 1e-6f) << c.inside << " inside of " << c.distance;
}
