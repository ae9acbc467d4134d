#pragma once

#include "level/LevelFormat.h"

#include <array>
#include <cstddef>

// One level vertex (44 bytes in the file), held Y-up. Vertex arrays walk these objects in
// place with the stride of one Vertex, so the reals stay contiguous in file order and the
// colour bytes follow them; the vtable pointer before them does not disturb that.
class Vertex {
public:
    static constexpr int recordSize = LevelFormat::vertexRecordSize; // bytes in the file

    Vertex() = default;
    explicit Vertex(const unsigned char* record); // reads one record of recordSize bytes
    Vertex(float x, float y, float z, float s, float t, float lightmapS, float lightmapT,
        float normalX, float normalY, float normalZ, const std::array<unsigned char, 4>& color);
    virtual ~Vertex() = default;
    Vertex(const Vertex&) = default;
    Vertex& operator=(const Vertex&) = default;

    Vertex operator*(float factor) const;       // every real scaled; colour kept
    Vertex operator+(const Vertex& other) const; // every real added; colour of the left operand

    float position[3] = {0.0f, 0.0f, 0.0f};
    float texCoord[2] = {0.0f, 0.0f};      // surface s, t
    float lightmapCoord[2] = {0.0f, 0.0f}; // lightmap s, t
    float normal[3] = {0.0f, 0.0f, 0.0f};  // not necessarily unit length
    unsigned char color[4] = {0, 0, 0, 0}; // R, G, B, A
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(Vertex, texCoord) == offsetof(Vertex, position) + 12);
static_assert(offsetof(Vertex, lightmapCoord) == offsetof(Vertex, position) + 20);
static_assert(offsetof(Vertex, normal) == offsetof(Vertex, position) + 28);
static_assert(offsetof(Vertex, color) == offsetof(Vertex, position) + 40);
#pragma GCC diagnostic pop
