#pragma once

#include "level/LevelFormat.h"

#include "math/Vec3.h"

// One splitting plane (16 bytes in the file): the points p with normal . p = distance.
// The normal is held Y-up; the distance is used as stored.
class Plane {
public:
    static constexpr int recordSize = LevelFormat::planeRecordSize; // bytes in the file

    Plane() = default;
    explicit Plane(const unsigned char* record); // reads one record of recordSize bytes
    virtual ~Plane() = default;
    Plane(const Plane&) = default;
    Plane& operator=(const Plane&) = default;

    Vec3 getNormal() const { return normal; }
    float getDistance() const { return distance; }

    Vec3 normal;
    float distance = 0.0f;
};
