#include "simulation/PlayerMovement.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double degrees = 3.14159265358979323846 / 180.0;
constexpr float overbounce = 1.001f; // clipped velocity leaves a plane a little, never grazes it
constexpr int maxClipPlanes = 5;
constexpr int maxBumps = 4;

// The velocity with its part into the plane taken away.
Float3 clipVelocity(Float3 velocity, Float3 normal)
{
    float into = dot(velocity, normal);
    into = into < 0.0f ? into * overbounce : into / overbounce;
    return velocity - normal * into;
}

Float3 horizontalForward(double heading)
{
    return {float(std::cos(heading * degrees)), 0.0f, float(-std::sin(heading * degrees))};
}

Float3 horizontalRight(double heading)
{
    return {float(std::sin(heading * degrees)), 0.0f, float(std::cos(heading * degrees))};
}

float horizontalLength(Float3 v)
{
    return std::sqrt(v.x * v.x + v.z * v.z);
}

} // namespace

PlayerMovement::PlayerMovement(const CollisionWorld& collision, const WalkSettings& settings)
    : collision(collision), settings(settings)
{
}

void PlayerMovement::placeAt(Float3 origin, double heading)
{
    position = origin;
    motion = {};
    viewHeading = heading;
    viewPitch = 0.0;
    crouched = false;
    leaving = false;
    categorize();
}

CollisionWorld::Box PlayerMovement::box() const
{
    return {{-settings.halfWidth, -settings.feetBelowOrigin, -settings.halfWidth},
            {settings.halfWidth, crouched ? settings.crouchedHeadAboveOrigin : settings.headAboveOrigin, settings.halfWidth}};
}

Float3 PlayerMovement::eye() const
{
    return position + Float3{0.0f, crouched ? settings.crouchedEyeAboveOrigin : settings.eyeAboveOrigin, 0.0f};
}

int32_t PlayerMovement::liquidAtEye() const
{
    return collision.contentsAt(eye(), {}) & WalkSettings::liquidContents;
}

CollisionWorld::Trace PlayerMovement::traceBox(Float3 from, Float3 to) const
{
    return collision.trace(from, to, box(), WalkSettings::blockingContents);
}

// ---- the step ----------------------------------------------------------------------------------

void PlayerMovement::look(double heading, double pitch)
{
    viewHeading = heading;
    viewPitch = pitch;
}

void PlayerMovement::move(const WalkInput& input, float seconds)
{
    WalkInput now = input;
    now.heading = viewHeading;
    now.pitch = viewPitch;
    updateCrouch(now.crouch && liquidLevel < 2);
    categorize();
    if (liquidLevel >= 2)
        swimMove(now, seconds);
    else if (grounded)
        groundMove(now, seconds);
    else
        airMove(now, seconds);
    categorize();
}

// Whether the player stands on a floor, and how deep it is in liquid.
void PlayerMovement::categorize()
{
    const CollisionWorld::Trace below = traceBox(position, position - Float3{0.0f, 0.25f, 0.0f});
    grounded = below.fraction < 1.0f && below.normal.y >= settings.minFloorUp;
    standingOn = grounded ? below.model : 0;
    if (below.startSolid && below.fraction == 0.0f) {
        grounded = true; // wedged in a solid: stand, rather than fall through it
        groundNormal = {0.0f, 1.0f, 0.0f};
    } else if (grounded) {
        groundNormal = below.normal;
    }
    leaving = leaving && motion.y > 0.0f;
    if (leaving)
        grounded = false; // a jump or a pad, until the rise ends
    liquidLevel = 0;
    const float heights[3] = {-settings.feetBelowOrigin + 1.0f, 0.0f, crouched ? settings.crouchedEyeAboveOrigin : settings.eyeAboveOrigin};
    for (const float height : heights) {
        if (!(collision.contentsAt(position + Float3{0.0f, height, 0.0f}, {}) & WalkSettings::liquidContents))
            break;
        ++liquidLevel;
    }
}

void PlayerMovement::updateCrouch(bool wanted)
{
    if (wanted) {
        crouched = true;
    } else if (crouched) {
        crouched = false; // stand up only where the standing box fits
        if (traceBox(position, position).startSolid)
            crouched = true;
    }
}

// ---- moves ---------------------------------------------------------------------------------

