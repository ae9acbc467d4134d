#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// A deliberately tiny reader for the tool tests, written apart from both the builder's
// writer and the viewer's loader: little-endian numbers at byte offsets.
namespace toolstest {

inline int32_t intAt(const std::vector<uint8_t>& bytes, size_t offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes.at(offset + static_cast<size_t>(i));
    return static_cast<int32_t>(value);
}

inline float floatAt(const std::vector<uint8_t>& bytes, size_t offset)
{
    const int32_t bits = intAt(bytes, offset);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

struct LumpSpan {
    int32_t offset = 0;
    int32_t length = 0;
};

inline LumpSpan lumpAt(const std::vector<uint8_t>& bytes, int lump)
{
    return {intAt(bytes, 8 + 8 * static_cast<size_t>(lump)), intAt(bytes, 12 + 8 * static_cast<size_t>(lump))};
}

} // namespace toolstest
