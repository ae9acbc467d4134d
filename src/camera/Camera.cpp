#include "camera/Camera.h"

#include "camera/Frustum.h"
#include "level/Leaf.h"

#include <cmath>

namespace {
constexpr double radiansPerDegree = 0.017453292; // configuration mode's forward axis
constexpr double exactRadiansPerDegree = 3.14159265358979323846 / 180;
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

void Camera::turnLeft(double degrees)
{
    // The remainder truncates, as whole degrees did, so turning left from 0 gives a negative yaw.
    yaw = std::fmod(yaw - degrees, 360.0);
    rebuildForward();
}

void Camera::turnRight(double degrees)
{
    yaw = std::fmod(yaw + degrees, 360.0);
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
void Camera::faceHeading(double degrees)
{
    yaw = std::fmod(90 - std::fmod(degrees, 360.0), 360.0);
    rebuildForward();
}

double Camera::heading() const
{
    const double degrees = std::fmod(90 - yaw, 360.0);
    const double turned = degrees < 0 ? degrees + 360 : degrees;
    return turned < 360 ? turned : 0; // a tiny negative remainder plus 360 rounds to 360
}

void Camera::moveUp(float distance) { position.addY(distance); }
void Camera::moveDown(float distance) { position.addY(-distance); }

double Camera::clampPitch(double degrees) const
{
    if (degrees >= pitchLimit)
        return pitchLimit;
    if (degrees <= -pitchLimit)
        return -pitchLimit;
    return degrees;
}

void Camera::lookUp(double degrees) { pitch = clampPitch(pitch + degrees); }
void Camera::lookDown(double degrees) { pitch = clampPitch(pitch - degrees); }
void Camera::setPitch(double degrees) { pitch = clampPitch(degrees); }

void Camera::moveBy(const Vec3& offset)
{
    position.setX(position.getX() + offset.getX());
    position.setY(position.getY() + offset.getY());
    position.setZ(position.getZ() + offset.getZ());
}

// The view transform turns by yaw about Y after pitching about the side axis, so the eye looks
// along (sin yaw, 0, -cos yaw) tilted up by the pitch.
Vec3 Camera::viewDirection() const
{
    const double turn = yaw * exactRadiansPerDegree;
    const double tilt = pitch * exactRadiansPerDegree;
    return Vec3(float(std::sin(turn) * std::cos(tilt)), float(std::sin(tilt)), float(-std::cos(turn) * std::cos(tilt)));
}

Vec3 Camera::rightAxis() const
{
    const double turn = yaw * exactRadiansPerDegree;
    return Vec3(float(std::cos(turn)), 0.0f, float(std::sin(turn)));
}

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

bool Camera::isBoxVisible(const Vec3& corner, const Vec3& opposite) const
{
    return !cullingEnabled || frustum == nullptr || frustum->isBoxVisible(corner, opposite);
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