void PlayerMovement::applyFriction(float amount, float seconds)
{
    const float speed = length(motion);
    if (speed < 1.0f) {
        motion.x = 0.0f;
        motion.z = 0.0f;
        return;
    }
    const float drop = std::max(speed, settings.stopSpeed) * amount * seconds;
    motion = motion * (std::max(0.0f, speed - drop) / speed);
}

void PlayerMovement::accelerate(Float3 direction, float wishedSpeed, float acceleration, float seconds)
{
    const float missing = wishedSpeed - dot(motion, direction);
    if (missing <= 0.0f)
        return;
    motion = motion + direction * std::min(acceleration * seconds * wishedSpeed, missing);
}

void PlayerMovement::groundMove(const WalkInput& input, float seconds)
{
    if (input.jump) {
        motion.y = settings.jumpSpeed;
        grounded = false;
        leaving = true;
        airMove(input, seconds);
        return;
    }
    applyFriction(settings.friction, seconds);
    const Float3 wish = horizontalForward(input.heading) * input.forward + horizontalRight(input.heading) * input.right;
    const float amount = std::min(1.0f, length(wish));
    accelerate(normalized(wish), settings.runSpeed * amount * (crouched ? settings.crouchSpeedScale : 1.0f), settings.groundAcceleration,
               seconds);
    // Along the floor at the same speed, up or down its slope.
    const float speed = length(motion);
    motion = normalized(clipVelocity(motion, groundNormal)) * speed;
    if (motion.x == 0.0f && motion.z == 0.0f)
        return;
    stepSlideMove(seconds, false);
    // Down stairs and slopes: keep to the floor rather than leave it at every step.
    const CollisionWorld::Trace down = traceBox(position, position - Float3{0.0f, settings.stepHeight, 0.0f});
    if (down.fraction < 1.0f && !down.startSolid && down.normal.y >= settings.minFloorUp)
        position = down.end;
}

void PlayerMovement::airMove(const WalkInput& input, float seconds)
{
    const Float3 wish = horizontalForward(input.heading) * input.forward + horizontalRight(input.heading) * input.right;
    accelerate(normalized(wish), settings.runSpeed * std::min(1.0f, length(wish)), settings.airAcceleration, seconds);
    stepSlideMove(seconds, true);
}

void PlayerMovement::swimMove(const WalkInput& input, float seconds)
{
    applyFriction(settings.liquidFriction, seconds);
    const double pitch = input.pitch * degrees;
    const Float3 forward = horizontalForward(input.heading) * float(std::cos(pitch)) + Float3{0.0f, float(std::sin(pitch)), 0.0f};
    Float3 wish = forward * input.forward + horizontalRight(input.heading) * input.right;
    wish.y += (input.jump ? 1.0f : 0.0f) - (input.crouch ? 1.0f : 0.0f);
    float wishedSpeed = settings.runSpeed * settings.swimSpeedScale * std::min(1.0f, length(wish));
    if (length(wish) == 0.0f) {
        wish = {0.0f, -1.0f, 0.0f};
        wishedSpeed = settings.sinkSpeed;
    }
    accelerate(normalized(wish), wishedSpeed, settings.liquidAcceleration, seconds);
    slideMove(seconds, false);
}

