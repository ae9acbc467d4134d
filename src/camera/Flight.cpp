#include "camera/Flight.h"

#include "camera/Camera.h"

#include <algorithm>
#include <cmath>

void Flight::releaseAll()
{
    held.fill(false);
    pressed.fill(false);
}

void Flight::halveSpeed() { speed = std::max(speed / 2, std::min(speed, slowestStepped)); }

void Flight::doubleSpeed() { speed = std::min(speed * 2, std::max(speed, fastestStepped)); }

void Flight::turn(Camera& camera, double seconds) const
{
    const double degrees = turnDegreesPerSecond * std::clamp(seconds, 0.0, longestStep);
    camera.turnRight(degrees * axis(Motion::turnRight, Motion::turnLeft));
    camera.lookUp(degrees * axis(Motion::lookUp, Motion::lookDown));
}

void Flight::advance(Camera& camera, double seconds)
{
    const double step = std::clamp(seconds, 0.0, longestStep);
    turn(camera, seconds);

    // Turned first, so a frame moves along the heading it is drawn with.
    const Vec3 along = camera.viewDirection().scaled(float(axis(Motion::forward, Motion::backward)));
    const Vec3 aside = camera.rightAxis().scaled(float(axis(Motion::right, Motion::left)));
    const Vec3 rise(0.0f, float(axis(Motion::up, Motion::down)), 0.0f);
    Vec3 direction = along.plus(aside).plus(rise);
    direction.normalize(); // nothing held leaves it zero
    camera.moveBy(direction.scaled(float(speed * (fast ? fastFactor : 1.0) * step)));
    frameDone();
}

bool Flight::isMoving() const
{
    for (std::size_t i = 0; i < motionCount; ++i)
        if (held[i] || pressed[i])
            return true;
    return false;
}
