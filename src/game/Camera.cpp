#include "game/Camera.h"

#include "game/Frustum.h"
#include "level/Leaf.h"

#include <cmath>

namespace {
constexpr int32_t pitchLimit = 77;          // degrees either way
constexpr double radiansPerDegree = 0.017453292;
constexpr float forwardLengthAfterTurn = 5.0f;
constexpr float shotDropBelowEye = 2.0f;
constexpr double shotClimbPerDegree = 0.125;
} // namespace

Camera::Camera(const Point& start, Frustum* frustum)
    : up(0.0f, 1.0f, 0.0f), forward(0.0f, 0.0f, 1.0f), frustum(frustum), position(start)
{
    moveDirection = forward;
    // Reserved once so that firing and drawing never allocate in a frame.
    shotsInFlight.reserve(maxShots);
}

// ---- motion ----

void Camera::setPendingMove(float distance, bool subtracts, const Vec3& axis)
{
    pendingMove = distance;
    moveSubtracts = subtracts;
    moveDirection = axis;
}

void Camera::moveForward(float distance) { setPendingMove(distance, true, forward); }
void Camera::moveBackward(float distance) { setPendingMove(distance, false, forward); }
void Camera::strafeLeft(float distance) { setPendingMove(distance, false, forward.cross(up)); }
void Camera::strafeRight(float distance) { setPendingMove(distance, true, forward.cross(up)); }

void Camera::turnLeft(int32_t degrees)
{
    // C++'s remainder truncates, so turning left from 0 gives a negative yaw.
    yaw = static_cast<int32_t>((int64_t(yaw) - degrees) % 360);
    rebuildForward();
}

void Camera::turnRight(int32_t degrees)
{
    yaw = static_cast<int32_t>((int64_t(yaw) + degrees) % 360);
    rebuildForward();
}

void Camera::rebuildForward()
{
    const double radians = yaw * radiansPerDegree;
    forward.setZ(static_cast<float>(std::cos(radians) * forwardLengthAfterTurn));
    forward.setX(static_cast<float>(std::sin(radians) * -forwardLengthAfterTurn));
    moveDirection = forward;
}

// The view looks along world -Z, which is the file's +Y (heading 90), and turning right turns
// clockwise seen from above.
void Camera::faceHeading(int32_t degrees) { turnRight(int32_t((90 - int64_t(degrees) % 360) % 360)); }

void Camera::moveUp(float distance) { position.addY(distance); }
void Camera::moveDown(float distance) { position.addY(-distance); }

int32_t Camera::clampPitch(int64_t degrees)
{
    if (degrees >= pitchLimit)
        return pitchLimit;
    if (degrees <= -pitchLimit)
        return -pitchLimit;
    return static_cast<int32_t>(degrees);
}

void Camera::lookUp(int32_t degrees) { pitch = clampPitch(int64_t(pitch) + degrees); }
void Camera::lookDown(int32_t degrees) { pitch = clampPitch(int64_t(pitch) - degrees); }

// ---- frame ----

void Camera::applyPendingMove()
{
    const Vec3 step = moveDirection.scaled(pendingMove);
    if (moveSubtracts) {
        position.subtract(step);
    } else {
        position.setX(position.getX() + step.getX());
        position.setY(position.getY() + step.getY());
        position.setZ(position.getZ() + step.getZ());
    }
    pendingMove = 0.0f;
}

Vec3 Camera::sideAxis() const
{
    Vec3 side = forward.cross(up);
    side.normalize();
    return side;
}

bool Camera::isLeafVisible(const Leaf& leaf) const
{
    if (!cullingEnabled || frustum == nullptr)
        return true;
    return frustum->isLeafVisible(leaf);
}

// ---- shots ----

void Camera::fire()
{
    if (shotsInFlight.size() >= maxShots)
        return;
    Vec3 start(position.getX(), position.getY(), position.getZ());
    start.setY(start.getY() - shotDropBelowEye);
    // Not the true pitch angle: the climb is pitch/8 against the horizontal length of forward.
    Vec3 direction(forward.getX(), forward.getY(), forward.getZ());
    direction.setY(static_cast<float>(-pitch * shotClimbPerDegree));
    direction.normalize();
    shotsInFlight.emplace_back(start, direction);
}

void Camera::advanceShots()
{
    for (Shot& shot : shotsInFlight)
        shot.advance();
}

void Camera::pruneShots(const Vec3& minCorner, const Vec3& maxCorner)
{
    for (const Shot& shot : shotsInFlight) {
        if (!shot.position().isInsideBox(minCorner, maxCorner)) {
            shotsInFlight.clear(); // keeps the reserved capacity
            return;
        }
    }
}
