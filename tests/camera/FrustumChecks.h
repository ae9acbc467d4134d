#pragma once

#include "camera/Frustum.h"
#include "level/Leaf.h"

#include <gtest/gtest.h>

#include <cmath>

// Leaf boxes and plane checks the frustum tests share (with and without GL).
namespace frustumtest {

inline Leaf box(int x0, int y0, int z0, int x1, int y1, int z1)
{
    Leaf leaf;
    leaf.mins[0] = x0;
    leaf.mins[1] = y0;
    leaf.mins[2] = z0;
    leaf.maxs[0] = x1;
    leaf.maxs[1] = y1;
    leaf.maxs[2] = z1;
    return leaf;
}

inline void expectPlane(const Frustum::Plane& plane, double a, double b, double c, double d, const char* name)
{
    SCOPED_TRACE(name);
    EXPECT_NEAR(plane[0], a, 1e-5);
    EXPECT_NEAR(plane[1], b, 1e-5);
    EXPECT_NEAR(plane[2], c, 1e-5);
    EXPECT_NEAR(plane[3], d, 1e-5 + 1e-5 * std::abs(d)); // float matrices: relative error
}

} // namespace frustumtest
