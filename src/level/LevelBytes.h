#pragma once

#include <cstdint>
#include <cstring>

// Little-endian field decoding for level records, and the one axis rule of the format:
// the file is Z-up, the world is Y-up, so (x, y, z) in the file is (x, z, -y) in the world.
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
    out[0] = readFloat(bytes);
    out[1] = readFloat(bytes + 8);
    out[2] = -readFloat(bytes + 4);
}

// Three Z-up file integers as a Y-up world triple. The negation of the smallest int32 has
// no int32 value; it saturates to the largest, one unit off at a coordinate no level uses.
inline void readIntsYUp(const unsigned char* bytes, int32_t out[3])
{
    out[0] = readInt32(bytes);
    out[1] = readInt32(bytes + 8);
    const int64_t negatedY = -int64_t(readInt32(bytes + 4));
    out[2] = negatedY > INT32_MAX ? INT32_MAX : int32_t(negatedY);
}

} // namespace LevelBytes
