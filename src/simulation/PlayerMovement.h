#pragma once

#include "simulation/CollisionWorld.h"
#include "simulation/Movers.h"
#include "simulation/WalkEntities.h"
#include "level/EntityText.h"
#include "level/LevelData.h"
#include "level/LevelFormat.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// What the player asks for in one frame; the viewer fills it from held keys and the camera.
struct WalkInput {
    float forward = 0.0f;  // -1 (back) to 1 (forward)
    float right = 0.0f;    // -1 (left) to 1 (right)
    bool jump = false;     // jump; in liquid, rise
    bool crouch = false;   // crouch; in liquid, sink
    double heading = 90.0; // degrees counterclockwise from the file's +X seen from above (Camera::heading)
    double pitch = 0.0;    // degrees, up positive; steers swimming only
};

// A player walking through a level: a box 30 units wide and deep, from 24 below its origin to
// 32 above (16 crouched), the eye 26 above the origin (12 crouched), under gravity, stopped by
// solid and player-clip brushes and curved surfaces, climbing steps up to 18 units, standing on
// floors whose normal's up part is at least 0.7 and sliding down steeper ones, swimming in
// water, slime and lava, thrown by jump pads and moved by teleporters. World coordinates (Y up),
// units and seconds. Built once from a loaded level; step() allocates nothing.
//
// A frame is split into sub-steps of at most maxSubStep seconds (so a long frame neither
// tunnels nor jumps further than a short one), and a frame longer than maxFrame counts as
// maxFrame: after a stall the player does not fall through a whole second at once.
//
// A viewer builds one from the loaded level and its parsed entities, places it (placeAtStart, or
// placeAt the eye's position less eyeAboveOrigin), then each frame fills a WalkInput from its
// keys and camera, calls step(input, seconds), and puts its camera at eye() facing heading() and
// pitch(); events(), inHurtVolume(), liquidAtEye() and WalkEntities' problems give its lines.
class PlayerMovement {
public:
    static constexpr double maxSubStep = 1.0 / 125.0;
    static constexpr double maxFrame = 0.25;
    static constexpr float halfWidth = 15.0f;
    static constexpr float feetBelowOrigin = 24.0f;
    static constexpr float headAboveOrigin = 32.0f;
    static constexpr float crouchedHeadAboveOrigin = 16.0f;
    static constexpr float eyeAboveOrigin = 26.0f;
    static constexpr float crouchedEyeAboveOrigin = 12.0f;
    static constexpr float gravity = 800.0f;      // units/s^2
    static constexpr float runSpeed = 320.0f;     // units/s
    static constexpr float crouchSpeedScale = 0.5f;
    static constexpr float swimSpeedScale = 0.7f;
    static constexpr float sinkSpeed = 60.0f;     // units/s, in liquid without input
    static constexpr float jumpSpeed = 270.0f;    // units/s
    static constexpr float stepHeight = 18.0f;
    static constexpr float minFloorUp = 0.7f;     // a floor's normal's up component
    static constexpr float groundAcceleration = 10.0f; // of the wished speed per second
    static constexpr float airAcceleration = 1.0f;
    static constexpr float liquidAcceleration = 4.0f;
    static constexpr float friction = 6.0f;       // of the speed (at least stopSpeed) per second
    static constexpr float liquidFriction = 1.0f;
    static constexpr float stopSpeed = 100.0f;
    static constexpr float teleportExitSpeed = 400.0f; // along the destination's heading
    static constexpr float fallMargin = 128.0f;  // below the level's box the player is lost
    // Levels set a start's origin at its marker's, which may sit a few units lower than the
    // player's box needs; the player appears this far above it.
    static constexpr float startLift = 9.0f;
    static constexpr int32_t blockingContents = LevelFormat::contentsSolid | LevelFormat::contentsPlayerClip;
    static constexpr int32_t liquidContents =
        LevelFormat::contentsWater | LevelFormat::contentsSlime | LevelFormat::contentsLava;

    // `entities`: the level's entity text, parsed.
    PlayerMovement(const LevelData& level, const std::vector<Entity>& entities);

    // Stands the player's origin at `origin` facing `heading`, at rest, standing; this is also
    // where a fall out of the level puts it back unless it started at a player start.
    void placeAt(Float3 origin, double heading);
    // The same at player start `index` (WalkEntities::starts), startLift above its origin; does
    // nothing beyond them.
    void placeAtStart(std::size_t index);

    // The movers stand where their poses put them now (moved, not turned: a turning model
    // collides where it rests); one the player stands on carries it along, and one moving into
    // the player pushes it by as much. Before step().
    void followMovers(const Movers& movers);
    // Moves the player through one frame of `seconds` (0 or less, or not a number, moves nothing).
    void step(const WalkInput& input, double seconds);

    Float3 origin() const { return position; }
    Float3 velocity() const { return motion; }
    Float3 eye() const;
    // The view after the step: the input's, unless a teleporter turned it (pitch then level).
    double heading() const { return viewHeading; }
    double pitch() const { return viewPitch; }
    bool onGround() const { return grounded; }
    std::size_t groundModel() const { return standingOn; } // the inline model under it; 0 for the world
    bool isCrouched() const { return crouched; }
    bool isSwimming() const { return liquidLevel >= 2; }
    // The liquid contents at the eye (LevelFormat::contentsWater, ...), for tinting the view; 0 in air.
    int32_t liquidAtEye() const;
    bool inHurtVolume() const { return hurt; } // during the last step

    // What happened during the last step, for a line the caller prints.
    struct Events {
        bool launched = false;   // a jump pad threw the player
        bool teleported = false; // the view's heading and pitch changed with it
        bool fellOut = false;    // below the level's box: put back where it last started
    };
    const Events& events() const { return happened; }

    // The first wall or ceiling (anything not a floor) met since the last clearContact: the
    // movement report's "blocked at".
    struct Contact {
        bool met = false;
        Float3 point;         // the player's origin when it met it
        int32_t texture = -1; // the level's texture record
    };
    const Contact& firstBlock() const { return block; }
    void clearContact() { block = {}; }

    const CollisionWorld& world() const { return collision; }
    const WalkEntities& walkEntities() const { return found; }
    CollisionWorld::Box box() const; // the player's, standing or crouched

private:
    void subStep(const WalkInput& input, float seconds);
    void categorize();
    void updateCrouch(bool wanted);
    void groundMove(const WalkInput& input, float seconds);
    void airMove(const WalkInput& input, float seconds);
    void swimMove(const WalkInput& input, float seconds);
    void applyFriction(float amount, float seconds);
    void accelerate(Float3 direction, float wishedSpeed, float acceleration, float seconds);
    bool slideMove(float seconds, bool withGravity);
    void stepSlideMove(float seconds, bool withGravity);
    void touchTriggers();
    void launch(const WalkEntities::Trigger& pad);
    CollisionWorld::Trace traceBox(Float3 from, Float3 to) const;

    WalkEntities found;
    CollisionWorld collision;
    Float3 position;
    Float3 motion;
    double viewHeading = 90.0;
    double viewPitch = 0.0;
    bool grounded = false;
    bool leaving = false; // jumped or thrown: off the floor while still rising
    Float3 groundNormal{0.0f, 1.0f, 0.0f};
    std::size_t standingOn = 0;
    bool crouched = false;
    int liquidLevel = 0; // 0 dry, 1 feet, 2 waist, 3 eye
    bool hurt = false;
    Events happened;
    Contact block;
    Float3 respawnOrigin;
    double respawnHeading = 90.0;
};
