#pragma once

#include "simulation/PlayerMovement.h"

#include <array>
#include <memory>
#include <optional>

class Camera;
class Flight;
class StatusLine;

// Level mode's walking: the player's box moved by the held keys through the level, and the
// camera put at its eye each frame. What it meets that the user should know of (a fall out of
// the level, pads and teleporters that do nothing) is one line on standard error.
class Walking {
public:
    // The walker for `level`, standing where the camera's eye is; none, with one line, when the
    // level has no brush to walk on.
    // `movers` (null: none; outliving this) carry and stop the player where they stand.
    static std::unique_ptr<Walking> start(const LevelData& level, const Camera& camera, const Movers* movers = nullptr);

    // The player stands with its eye where the camera's is (a start jumped to, say), at rest;
    // a fall out of the level comes back here.
    void standAt(const Camera& camera);
    // The held motions over a frame of `seconds`: forward and back, the strafes, up to jump (or
    // rise in liquid), down to crouch (or sink); the turns turn the camera as in flight.
    void step(Flight& flight, Camera& camera, double seconds);
    // Falling, sliding, swimming or still slowing down: the next frame moves it by itself.
    bool isMoving() const;
    // " walking", then " crouched", " swimming" or " hurt" where they hold.
    void appendStatus(StatusLine& text) const;
    // The colour the view takes under water, slime or lava (RGBA, 0..1); none in the air.
    std::optional<std::array<float, 4>> tint() const;

    explicit Walking(PlayerMovement movement, const Movers* movers = nullptr)
        : player(std::move(movement)), movers(movers) {}

private:
    PlayerMovement player;
    const Movers* movers;
};
