#include "level/Leaf.h"
#include "render/Frustum.h"

#include "GLContext.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {
Leaf box(int x0, int y0, int z0, int x1, int y1, int z1)
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

void expectPlane(const Frustum::Plane& plane, double a, double b, double c, double d, const char* name)
{
    SCOPED_TRACE(name);
    EXPECT_NEAR(plane[0], a, 1e-5);
    EXPECT_NEAR(plane[1], b, 1e-5);
    EXPECT_NEAR(plane[2], c, 1e-5);
    EXPECT_NEAR(plane[3], d, 1e-5 + 1e-5 * std::abs(d)); // float matrices: relative error
}

// The application's projection: 45 degrees, square window, near 1.25, far 4000.
void loadViewerProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 1.25, 4000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
} // namespace

TEST(FrustumTest, PlanesFromPerspectiveAndTurnedView)
{
    testsupport::ensureGLContext();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Eye at (10, 0, 0) looking along +X: eye x' = world z, eye z' = -(world x - 10).
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glTranslatef(-10.0f, 0.0f, 0.0f);

    Frustum frustum;
    frustum.extractPlanes();
    const auto& planes = frustum.getPlanes();
    const double h = std::sqrt(0.5);
    expectPlane(planes[Frustum::rightPlane], h, 0, -h, -10 * h, "right");
    expectPlane(planes[Frustum::leftPlane], h, 0, h, -10 * h, "left");
    expectPlane(planes[Frustum::bottomPlane], h, h, 0, -10 * h, "bottom");
    expectPlane(planes[Frustum::topPlane], h, -h, 0, -10 * h, "top");
    expectPlane(planes[Frustum::farPlane], -1, 0, 0, 110, "far");
    expectPlane(planes[Frustum::nearPlane], 1, 0, 0, -11, "near");
    for (const auto& plane : planes)
        EXPECT_NEAR(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2], 1.0, 1e-12);
}

TEST(FrustumTest, LeafTestAgainstTheViewerProjection)
{
    testsupport::ensureGLContext();
    loadViewerProjection();
    Frustum frustum;
    frustum.extractPlanes();

    EXPECT_TRUE(frustum.isLeafVisible(box(-10, -10, -110, 10, 10, -90))) << "straight ahead";
    EXPECT_TRUE(frustum.isLeafVisible(box(0, -10, -110, 1000, 10, -90))) << "straddles the right plane";
    EXPECT_FALSE(frustum.isLeafVisible(box(500, -10, -110, 1000, 10, -90))) << "wholly right of the view";
    EXPECT_TRUE(frustum.isLeafVisible(box(-9000, -9000, -9000, 9000, 9000, 9000))) << "surrounds the volume";
    EXPECT_FALSE(frustum.isLeafVisible(box(-50, -50, 10, 50, 50, 60))) << "behind the eye";
    EXPECT_FALSE(frustum.isLeafVisible(box(-50, -50, -5000, 50, 50, -4100))) << "beyond the far plane";
    EXPECT_TRUE(frustum.isLeafVisible(box(-50, -50, -3990, 50, 50, -5000))) << "reaches in from beyond far";
    // Stored corners as the level holds them: the minimum corner carries the larger Z.
    EXPECT_TRUE(frustum.isLeafVisible(box(-10, -10, -90, 10, 10, -110)));
    EXPECT_FALSE(frustum.isLeafVisible(box(-50, -50, 60, 50, 50, 10)));
}

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