// Moves along the velocity for `seconds`, sliding along whatever it meets: up to maxClipPlanes
// planes per move, along the crease of two, stopped by three. Gravity acts over the move when
// asked. Returns whether anything was met.
bool PlayerMovement::slideMove(float seconds, bool withGravity)
{
    Float3 planes[maxClipPlanes];
    int planeCount = 0;
    Float3 endMotion = motion;
    if (withGravity) {
        endMotion.y -= settings.gravity * seconds;
        motion.y = (motion.y + endMotion.y) * 0.5f; // the mean over the move
    }
    float timeLeft = seconds;
    bool met = false;
    for (int bump = 0; bump < maxBumps; ++bump) {
        const CollisionWorld::Trace trace = traceBox(position, position + motion * timeLeft);
        if (trace.startSolid && trace.fraction == 0.0f) {
            motion.y = 0.0f; // wedged: stay until the player moves out
            return true;
        }
        if (trace.fraction > 0.0f)
            position = trace.end;
        if (trace.fraction == 1.0f)
            break;
        met = true;
        if (trace.normal.y < settings.minFloorUp && !block.met)
            block = {true, position, trace.texture};
        timeLeft -= timeLeft * trace.fraction;
        if (planeCount == maxClipPlanes) {
            motion = {};
            return true;
        }
        bool again = false;
        for (int i = 0; i < planeCount; ++i) {
            if (dot(trace.normal, planes[i]) > 0.99f) { // the same plane: push off it a little
                motion = motion + trace.normal;
                again = true;
            }
        }
        if (again)
            continue;
        planes[planeCount++] = trace.normal;
        for (int i = 0; i < planeCount; ++i) {
            if (dot(motion, planes[i]) >= 0.1f)
                continue;
            Float3 clipped = clipVelocity(motion, planes[i]);
            Float3 endClipped = clipVelocity(endMotion, planes[i]);
            bool stopped = false;
            for (int j = 0; j < planeCount && !stopped; ++j) {
                if (j == i || dot(clipped, planes[j]) >= 0.1f)
                    continue;
                clipped = clipVelocity(clipped, planes[j]);
                endClipped = clipVelocity(endClipped, planes[j]);
                if (dot(clipped, planes[i]) >= 0.0f)
                    continue;
                const Float3 crease = normalized(cross(planes[i], planes[j]));
                clipped = crease * dot(crease, motion);
                endClipped = crease * dot(crease, endMotion);
                for (int k = 0; k < planeCount; ++k) {
                    if (k != i && k != j && dot(clipped, planes[k]) < 0.1f)
                        stopped = true; // into a corner of three planes
                }
            }
            if (stopped) {
                motion = {};
                return true;
            }
            motion = clipped;
            endMotion = endClipped;
            break;
        }
    }
    if (withGravity)
        motion = endMotion;
    return met;
}

// A slide, and when it met something, the same slide from a step higher set back down:
// whichever gets further along the ground is kept, unless the step lands on a slope too steep.
void PlayerMovement::stepSlideMove(float seconds, bool withGravity)
{
    const Float3 startPosition = position;
    const Float3 startMotion = motion;
    const Contact blockBefore = block;
    if (!slideMove(seconds, withGravity))
        return;
    const Contact blockAfterSlide = block;
    const CollisionWorld::Trace floor = traceBox(startPosition, startPosition - Float3{0.0f, settings.stepHeight, 0.0f});
    if (startMotion.y > 0.0f && (floor.fraction == 1.0f || floor.normal.y < settings.minFloorUp))
        return; // rising in the air: nothing to step onto
    const Float3 slidPosition = position;
    const Float3 slidMotion = motion;
    const CollisionWorld::Trace up = traceBox(startPosition, startPosition + Float3{0.0f, settings.stepHeight, 0.0f});
    if (up.startSolid && up.fraction == 0.0f)
        return;
    const float raised = up.end.y - startPosition.y;
    position = up.end;
    motion = startMotion;
    slideMove(seconds, withGravity);
    const CollisionWorld::Trace settle = traceBox(position, position - Float3{0.0f, raised, 0.0f});
    if (!settle.startSolid)
        position = settle.end;
    const bool steep = settle.fraction < 1.0f && settle.normal.y < settings.minFloorUp;
    if (steep || horizontalLength(position - startPosition) <= horizontalLength(slidPosition - startPosition)) {
        position = slidPosition;
        motion = slidMotion;
        block = blockAfterSlide;
        return;
    }
    block = blockBefore; // what the first slide met was only the step's riser
    if (settle.fraction < 1.0f)
        motion = clipVelocity(motion, settle.normal);
}

// ---- moved by the world ------------------------------------------------------------------------

bool PlayerMovement::launchTo(Float3 apex)
{
    const float height = apex.y - position.y;
    if (!(height > 0.0f))
        return false;
    const float time = std::sqrt(2.0f * height / settings.gravity);
    const Float3 across{apex.x - position.x, 0.0f, apex.z - position.z};
    motion = across * (1.0f / time);
    motion.y = settings.gravity * time;
    grounded = false;
    leaving = true;
    return true;
}

void PlayerMovement::teleportTo(Float3 origin, double heading)
{
    position = origin;
    viewHeading = heading;
    viewPitch = 0.0;
    motion = horizontalForward(viewHeading) * settings.teleportExitSpeed;
    leaving = false;
    categorize();
}
