#pragma once

#include <array>
#include <cstddef>

class Camera;

// Level mode's keyboard motion: the keys held down move and turn the camera continuously, each
// frame by that frame's seconds, so the speed depends neither on key repeat nor on frame rate.
// Moving forward follows the view, pitch included; strafing stays horizontal; up and down are
// world up and down. Several motions at once move at the same speed as one. A key pressed and
// released between two frames still moves for the next frame, so a tap is a nudge, not nothing.
class Flight {
public:
    enum class Motion { forward, backward, left, right, up, down, turnLeft, turnRight, lookUp, lookDown };
    static constexpr std::size_t motionCount = 10;

    static constexpr double defaultSpeed = 400;       // world units per second
    static constexpr double fastFactor = 3;           // while Shift is held; moves, not turns
    static constexpr double turnDegreesPerSecond = 90; // turning and looking
    // A longer frame (a stall while re-tessellating, say) moves as if it took this long, so a
    // held key never throws the eye across the level.
    static constexpr double longestStep = 0.25; // seconds
    // The wheel and '[' / ']' halve or double the speed within these, never past them: a speed
    // --speed set outside them steps only toward them.
    static constexpr double slowestStepped = 25;    // world units per second
    static constexpr double fastestStepped = 6400;

    explicit Flight(double unitsPerSecond = defaultSpeed) : speed(unitsPerSecond) {}

    void hold(Motion motion) { held[index(motion)] = pressed[index(motion)] = true; }
    void release(Motion motion) { held[index(motion)] = false; }
    void releaseAll();
    void setFast(bool on) { fast = on; }
    void halveSpeed();
    void doubleSpeed();
    double unitsPerSecond() const { return speed; } // without Shift
    bool isHeld(Motion motion) const { return held[index(motion)]; }
    // Whether the next frame moves: a motion is held, or was pressed since the last frame.
    bool isMoving() const;

    // One frame's motion for what is held now, or was pressed since the last frame.
    void advance(Camera& camera, double seconds);
    // Only the frame's turning and looking, for a camera something else moves (walking); then
    // frameDone forgets the presses.
    void turn(Camera& camera, double seconds) const;
    void frameDone() { pressed.fill(false); }
    // +1, -1 or 0: which of two opposite motions this frame has.
    int direction(Motion positive, Motion negative) const { return axis(positive, negative); }

private:
    static std::size_t index(Motion motion) { return static_cast<std::size_t>(motion); }
    bool moves(Motion motion) const { return held[index(motion)] || pressed[index(motion)]; }
    int axis(Motion positive, Motion negative) const { return int(moves(positive)) - int(moves(negative)); }

    std::array<bool, motionCount> held{};
    std::array<bool, motionCount> pressed{}; // since the last frame
    bool fast = false;
    double speed; // world units per second
};
