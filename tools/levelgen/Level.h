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

struct VertexRecord {
    Vector3 position;
    float texCoord[2] = {0.0f, 0.0f};
    float lightmapCoord[2] = {0.0f, 0.0f};
    Vector3 normal;
    std::array<uint8_t, 4> color{255, 255, 255, 255};
};

struct FaceRecord {
    int32_t texture = 0;
    int32_t effect = -1;
    int32_t type = 1;
    int32_t firstVertex = 0;
    int32_t vertexCount = 0;
    int32_t firstMeshVertex = 0;
    int32_t meshVertexCount = 0;
    int32_t lightmapIndex = 0;
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
    std::vector<VertexRecord> vertices;
    std::vector<int32_t> meshVertices;
    std::vector<FaceRecord> faces;
    int32_t lightmapCount = 1;
    VisibilityRecord visibility;
};
