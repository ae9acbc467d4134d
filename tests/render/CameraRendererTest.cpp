#include "camera/Camera.h"
#include "camera/Frustum.h"
#include "level/Leaf.h"
#include "render/CameraRenderer.h"

#include "../camera/FrustumChecks.h"
#include "GLContext.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <cmath>

using frustumtest::box;
using frustumtest::expectPlane;

namespace {
// What applyView does after loading the view: the planes from GL's current matrices.
void extractFromGL(Frustum& frustum)
{
    float projection[16];
    float modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    frustum.extractPlanes(projection, modelview);
}

class CameraRendererTest : public ::testing::Test {
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

    static void expectPosition(const Camera& camera, float x, float y, float z)
    {
        EXPECT_NEAR(camera.getPosition().getX(), x, 1e-4);
        EXPECT_NEAR(camera.getPosition().getY(), y, 1e-4);
        EXPECT_NEAR(camera.getPosition().getZ(), z, 1e-4);
    }

    static void expectVec(const Vec3& v, float x, float y, float z)
    {
        EXPECT_NEAR(v.getX(), x, 1e-5);
        EXPECT_NEAR(v.getY(), y, 1e-5);
        EXPECT_NEAR(v.getZ(), z, 1e-5);
    }

    // Model-view matrix times (x, y, z, 1), column-major.
    static void transform(const float m[16], float x, float y, float z, float out[3])
    {
        for (int row = 0; row < 3; ++row)
            out[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    }

    Frustum frustum;
    CameraRenderer renderer;
};
} // namespace

TEST_F(CameraRendererTest, ApplyViewLoadsTheViewAndRebuildsTheFrustum)
{
    Camera camera(Point(10, 20, 30), &frustum);
    camera.turnRight(90); // heading +X
    camera.lookUp(30);
    camera.moveForward(2); // 10 units along +X
    glLoadIdentity();
    renderer.applyView(camera, 0.0f);
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

// Level mode flies along viewDirection and strafes along rightAxis: they must be where the drawn
// view looks and where its right hand points, at fractional headings and pitches too.
TEST_F(CameraRendererTest, TheViewLooksAlongTheCamerasViewDirection)
{
    const double poses[][2] = {{90, 0}, {0, 0}, {213.7, 41.25}, {-17.3, -88.9}, {359.99, 12.3}};
    for (const auto& [heading, pitch] : poses) {
        SCOPED_TRACE(std::to_string(heading) + " " + std::to_string(pitch));
        Camera camera(Point(5, -7, 11), &frustum);
        camera.setPitchLimit(Camera::freePitchLimit);
        camera.faceHeading(heading);
        camera.setPitch(pitch);
        glLoadIdentity();
        renderer.applyView(camera, 0.0f);
        float view[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, view);
        const Vec3 along = camera.viewDirection();
        const Vec3 right = camera.rightAxis();
        float ahead[3];
        transform(view, 5 + 10 * along.getX(), -7 + 10 * along.getY(), 11 + 10 * along.getZ(), ahead);
        EXPECT_NEAR(ahead[0], 0, 1e-3);
        EXPECT_NEAR(ahead[1], 0, 1e-3);
        EXPECT_NEAR(ahead[2], -10, 1e-3);
        float aside[3];
        transform(view, 5 + 10 * right.getX(), -7, 11 + 10 * right.getZ(), aside);
        EXPECT_NEAR(aside[0], 10, 1e-3);
        EXPECT_NEAR(aside[1], 0, 1e-3);
        EXPECT_NEAR(aside[2], 0, 1e-3);
    }
}

TEST_F(CameraRendererTest, CullingOffShowsEveryLeaf)
{
    Camera camera(Point(0, 0, 0), &frustum);
    glLoadIdentity();
    renderer.applyView(camera, 0.0f);
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
TEST_F(CameraRendererTest, DrawsGreenBallsWhereTheShotsAreAndTheGunRestoresState)
{
    testsupport::ensureGLContext();
    glViewport(0, 0, testsupport::contextWidth, testsupport::contextHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 1.25, 4000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    Camera camera(Point(0, 0, 0), &frustum);
    camera.fire();
    glPushMatrix();
    renderer.applyView(camera, 0.0f);
    float before[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    renderer.drawGun();
    float afterGun[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, afterGun);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(afterGun[i], before[i]);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    camera.advanceShots();
    renderer.drawShots(camera.shots());
    glPopMatrix();
    expectVec(camera.shots()[0].position(), 0, -2, -10);

    // Centre (0, -2, -10), radius 2: it covers the column below the window's centre.
    const auto pixel = testsupport::readPixel(32, 18);
    EXPECT_EQ(pixel.r, 0);
    EXPECT_EQ(pixel.g, 255);
    EXPECT_EQ(pixel.b, 0);
    const auto above = testsupport::readPixel(32, 50);
    EXPECT_EQ(above.g, 0);
}

TEST_F(CameraRendererTest, ShotsInOneBatchCoverWhatSingleBallsCover)
{
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE); // as the sky leaves it
    glFrontFace(GL_CW);     // as the designed frame's faces leave it
    glClearColor(0, 0, 0, 1);
    Camera camera(Point(0, 0, 0), &frustum);
    for (int i = 0; i < 3; ++i)
        camera.fire();
    camera.advanceShots(); // all three at (0, -2, -10): one ball on screen
    glPushMatrix();
    renderer.applyView(camera, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer.drawShotsInOneBatch(camera.shots());
    glPopMatrix();
    const auto pixel = testsupport::readPixel(32, 18);
    EXPECT_EQ(pixel.g, 255);
    EXPECT_EQ(pixel.r, 0);
    EXPECT_EQ(testsupport::readPixel(32, 50).g, 0);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE)) << "culling is left as it was";
    glDisable(GL_CULL_FACE);
}

TEST_F(CameraRendererTest, FrustumPlanesFromPerspectiveAndTurnedView)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Eye at (10, 0, 0) looking along +X: eye x' = world z, eye z' = -(world x - 10).
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glTranslatef(-10.0f, 0.0f, 0.0f);

    extractFromGL(frustum);
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

TEST_F(CameraRendererTest, FrustumLeafTestAgainstTheViewerProjection)
{
    // SetUp loaded the viewer's projection: 45 degrees, square window, near 1.25, far 4000.
    extractFromGL(frustum);

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
