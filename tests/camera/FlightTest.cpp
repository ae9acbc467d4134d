#include "camera/Camera.h"
#include "camera/Flight.h"
#include "camera/Frustum.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Motion = Flight::Motion;

namespace {
struct Pose {
    float x, y, z;
    double heading, pitch;
};

Pose flown(const std::vector<Motion>& held, bool fast, double seconds, double startPitch = 0)
{
    Frustum frustum;
    Camera camera(Point(0, 0, 0), &frustum);
    camera.setPitchLimit(Camera::freePitchLimit);
    camera.setPitch(startPitch);
    Flight flight;
    for (const Motion motion : held)
        flight.hold(motion);
    flight.setFast(fast);
    flight.advance(camera, seconds);
    const Point& eye = camera.getPosition();
    return {eye.getX(), eye.getY(), eye.getZ(), camera.heading(), camera.getPitch()};
}
} // namespace

// A new camera faces heading 90, world -Z; its right hand is world +X. (Each key's own direction
// and speed, at two frame rates, is tested through the viewer.)
TEST(FlightTest, HeldMotionsCombineTurnAndStopAtTheirLimits)
{
    struct Case {
        const char* name;
        std::vector<Motion> held;
        bool fast;
        double seconds;
        Pose expected;
        double startPitch = 0;
    };
    const Case cases[] = {
        {"diagonal keeps the speed", {Motion::forward, Motion::right}, false, 0.25, {70.71068f, 0, -70.71068f, 90, 0}},
        {"opposites cancel", {Motion::forward, Motion::backward}, false, 0.25, {0, 0, 0, 90, 0}},
        {"forward follows the pitch", {Motion::forward}, false, 0.25, {0, 50, -86.60254f, 90, 30}, 30},
        {"turn left", {Motion::turnLeft}, false, 0.25, {0, 0, 0, 112.5, 0}},
        {"turn right fast turns at the same rate", {Motion::turnRight}, true, 0.25, {0, 0, 0, 67.5, 0}},
        {"look up", {Motion::lookUp}, false, 0.2, {0, 0, 0, 90, 18}},
        {"look down stops at the limit", {Motion::lookDown}, false, 0.25, {0, 0, 0, 90, -89}, -80},
        {"a long frame counts as a quarter second", {Motion::forward}, false, 3.0, {0, 0, -100, 90, 0}},
        {"a clock going back moves nothing", {Motion::forward}, false, -1.0, {0, 0, 0, 90, 0}},
        {"nothing held", {}, true, 0.25, {0, 0, 0, 90, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Pose pose = flown(c.held, c.fast, c.seconds, c.startPitch);
        EXPECT_NEAR(pose.x, c.expected.x, 1e-3);
        EXPECT_NEAR(pose.y, c.expected.y, 1e-3);
        EXPECT_NEAR(pose.z, c.expected.z, 1e-3);
        EXPECT_NEAR(pose.heading, c.expected.heading, 1e-9);
        EXPECT_NEAR(pose.pitch, c.expected.pitch, 1e-9);
    }
}

TEST(FlightTest, ATapBetweenTwoFramesIsOneFramesNudge)
{
    Frustum frustum;
    Camera camera(Point(0, 0, 0), &frustum);
    Flight flight(100);
    flight.hold(Motion::backward);
    flight.release(Motion::backward);
    flight.advance(camera, 0.1);
    flight.advance(camera, 0.1);
    EXPECT_NEAR(camera.getPosition().getZ(), 10, 1e-4);

    flight.hold(Motion::up); // letting go of everything (the window lost) forgets taps too
    flight.releaseAll();
    flight.advance(camera, 0.1);
    EXPECT_EQ(camera.getPosition().getY(), 0);
}

// Halving and doubling stop at 25 and 6400 units a second; a speed set outside them moves only
// toward them.
TEST(FlightTest, SteppedSpeedsStayWithinTheirRange)
{
    const struct {
        double start;
        const char* steps; // '+' doubles, '-' halves
        double expected;
    } cases[] = {
        {400, "++", 1600},     {400, "++++", 6400}, {400, "+++++", 6400}, {400, "----", 25},
        {400, "-----", 25},    {400, "+-", 400},    {5000, "+", 6400},    {30, "-", 25},
        {10, "-", 10},         {10, "+", 20},       {100000, "+", 100000}, {100000, "-", 50000},
    };
    for (const auto& c : cases) {
        Flight flight(c.start);
        for (const char* step = c.steps; *step; ++step)
            *step == '+' ? flight.doubleSpeed() : flight.halveSpeed();
        EXPECT_EQ(flight.unitsPerSecond(), c.expected) << c.start << " " << c.steps;
    }
}
