#include "camera/Camera.h"
#include "camera/Frustum.h"
#include "camera/MouseLook.h"

#include <gtest/gtest.h>

namespace {
constexpr int width = 400; // centre (200, 150); the pointer is warped beyond 75 pixels from it
constexpr int height = 300;

struct Motion {
    int x, y;
    bool warp;      // whether the pointer is to be warped back now
    double heading; // the camera's after the motion (it starts at 90)
    double pitch;
};
} // namespace

TEST(MouseLookTest, TurnsByThePixelsMovedAndWarpsWithoutCountingTheWarp)
{
    Frustum frustum;
    Camera camera(Point(0, 0, 0), &frustum);
    MouseLook look(0.5);
    EXPECT_FALSE(look.moved(260, 150, width, height, camera)) << "a free pointer turns nothing";
    EXPECT_EQ(camera.heading(), 90);

    EXPECT_TRUE(look.hold(210, 150, width, height)) << "held off centre: warped there";
    const Motion motions[] = {
        {200, 150, false, 90, 0},   // the warp's own motion
        {220, 140, false, 80, 5},   // right 20, up 10
        {300, 140, true, 40, 5},    // beyond the reach: warp
        {310, 140, false, 35, 5},   // queued before the warp arrived: still counts from 300
        {200, 150, false, 35, 5},   // the warp
        {190, 170, false, 40, -5},  // left 10, down 20, from the centre
        {200, 150, false, 35, 5},   // a real motion back to the centre counts, no warp pending
    };
    for (const Motion& m : motions) {
        SCOPED_TRACE(std::to_string(m.x) + "," + std::to_string(m.y));
        EXPECT_EQ(look.moved(m.x, m.y, width, height, camera), m.warp);
        EXPECT_NEAR(camera.heading(), m.heading, 1e-9);
        EXPECT_NEAR(camera.getPitch(), m.pitch, 1e-9);
    }

    look.release();
    EXPECT_FALSE(look.moved(100, 100, width, height, camera));
    EXPECT_NEAR(camera.heading(), 35, 1e-9);
    EXPECT_FALSE(look.hold(200, 150, width, height)) << "held at the centre: no warp, which would bring no motion";
    EXPECT_FALSE(look.moved(200, 160, width, height, camera));
    EXPECT_NEAR(camera.getPitch(), 0, 1e-9);
}
