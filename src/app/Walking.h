#pragma once

#include "simulation/World.h"

#include <array>
#include <memory>
#include <optional>

class Camera;
class Flight;
class StatusLine;

// Level mode's walking: the held keys turned into what the world's walker asks for each frame,
// and the camera put at its eye once the world has stepped. The world keeps the walker; ending
// the walk is the world's stopWalking. What it meets that the user should
// know of (a fall out of the level, pads and teleporters that do nothing) is one line on
// standard error.
class Walking {
public:
    // Walking in `world` (outliving this) from where the camera's eye is, or from the nearest
    // clear spot when that is inside a wall; none, with one line, when the level has no brush to
    // walk on or no clear spot is near.
    static std::unique_ptr<Walking> start(World& world, Camera& camera);

    explicit Walking(World& world) : world(world) {}

    // The player stands with its eye where the camera's is (a start jumped to, say), at rest;
    // a fall out of the level comes back here. False when there is no clear spot near.
    bool standAt(Camera& camera);
    // The held motions over a frame of `seconds`: forward and back, the strafes, up to jump (or
    // rise in liquid), down to crouch (or sink); the turns turn the camera as in flight.
    WalkInput input(Flight& flight, Camera& camera, double seconds) const;
    // After the world's step: the camera at the walker's eye, turned where a teleporter turned
    // it; false once the walk has ended (a second fall out of the level), with one line.
    bool follow(Camera& camera);
    // Falling, sliding, swimming or still slowing down: the next frame moves it by itself.
    bool isMoving() const;
    // " walking", then " crouched", " swimming" or " hurt" where they hold.
    void appendStatus(StatusLine& text) const;
    // The colour the view takes under water, slime or lava (RGBA, 0..1); none in the air.
    std::optional<std::array<float, 4>> tint() const;

private:
    World& world;
};
