#include "camera/Camera.h"
#include "level/Leaf.h"
#include "render/Frustum.h"

#include "GLContext.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {
class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::ensureGLContext();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 1.0, 1.25, 4000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // One frame's share of the camera, as the renderer calls it.
    static void frame(Camera& camera)
    {
        glPushMatrix();
        camera.applyView(0.016f);
        glPopMatrix();
    }

    static void expectPosition(const Camera& camera, float x, float y, float z)
    {
        EXPECT_NEAR(camera.getPosition().getX(), x, 1e-4);
        EXPECT_NEAR(camera.getPosition().getY(), y, 1e-4);
        EXPECT_NEAR(camera.getPosition().getZ(), z, 1e-4);
    }

    // Model-view matrix times (x, y, z, 1), column-major.
    static void transform(const float m[16], float x, float y, float z, float out[3])
    {
        for (int row = 0; row < 3; ++row)
            out[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
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

TEST_F(CameraTest, ApplyViewLoadsTheViewAndRebuildsTheFrustum)
{
    Camera camera(Point(10, 20, 30), &frustum);
    camera.turnRight(90); // heading +X
    camera.lookUp(30);
    camera.moveForward(2); // 10 units along +X
    glLoadIdentity();
    camera.applyView(0.0f);
    float view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    expectPosition(camera, 20, 20, 30);

    float eye[3];
    transform(view, 20, 20, 30, eye);
    EXPECT_NEAR(eye[0], 0, 1e-4);
    EXPECT_NEAR(eye[1], 0, 1e-4);
    EXPECT_NEAR(eye[2], 0, 1e-4);

    // Ten units along the heading, raised 30 degrees: straight ahead of the eye.
    const double pitchRadians = 30 * 0.017453292519943295;
    const float c = std::cos(pitchRadians), s = std::sin(pitchRadians);
    float ahead[3];
    transform(view, 20 + 10 * c, 20 + 10 * s, 30, ahead);
    EXPECT_NEAR(ahead[0], 0, 1e-4);
    EXPECT_NEAR(ahead[1], 0, 1e-4);
    EXPECT_NEAR(ahead[2], -10, 1e-4);

    // World +Z is to the eye's right when it faces +X.
    float right[3];
    transform(view, 20, 20, 40, right);
    EXPECT_NEAR(right[0], 10, 1e-4);
    EXPECT_NEAR(right[1], 0, 1e-4);
    EXPECT_NEAR(right[2], 0, 1e-4);

    // The near plane faces along the view direction, 1.25 units in front of the eye.
    const auto& near = frustum.getPlanes()[Frustum::nearPlane];
    EXPECT_NEAR(near[0], c, 1e-4);
    EXPECT_NEAR(near[1], s, 1e-4);
    EXPECT_NEAR(near[2], 0, 1e-4);
    EXPECT_NEAR(near[0] * 20 + near[1] * 20 + near[2] * 30 + near[3], -1.25, 1e-3);
}

TEST_F(CameraTest, CullingOffShowsEveryLeaf)
{
    Camera camera(Point(0, 0, 0), &frustum);
    glLoadIdentity();
    camera.applyView(0.0f);
    Leaf behind;
    behind.mins[0] = -10;
    behind.mins[1] = -10;
    behind.mins[2] = 100;
    behind.maxs[0] = 10;
    behind.maxs[1] = 10;
    behind.maxs[2] = 50;
    EXPECT_TRUE(camera.isCullingEnabled());
    EXPECT_FALSE(camera.isLeafVisible(behind));
    camera.disableCulling();
    EXPECT_TRUE(camera.isLeafVisible(behind));
    camera.enableCulling();
    EXPECT_FALSE(camera.isLeafVisible(behind));
}
