#pragma once

#include "math/Vec3.h"

// One ball in flight. `direction` is a unit vector pointing opposite to the flight,
// so each advance subtracts it.
class Shot {
public:
    static constexpr float speed = 10.0f; // world units per drawn frame

    Shot(const Vec3& position, const Vec3& direction) : currentPosition(position), direction(direction) {}

    Vec3 position() const { return currentPosition; }
    const Vec3& getDirection() const { return direction; }
    void advance() { currentPosition = currentPosition.minus(direction.scaled(speed)); }

private:
    Vec3 currentPosition;
    Vec3 direction;
};
