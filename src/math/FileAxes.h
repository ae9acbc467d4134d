#pragma once

#include "math/Float3.h"

#include <cstdint>

// The one rule between a level file's axes and the world's: the file is Z up, the world Y up
// (OpenGL's), so file (x, y, z) is world (x, z, -y), and world (x, y, z) is file (x, -z, y).
// Units are the same. `0 - v` rather than `-v` keeps a zero positive, so no "-0" is printed.
namespace FileAxes {

inline Float3 toWorld(Float3 file) { return {file.x, file.z, 0.0f - file.y}; }
inline Float3 toWorld(const float file[3]) { return toWorld(Float3{file[0], file[1], file[2]}); }
inline Float3 toFile(Float3 world) { return {world.x, 0.0f - world.z, world.y}; }

// Whole numbers the same way. The negation of the smallest int32 has no int32 value; it
// saturates to the largest, one unit off at a coordinate no level uses.
inline void toWorld(const int32_t file[3], int32_t world[3])
{
    const int64_t negatedY = -int64_t(file[1]);
    world[0] = file[0];
    world[1] = file[2];
    world[2] = negatedY > INT32_MAX ? INT32_MAX : int32_t(negatedY);
}

} // namespace FileAxes
