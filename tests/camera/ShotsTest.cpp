#include "camera/Camera.h"
#include "camera/Frustum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
void expectVec(const Vec3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.getX(), x, 1e-5);
    EXPECT_NEAR(v.getY(), y, 1e-5);
    EXPECT_NEAR(v.getZ(), z, 1e-5);
}
} // namespace

TEST(ShotsTest, FiresFromTwoBelowTheEyeAlongTheHeading)
{
    Frustum frustum;
    Camera camera(Point(1, 10, 3), &frustum);
    camera.fire();
    camera.fire(); // several presses between frames start at the same place
    ASSERT_EQ(camera.shots().size(), 2u);
    for (const Shot& shot : camera.shots()) {
        expectVec(shot.position(), 1, 8, 3);
        expectVec(shot.getDirection(), 0, 0, 1);
    }

    Shot& shot = camera.shots()[0];
    shot.advance();
    expectVec(shot.position(), 1, 8, -7); // 10 units along the view, level
}

TEST(ShotsTest, PitchClimbsSteeplyBeforeTheFirstTurnAndGentlyAfter)
{
    Frustum frustum;
    Camera camera(Point(0, 0, 0), &frustum);
    camera.lookUp(40);
    camera.fire();
    const float steep = 1.0f / std::sqrt(26.0f);
    expectVec(camera.shots().back().getDirection(), 0, -5 * steep, steep);

    camera.turnRight(0);
    camera.fire();
    const float gentle = 1.0f / std::sqrt(50.0f);
    expectVec(camera.shots().back().getDirection(), 0, -5 * gentle, 5 * gentle);

    Shot shot = camera.shots().back();
    const Vec3 before = shot.position();
    shot.advance();
    EXPECT_NEAR(before.minus(shot.position()).length(), 10.0f, 1e-4);
    EXPECT_GT(shot.position().getY(), before.getY()) << "looking up, the shot rises";
}

TEST(ShotsTest, PruningEmptiesTheListAtTheFirstShotOutside)
{
    Frustum frustum;
    const Vec3 minCorner(-100, -100, -100);
    const Vec3 maxCorner(100, 100, 100);

    Camera camera(Point(0, 2, 0), &frustum);
    camera.fire();
    camera.fire();
    camera.pruneShots(minCorner, maxCorner);
    EXPECT_EQ(camera.shots().size(), 2u) << "both strictly inside";

    // The first shot crosses the box face; the second, still inside, goes with it.
    for (int frame = 0; frame < 10; ++frame)
        camera.shots()[0].advance();
    camera.pruneShots(minCorner, maxCorner);
    EXPECT_TRUE(camera.shots().empty());

    // A shot exactly on a face is outside: fired from z = 100 it sits on the max face.
    Camera onFace(Point(0, 2, 100), &frustum);
    onFace.fire();
    onFace.pruneShots(minCorner, maxCorner);
    EXPECT_TRUE(onFace.shots().empty());
}

TEST(ShotsTest, TheShotListIsBoundedAndNeverReallocates)
{
    Frustum frustum;
    Camera camera(Point(0, 0, 0), &frustum);
    EXPECT_GE(camera.shots().capacity(), Camera::maxShots);
    camera.fire();
    const Shot* const storage = camera.shots().data();
    for (std::size_t press = 0; press < Camera::maxShots + 50; ++press)
        camera.fire();
    EXPECT_EQ(camera.shots().size(), Camera::maxShots);
    EXPECT_EQ(camera.shots().data(), storage);

    camera.pruneShots(Vec3(1, 1, 1), Vec3(2, 2, 2));
    EXPECT_TRUE(camera.shots().empty());
    camera.fire();
    EXPECT_EQ(camera.shots().size(), 1u) << "firing works again once the list is pruned";
    EXPECT_EQ(camera.shots().data(), storage);
}
