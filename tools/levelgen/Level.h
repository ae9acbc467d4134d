#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The builder's own picture of a level, in file coordinates (Z up), one vector per lump.
// Nothing here is shared with the viewer: the two must agree only through the bytes.
struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

constexpr int lightmapSide = 128; // texels a side of one lightmap page
constexpr size_t lightmapPageBytes = static_cast<size_t>(lightmapSide) * lightmapSide * 3;

struct TextureRecord {
    std::string name; // path below the data directory, no extension
    int32_t flags = 0;
    int32_t contents = 1;
};

struct PlaneRecord {
    Vector3 normal;
    float distance = 0.0f;
};

struct IntBox {
    std::array<int32_t, 3> mins{};
    std::array<int32_t, 3> maxs{};
};

struct NodeRecord {
    int32_t plane = 0;
    std::array<int32_t, 2> children{}; // front (normal side), back; negative c is leaf -(c + 1)
    IntBox box;
};

struct LeafRecord {
    int32_t cluster = -1; // -1 for solid leaves
    int32_t area = 0;
    IntBox box;
    int32_t firstLeafFace = 0;
    int32_t leafFaceCount = 0;
    int32_t firstLeafBrush = 0;
    int32_t leafBrushCount = 0;
};

struct ModelRecord {
    Vector3 mins;
    Vector3 maxs;
    int32_t firstFace = 0;
    int32_t faceCount = 0;
    int32_t firstBrush = 0;
    int32_t brushCount = 0;
};

struct BrushRecord {
    int32_t firstSide = 0;
    int32_t sideCount = 0;
    int32_t texture = 0;
};

struct BrushSideRecord {
    int32_t plane = 0;
    int32_t texture = 0;
};

// A fog volume: the fog's material, the brush that bounds it and the index, from the brush's
// first side, of the side whose face shows the fog's surface.
struct EffectRecord {
    std::string material;
    int32_t brush = 0;
    int32_t visibleSide = -1;
};

// Colours and lightmap texels hold light at a quarter of its range: a value v means light 4v / 255,
// where light 1 shows a surface in its picture's own colours.
struct VertexRecord {
    Vector3 position;
    float texCoord[2] = {0.0f, 0.0f};
    float lightmapCoord[2] = {0.0f, 0.0f}; // 0..1 across the face's page, at texel centres
    Vector3 normal;
    std::array<uint8_t, 4> color{255, 255, 255, 255}; // R, G, B, A
};

// A face's lightmap is the rectangle lightmapStart (x, y texels) of lightmapSize in page
// lightmapIndex, a one-texel border included; -1 for faces lit by their vertex colours.
// Texel (i, j) of the rectangle is the light at lightmapOrigin + i * lightmapVectors[0] +
// j * lightmapVectors[1] (file coordinates; the vectors are one texel apart on the face).
struct FaceRecord {
    int32_t texture = 0;
    int32_t effect = -1; // the fog volume the face lies in; -1 for none
    int32_t type = 1;
    int32_t firstVertex = 0;
    int32_t vertexCount = 0;
    int32_t firstMeshVertex = 0;
    int32_t meshVertexCount = 0;
    int32_t lightmapIndex = -1;
    std::array<int32_t, 2> lightmapStart{};
    std::array<int32_t, 2> lightmapSize{};
    Vector3 lightmapOrigin;
    std::array<Vector3, 2> lightmapVectors{};
    Vector3 normal;
    std::array<int32_t, 2> patchSize{};
};

struct VisibilityRecord {
    int32_t clusterCount = 0;
    int32_t bytesPerCluster = 0;
    std::vector<uint8_t> bits; // clusterCount * bytesPerCluster

    bool sees(int from, int to) const
    {
        return (bits[static_cast<size_t>(from) * bytesPerCluster + (to >> 3)] >> (to & 7)) & 1;
    }
};

struct Level {
    std::string entities;
    std::vector<TextureRecord> textures;
    std::vector<PlaneRecord> planes;
    std::vector<NodeRecord> nodes;
    std::vector<LeafRecord> leaves;
    std::vector<int32_t> leafFaces;
    std::vector<int32_t> leafBrushes;
    std::vector<ModelRecord> models;
    std::vector<BrushRecord> brushes;
    std::vector<BrushSideRecord> brushSides;
    std::vector<EffectRecord> effects;
    std::vector<VertexRecord> vertices;
    std::vector<int32_t> meshVertices;
    std::vector<FaceRecord> faces;
    std::vector<uint8_t> lightmaps; // pages of lightmapSide x lightmapSide RGB texels, top row first
    VisibilityRecord visibility;

    int lightmapCount() const { return static_cast<int>(lightmaps.size() / lightmapPageBytes); }
};
