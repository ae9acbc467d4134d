#pragma once

#include <cstdint>
#include <cstring>
#include <string>
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

// The fields of face record `index` that lighting and materials concern (104-byte records).
struct FaceFields {
    int32_t texture = 0;
    int32_t type = 0;
    int32_t firstVertex = 0;
    int32_t vertexCount = 0;
    int32_t lightmapIndex = 0;
    int32_t lightmapStart[2] = {0, 0};
    int32_t lightmapSize[2] = {0, 0};
    float normal[3] = {0.0f, 0.0f, 0.0f};
};

inline FaceFields faceAt(const std::vector<uint8_t>& bytes, size_t index)
{
    const size_t at = static_cast<size_t>(lumpAt(bytes, 13).offset) + 104 * index;
    FaceFields face;
    face.texture = intAt(bytes, at);
    face.type = intAt(bytes, at + 8);
    face.firstVertex = intAt(bytes, at + 12);
    face.vertexCount = intAt(bytes, at + 16);
    face.lightmapIndex = intAt(bytes, at + 28);
    for (size_t k = 0; k < 2; ++k) {
        face.lightmapStart[k] = intAt(bytes, at + 32 + 4 * k);
        face.lightmapSize[k] = intAt(bytes, at + 40 + 4 * k);
    }
    for (size_t k = 0; k < 3; ++k)
        face.normal[k] = floatAt(bytes, at + 84 + 4 * k);
    return face;
}

inline size_t faceCount(const std::vector<uint8_t>& bytes)
{
    return static_cast<size_t>(lumpAt(bytes, 13).length) / 104;
}

// Vertex `index`: field offsets 0 position, 20 lightmap coordinates, 40 colour.
inline size_t vertexOffset(const std::vector<uint8_t>& bytes, size_t index)
{
    return static_cast<size_t>(lumpAt(bytes, 10).offset) + 44 * index;
}

// One texel of the lightmap lump: page, x across, y down; red, green, blue.
inline const uint8_t* lightmapTexel(const std::vector<uint8_t>& bytes, int page, int x, int y)
{
    const size_t at = static_cast<size_t>(lumpAt(bytes, 14).offset) +
                      static_cast<size_t>(page) * 49152 + (static_cast<size_t>(y) * 128 + static_cast<size_t>(x)) * 3;
    return &bytes.at(at);
}

// Texture record `index`: its name, surface flags and contents (72-byte records).
inline std::string textureNameAt(const std::vector<uint8_t>& bytes, size_t index)
{
    const size_t at = static_cast<size_t>(lumpAt(bytes, 1).offset) + 72 * index;
    return std::string(reinterpret_cast<const char*>(&bytes.at(at)));
}

inline int32_t textureFlagsAt(const std::vector<uint8_t>& bytes, size_t index)
{
    return intAt(bytes, static_cast<size_t>(lumpAt(bytes, 1).offset) + 72 * index + 64);
}

} // namespace toolstest
