#pragma once

#include "math/FileAxes.h"

#include <cstdint>
#include <cstring>

// Little-endian field decoding for level records; triples turned into the world's axes
// (FileAxes) as they are read.
namespace LevelBytes {

inline uint32_t readUint32(const unsigned char* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16
        | uint32_t(bytes[3]) << 24;
}

inline int32_t readInt32(const unsigned char* bytes)
{
    const uint32_t bits = readUint32(bytes);
    int32_t value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline float readFloat(const unsigned char* bytes)
{
    const uint32_t bits = readUint32(bytes);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void readInts(const unsigned char* bytes, int32_t* out, int count)
{
    for (int i = 0; i < count; ++i)
        out[i] = readInt32(bytes + 4 * i);
}

inline void readFloats(const unsigned char* bytes, float* out, int count)
{
    for (int i = 0; i < count; ++i)
        out[i] = readFloat(bytes + 4 * i);
}

// Three Z-up file reals as a Y-up world triple.
inline void readFloatsYUp(const unsigned char* bytes, float out[3])
{
    float file[3];
    readFloats(bytes, file, 3);
    const Float3 world = FileAxes::toWorld(file);
    out[0] = world.x;
    out[1] = world.y;
    out[2] = world.z;
}

// Three Z-up file integers as a Y-up world triple.
inline void readIntsYUp(const unsigned char* bytes, int32_t out[3])
{
    int32_t file[3];
    readInts(bytes, file, 3);
    FileAxes::toWorld(file, out);
}

} // namespace LevelBytes
