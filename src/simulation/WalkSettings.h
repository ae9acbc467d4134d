#pragma once

#include "level/LevelFormat.h"

#include <cstdint>

// What a walking player is: its box, eye, speeds and the world's pull, in one record that the
// world hands its walker when the walker is made. Units, seconds, world axes (Y up); the box
// and eye are measured from the player's origin.
struct WalkSettings {
    float halfWidth = 15.0f;               // the box is twice this wide and deep
    float feetBelowOrigin = 24.0f;
    float headAboveOrigin = 32.0f;
    float crouchedHeadAboveOrigin = 16.0f;
    float eyeAboveOrigin = 26.0f;
    float crouchedEyeAboveOrigin = 12.0f;
    float gravity = 800.0f;                // units/s^2; a pendulum swings by it too
    float runSpeed = 320.0f;               // units/s
    float crouchSpeedScale = 0.5f;
    float swimSpeedScale = 0.7f;
    float sinkSpeed = 60.0f;               // units/s, in liquid without input
    float jumpSpeed = 270.0f;              // units/s
    float stepHeight = 18.0f;              // the highest ledge walked onto
    float minFloorUp = 0.7f;               // a floor's normal's up part; below it, a slope slid down
    float groundAcceleration = 10.0f;      // of the wished speed per second
    float airAcceleration = 1.0f;
    float liquidAcceleration = 4.0f;
    float friction = 6.0f;                 // of the speed (at least stopSpeed) per second
    float liquidFriction = 1.0f;
    float stopSpeed = 100.0f;
    float teleportExitSpeed = 400.0f;      // along the destination's heading
    float fallMargin = 128.0f;             // below the level's box the player is lost
    // Levels set a start's origin at its marker's, which may sit a few units lower than the
    // player's box needs; the player appears this far above it.
    float startLift = 9.0f;
    double maxSubStep = 1.0 / 125.0;       // seconds: a frame is cut into steps no longer
    double maxFrame = 0.25;                // seconds: a longer frame (a stall) counts as this
    float clearSearch = 64.0f;             // units searched for a clear spot when walking starts in a wall

    static constexpr int32_t blockingContents = LevelFormat::contentsSolid | LevelFormat::contentsPlayerClip;
    static constexpr int32_t liquidContents =
        LevelFormat::contentsWater | LevelFormat::contentsSlime | LevelFormat::contentsLava;
};
