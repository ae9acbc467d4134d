#include "camera/Frustum.h"
#include "level/Leaf.h"

#include "FrustumChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using frustumtest::box;
using frustumtest::expectPlane;

TEST(FrustumTest, CornerExactlyOnAPlaneCountsAsOutside)
{
    // An orthographic volume of +-64 on every axis gives planes with exact coefficients:
    // the right plane is -x + 64 > 0, the near plane -z + 64 > 0.
    const float projection[16] = {1.0f / 64, 0, 0, 0, 0, 1.0f / 64, 0, 0, 0, 0, -1.0f / 64, 0, 0, 0, 0, 1};
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    Frustum frustum;
    frustum.extractPlanes(projection, identity);
    expectPlane(frustum.getPlanes()[Frustum::rightPlane], -1, 0, 0, 64, "right");

    EXPECT_FALSE(frustum.isLeafVisible(box(64, -10, -10, 100, 10, 10))) << "nearest corner on the right plane";
    EXPECT_TRUE(frustum.isLeafVisible(box(63, -10, -10, 100, 10, 10)));
    EXPECT_FALSE(frustum.isLeafVisible(box(-10, 64, -10, 10, 100, 10))) << "on the top plane";
    EXPECT_FALSE(frustum.isLeafVisible(box(-10, -10, 80, 10, 10, 64))) << "on the near plane, corners swapped";
    EXPECT_FALSE(frustum.isLeafVisible(box(64, 64, 64, 64, 64, 64))) << "a point on three planes";
}

// The leaf test may evaluate only the corner that maximises each plane's terms; it must
// answer exactly as trying all eight corners in double precision would, near the planes too.
TEST(FrustumTest, LeafTestAgreesWithEveryCornerTried)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> entry(-2.0f, 2.0f);
    std::uniform_int_distribution<int32_t> coordinate(-3000, 3000);
    for (int view = 0; view < 200; ++view) {
        float projection[16];
        float modelview[16];
        for (int i = 0; i < 16; ++i) {
            projection[i] = entry(random);
            modelview[i] = entry(random);
        }
        Frustum frustum;
        frustum.extractPlanes(projection, modelview);
        for (int box = 0; box < 200; ++box) {
            Leaf leaf;
            for (int axis = 0; axis < 3; ++axis) {
                leaf.mins[axis] = coordinate(random);
                leaf.maxs[axis] = box % 4 == 0 ? leaf.mins[axis] : coordinate(random);
            }
            bool expected = true;
            for (const Frustum::Plane& plane : frustum.getPlanes()) {
                bool passed = false;
                for (int corner = 0; corner < 8; ++corner) {
                    const double x = float((corner & 1) ? leaf.maxs[0] : leaf.mins[0]);
                    const double y = float((corner & 2) ? leaf.maxs[1] : leaf.mins[1]);
                    const double z = float((corner & 4) ? leaf.maxs[2] : leaf.mins[2]);
                    passed = passed || plane[0] * x + plane[1] * y + plane[2] * z + plane[3] > 0.0;
                }
                expected = expected && passed;
            }
            ASSERT_EQ(frustum.isLeafVisible(leaf), expected) << "view " << view << " box " << box;
        }
    }
}
