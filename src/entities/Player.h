#pragma once

#include "camera/Shot.h"
#include "math/Vec3.h"
#include "render/SolidSphere.h"

#include <vector>

// A ball that wanders between random points of one box. Friends are blue, enemies red.
// Random points come from the never-seeded `rand`, so every run repeats the same motion.
class Player {
public:
    static constexpr float stepLength = 3.0f;   // world units per drawn frame
    static constexpr double hitDistance = 22.0; // shot centre to player centre, inclusive
    static constexpr double radius = 20.0;

    // The box must be at least one unit wide on every axis (the reader checks this).
    Player(const Vec3& boxMin, const Vec3& boxMax, bool friendly);

    void step(SolidSphere& ball); // moves and draws itself as `ball`, or respawns after a hit
    void respawn();
    bool hitBy(std::vector<Shot>& shots); // consumes at most one shot

    bool isHit() const { return hit; }
    bool isFriendly() const { return friendly; }
    const Vec3& getPosition() const { return position; }
    const Vec3& getDestination() const { return destination; }
    void setPosition(const Vec3& value) { position = value; }
    void setDestination(const Vec3& value) { destination = value; }

private:
    Vec3 randomPointInBox() const;
    void draw(SolidSphere& ball) const;

    bool hit = false;
    Vec3 boxMin;
    Vec3 boxMax;
    Vec3 position;
    Vec3 destination;
    bool friendly;
};
