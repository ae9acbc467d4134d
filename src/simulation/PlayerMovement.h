#pragma once

#include "simulation/CollisionWorld.h"
#include "simulation/WalkSettings.h"

#include <cstdint>

// What the player asks for in one frame; the viewer fills it from held keys and the camera.
struct WalkInput {
    float forward = 0.0f;  // -1 (back) to 1 (forward)
    float right = 0.0f;    // -1 (left) to 1 (right)
    bool jump = false;     // jump; in liquid, rise
    bool crouch = false;   // crouch; in liquid, sink
    double heading = 90.0; // degrees counterclockwise from the file's +X seen from above (Camera::heading)
    double pitch = 0.0;    // degrees, up positive; steers swimming only
};

// A player walking through a level: a box (WalkSettings) under gravity, stopped by solid and
// player-clip brushes and curved surfaces, climbing steps, standing on floors flat enough and
// sliding down steeper ones, swimming in water, slime and lava, and thrown or moved where the
// world's triggers say. World coordinates (Y up), units and seconds. The world (World) makes
// one when walking starts, cuts each frame into steps and moves it one step at a time; move()
// allocates nothing.
class PlayerMovement {
public:
    // `collision` and `settings` outlive the player.
    PlayerMovement(const CollisionWorld& collision, const WalkSettings& settings);

    // Stands the player's origin at `origin` facing `heading`, at rest, standing.
    void placeAt(Float3 origin, double heading);
    // Moved by `by` with what carries or pushes it (a lift, a door).
    void shift(Float3 by) { position = position + by; }
    // The view turns as the input asks, before a frame's steps.
    void look(double heading, double pitch);
    // One step of `seconds` (at most WalkSettings::maxSubStep) under `input`'s keys, looking where
    // the player now looks (the input's heading and pitch are not read).
    void move(const WalkInput& input, float seconds);
    // Thrown up so that the arc's highest point is `apex`, and across fast enough to be over it
    // there; false, and not thrown, when `apex` is not above the player.
    bool launchTo(Float3 apex);
    // Moved to `origin`, facing `heading` level, running out along it.
    void teleportTo(Float3 origin, double heading);

    Float3 origin() const { return position; }
    Float3 velocity() const { return motion; }
    Float3 eye() const;
    // The view: the last look's, unless a teleporter turned it since (pitch then level).
    double heading() const { return viewHeading; }
    double pitch() const { return viewPitch; }
    bool onGround() const { return grounded; }
    std::size_t groundModel() const { return standingOn; } // the inline model under it; 0 for the world
    bool isCrouched() const { return crouched; }
    bool isSwimming() const { return liquidLevel >= 2; }
    // The liquid contents at the eye (LevelFormat::contentsWater, ...), for tinting the view; 0 in air.
    int32_t liquidAtEye() const;

    // The first wall or ceiling (anything not a floor) met since the last clearContact: the
    // movement report's "blocked at".
    struct Contact {
        bool met = false;
        Float3 point;         // the player's origin when it met it
        int32_t texture = -1; // the level's texture record
    };
    const Contact& firstBlock() const { return block; }
    void clearContact() { block = {}; }

    CollisionWorld::Box box() const; // the player's, standing or crouched

private:
    void categorize();
    void updateCrouch(bool wanted);
    void groundMove(const WalkInput& input, float seconds);
    void airMove(const WalkInput& input, float seconds);
    void swimMove(const WalkInput& input, float seconds);
    void applyFriction(float amount, float seconds);
    void accelerate(Float3 direction, float wishedSpeed, float acceleration, float seconds);
    bool slideMove(float seconds, bool withGravity);
    void stepSlideMove(float seconds, bool withGravity);
    CollisionWorld::Trace traceBox(Float3 from, Float3 to) const;

    const CollisionWorld& collision;
    const WalkSettings& settings;
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
    Contact block;
};
