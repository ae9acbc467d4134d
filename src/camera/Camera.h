#pragma once

#include "camera/Shot.h"
#include "math/Point.h"
#include "math/Vec3.h"

#include <cstddef>
#include <vector>

class Frustum;
class Leaf;

// The first-person viewpoint: eye position, heading and pitch in degrees, and one move that
// input requests and the next frame's applyView carries out. Configuration mode turns it by
// whole degrees per input event, never scaled by time; level mode's Flight and MouseLook also
// turn it by fractions and place it directly. `forward` points opposite to the view and has
// length 1 until the first turn and 5 after it, so a pending move of d covers d or 5d world
// units. The camera also owns the shots in flight. Its view transform, gun and shots are drawn
// by CameraRenderer.
class Camera {
public:
    static constexpr std::size_t maxShots = 1024; // firing at the bound does nothing
    static constexpr double originalPitchLimit = 77; // degrees either way, configuration mode's look
    static constexpr double freePitchLimit = 89;     // level mode's, short of straight up or down

    Camera(const Point& start, Frustum* frustum); // frustum is not owned and outlives the camera
    virtual ~Camera() = default;
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    // Pending moves: each overwrites the previous one; applyView carries out the last.
    void moveForward(float distance);
    void moveBackward(float distance);
    void strafeLeft(float distance);
    void strafeRight(float distance);

    // Turns act at once and swap the pending move's axis for the new heading.
    void turnLeft(double degrees);
    void turnRight(double degrees);

    // Vertical motion acts at once and leaves the pending move alone.
    void moveUp(float distance);
    void moveDown(float distance);

    // Faces `degrees` counterclockwise from the level file's +X axis seen from above, the
    // convention of a level's player starts (90 is the heading a new camera has).
    void faceHeading(double degrees);
    double heading() const; // the same convention, in [0, 360)

    void lookUp(double degrees);
    void lookDown(double degrees);
    void setPitch(double degrees); // up positive, within the pitch limit
    void setPitchLimit(double degrees) { pitchLimit = degrees; }

    // Level mode places the eye directly, outside the pending move.
    void moveBy(const Vec3& offset);
    void moveTo(const Point& eye) { position = eye; }

    // Unit vectors in world coordinates: where the eye looks (pitch included), and its right
    // hand (always horizontal).
    Vec3 viewDirection() const;
    Vec3 rightAxis() const;

    void enableCulling() { cullingEnabled = true; }
    void disableCulling() { cullingEnabled = false; }
    bool isCullingEnabled() const { return cullingEnabled; }

    // Carries out the pending move once; the first step of the frame's applyView
    // (CameraRenderer), which then loads the view and rebuilds the frustum.
    void applyPendingMove();
    Vec3 sideAxis() const; // forward x up, normalised: the axis the view pitches about

    // Always true with culling off; otherwise the frustum's test.
    bool isLeafVisible(const Leaf& leaf) const;
    bool isBoxVisible(const Vec3& corner, const Vec3& opposite) const; // the same for a box

    const Point& getPosition() const { return position; }
    double getYaw() const { return yaw; }     // degrees clockwise from the start heading seen from above
    double getPitch() const { return pitch; }
    const Vec3& getForward() const { return forward; }
    const Vec3& getMoveDirection() const { return moveDirection; }
    float getPendingMove() const { return pendingMove; }
    bool getMoveSubtracts() const { return moveSubtracts; }
    Frustum* getFrustum() const { return frustum; }

    // ---- shots ----
    void fire();
    void advanceShots(); // every shot once, as each drawn frame does
    std::vector<Shot>& shots() { return shotsInFlight; }
    const std::vector<Shot>& shots() const { return shotsInFlight; }

    // At the first shot not strictly inside the box, every shot in flight is dropped.
    void pruneShots(const Vec3& minCorner, const Vec3& maxCorner);

private:
    void setPendingMove(float distance, bool subtracts, const Vec3& axis);
    void rebuildForward();
    double clampPitch(double degrees) const;

    Vec3 moveDirection;
    Vec3 up;
    Vec3 forward;
    double yaw = 0;             // degrees, strictly between -360 and 360; whole in configuration mode
    bool moveSubtracts = true;  // true: the pending move is subtracted from the position
    float pendingMove = 0.0f;   // distance factor still to be carried out
    Frustum* frustum;
    bool cullingEnabled = true;
    std::vector<Shot> shotsInFlight; // firing order; capacity reserved once for maxShots
    Point position;
    double pitch = 0;           // degrees, positive looks up, within the pitch limit
    double pitchLimit = originalPitchLimit;
};
