#pragma once

#include "camera/Shot.h"
#include "math/Vec3.h"

#include <iostream>
#include <vector>

// A ball that wanders between random points of one box. Friends are blue, enemies red.
// Random points come from the never-seeded `rand`, so every run repeats the same motion.
// A player is drawn (by PlayerRenderer) only in frames in which it moved.
class Player {
public:
    static constexpr float stepLength = 3.0f;   // world units per drawn frame
    static constexpr double hitDistance = 22.0; // shot centre to player centre, inclusive
    static constexpr double radius = 20.0;

    // The box must be at least one unit wide on every axis (the reader checks this). Prints
    // "here " on `log` between drawing its position and its destination.
    Player(const Vec3& boxMin, const Vec3& boxMax, bool friendly, std::ostream& log = std::cerr);

    void step(); // moves toward its destination, or picks a new one, or respawns after a hit
    void respawn();
    bool hitBy(std::vector<Shot>& shots); // consumes at most one shot

    bool isHit() const { return hit; }
    bool isFriendly() const { return friendly; }
    bool movedThisFrame() const { return moved; } // set by the last step: drawn this frame
    const Vec3& getPosition() const { return position; }
    const Vec3& getDestination() const { return destination; }
    void setPosition(const Vec3& value) { position = value; }
    void setDestination(const Vec3& value) { destination = value; }

private:
    Vec3 randomPointInBox() const;

    bool hit = false;
    Vec3 boxMin;
    Vec3 boxMax;
    Vec3 position;
    Vec3 destination;
    bool friendly;
    bool moved = false;
};
