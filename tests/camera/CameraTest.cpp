#include "camera/Camera.h"
#include "camera/Frustum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
class CameraTest : public ::testing::Test {
protected:
    // One frame's share of the camera's motion.
    static void frame(Camera& camera) { camera.applyPendingMove(); }

    static void expectPosition(const Camera& camera, float x, float y, float z)
    {
        EXPECT_NEAR(camera.getPosition().getX(), x, 1e-4);
        EXPECT_NEAR(camera.getPosition().getY(), y, 1e-4);
        EXPECT_NEAR(camera.getPosition().getZ(), z, 1e-4);
    }


    Frustum frustum;
};
} // namespace

TEST_F(CameraTest, ForwardMovesOneStepBeforeAnyTurnAndFiveAfter)
{
    Camera camera(Point(0, 0, 0), &frustum);
    camera.moveForward(5);
    frame(camera);
    expectPosition(camera, 0, 0, -5);

    camera.turnRight(0); // every purely vertical mouse motion does this
    EXPECT_FLOAT_EQ(camera.getForward().length(), 5.0f);
    camera.moveForward(5);
    frame(camera);
    expectPosition(camera, 0, 0, -30);

    frame(camera); // no input: the consumed move is not repeated
    expectPosition(camera, 0, 0, -30);
}

TEST_F(CameraTest, StrafesAlongX)
{
    Camera left(Point(0, 0, 0), &frustum);
    left.strafeLeft(5);
    frame(left);
    expectPosition(left, -5, 0, 0);

    Camera right(Point(0, 0, 0), &frustum);
    right.strafeRight(5);
    frame(right);
    expectPosition(right, 5, 0, 0);

    // After a quarter turn to the right the heading is +X and "right" is +Z.
    Camera turned(Point(0, 0, 0), &frustum);
    turned.turnRight(90);
    turned.strafeRight(5);
    frame(turned);
    expectPosition(turned, 0, 0, 25);
}

TEST_F(CameraTest, OnlyTheLastPendingMoveIsCarriedOut)
{
    Camera camera(Point(0, 0, 0), &frustum);
    camera.moveForward(5);
    camera.moveBackward(5);
    frame(camera);
    expectPosition(camera, 0, 0, 5);

    // A turn after a strafe keeps its distance and sign but swaps its axis for the heading.
    Camera strafed(Point(0, 0, 0), &frustum);
    strafed.strafeLeft(5);
    strafed.turnRight(0);
    frame(strafed);
    expectPosition(strafed, 0, 0, 25);
}

TEST_F(CameraTest, VerticalMotionIsImmediateAndKeepsThePendingMove)
{
    Camera camera(Point(1, 2, 3), &frustum);
    camera.moveForward(5);
    camera.moveUp(7);
    expectPosition(camera, 1, 9, 3);
    camera.moveDown(2);
    expectPosition(camera, 1, 7, 3);
    EXPECT_FLOAT_EQ(camera.getPendingMove(), 5.0f);
    frame(camera);
    expectPosition(camera, 1, 7, -2);
}

TEST_F(CameraTest, YawKeepsTheTruncatingRemainder)
{
    Camera camera(Point(0, 0, 0), &frustum);
    for (int press = 0; press < 180; ++press)
        camera.turnRight(2);
    EXPECT_EQ(camera.getYaw(), 0);
    camera.turnLeft(2);
    EXPECT_EQ(camera.getYaw(), -2);
    camera.turnLeft(357);
    EXPECT_EQ(camera.getYaw(), -359);
    camera.turnLeft(3);
    EXPECT_EQ(camera.getYaw(), -2);
    camera.turnRight(400);
    EXPECT_EQ(camera.getYaw(), 38);

    // forward = (-5 sin r, 0, 5 cos r) with the degree constant 0.017453292.
    const double radians = 38 * 0.017453292;
    EXPECT_EQ(camera.getForward().getX(), static_cast<float>(std::sin(radians) * -5.0));
    EXPECT_EQ(camera.getForward().getZ(), static_cast<float>(std::cos(radians) * 5.0));
    EXPECT_EQ(camera.getForward().getY(), 0.0f);
    EXPECT_EQ(camera.getMoveDirection().getX(), camera.getForward().getX());
}

TEST_F(CameraTest, PitchClampsAtSeventySeven)
{
    Camera camera(Point(0, 0, 0), &frustum);
    camera.lookUp(75);
    camera.lookUp(5);
    EXPECT_EQ(camera.getPitch(), 77);
    camera.lookUp(0);
    EXPECT_EQ(camera.getPitch(), 77);
    camera.lookDown(1);
    EXPECT_EQ(camera.getPitch(), 76);

    Camera down(Point(0, 0, 0), &frustum);
    down.lookDown(100);
    EXPECT_EQ(down.getPitch(), -77);
    down.lookUp(154);
    EXPECT_EQ(down.getPitch(), 77);
}

TEST_F(CameraTest, LevelModeLooksByFractionsUpToEightyNine)
{
    Camera camera(Point(0, 0, 0), &frustum);
    camera.setPitchLimit(Camera::freePitchLimit);
    camera.lookUp(88.5);
    EXPECT_EQ(camera.getPitch(), 88.5);
    camera.lookUp(0.75);
    EXPECT_EQ(camera.getPitch(), 89);
    camera.setPitch(-120);
    EXPECT_EQ(camera.getPitch(), -89);
    camera.turnRight(0.15);
    camera.turnRight(0.15);
    EXPECT_NEAR(camera.heading(), 89.7, 1e-9);
}
