#pragma once

// Lays out level files byte by byte from the format's tables, Z-up as a level compiler writes
// them, so each test builds exactly the level it needs. Header-only: only *Test.cpp files are
// compiled into the test program.

#include "level/LevelFormat.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

namespace leveltest {

using Bytes = std::vector<unsigned char>;
using Triple = std::array<float, 3>;
using IntTriple = std::array<int32_t, 3>;

inline void putInt(Bytes& out, int32_t value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(bits >> (8 * i)));
}

inline void putFloat(Bytes& out, float value)
{
    int32_t bits;
    std::memcpy(&bits, &value, 4);
    putInt(out, bits);
}

inline void putFloats(Bytes& out, std::initializer_list<float> values)
{
    for (float value : values)
        putFloat(out, value);
}

inline void putInts(Bytes& out, std::initializer_list<int32_t> values)
{
    for (int32_t value : values)
        putInt(out, value);
}

inline void overwriteInt(Bytes& out, std::size_t at, int32_t value)
{
    Bytes encoded;
    putInt(encoded, value);
    std::memcpy(out.data() + at, encoded.data(), 4);
}

struct FaceRecord {
    int32_t texture = 0;
    int32_t effect = -1;
    int32_t type = LevelFormat::Polygon;
    int32_t firstVertex = 0;
    int32_t vertexCount = 0;
    int32_t firstMeshVertex = 0;
    int32_t meshVertexCount = 0;
    int32_t lightmapIndex = 0;
    std::array<int32_t, 2> lightmapStart{};
    std::array<int32_t, 2> lightmapSize{};
    Triple lightmapOrigin{};
    std::array<Triple, 2> lightmapVectors{};
    Triple normal{0.0f, 0.0f, 1.0f};
    std::array<int32_t, 2> patchSize{};
};

struct VertexRecord {
    Triple position{};
    std::array<float, 2> texCoord{};
    std::array<float, 2> lightmapCoord{};
    Triple normal{0.0f, 0.0f, 1.0f};
    std::array<unsigned char, 4> color{255, 255, 255, 255};
};

class LevelWriter {
public:
    std::string magic = "IBSP";
    int32_t version = LevelFormat::version;
    std::array<Bytes, LevelFormat::lumpCount> lumps;
    std::array<int, LevelFormat::lumpCount> order; // lumps are laid out in this order
    std::array<std::optional<std::array<int32_t, 2>>, LevelFormat::lumpCount> directoryOverride;

    LevelWriter() { std::iota(order.begin(), order.end(), 0); }

    Bytes& lump(int index) { return lumps[std::size_t(index)]; }

    void addTexture(const std::string& name, int32_t flags = 0, int32_t contents = 0)
    {
        Bytes& out = lump(LevelFormat::Textures);
        Bytes field(LevelFormat::textureNameSize, 0);
        std::memcpy(field.data(), name.data(), std::min(name.size(), field.size()));
        out.insert(out.end(), field.begin(), field.end());
        putInts(out, {flags, contents});
    }
    void addPlane(Triple normal, float distance)
    {
        putFloats(lump(LevelFormat::Planes), {normal[0], normal[1], normal[2], distance});
    }
    // The six planes of an axial box from `low` to `high`, facing out: +x, -x, +y, -y, +z, -z.
    void addBoxPlanes(Triple low, Triple high)
    {
        for (std::size_t axis = 0; axis < 3; ++axis) {
            Triple normal{0, 0, 0};
            normal[axis] = 1;
            addPlane(normal, high[axis]);
            normal[axis] = -1;
            addPlane(normal, -low[axis]);
        }
    }
    void addNode(int32_t plane, int32_t front, int32_t back, IntTriple mins = {-64, -64, -64},
        IntTriple maxs = {64, 64, 64})
    {
        putInts(lump(LevelFormat::Nodes), {plane, front, back, mins[0], mins[1], mins[2], maxs[0], maxs[1], maxs[2]});
    }
    void addLeaf(int32_t cluster, int32_t firstLeafFace, int32_t leafFaceCount, int32_t firstLeafBrush = 0,
        int32_t leafBrushCount = 0, IntTriple mins = {-64, -64, -64}, IntTriple maxs = {64, 64, 64}, int32_t area = 0)
    {
        putInts(lump(LevelFormat::Leaves), {cluster, area, mins[0], mins[1], mins[2], maxs[0], maxs[1], maxs[2],
                                               firstLeafFace, leafFaceCount, firstLeafBrush, leafBrushCount});
    }
    void addLeafFace(int32_t face) { putInt(lump(LevelFormat::LeafFaces), face); }
    void addLeafBrush(int32_t brush) { putInt(lump(LevelFormat::LeafBrushes), brush); }
    void addModel(Triple mins, Triple maxs, int32_t firstFace, int32_t faceCount, int32_t firstBrush,
        int32_t brushCount)
    {
        Bytes& out = lump(LevelFormat::Models);
        putFloats(out, {mins[0], mins[1], mins[2], maxs[0], maxs[1], maxs[2]});
        putInts(out, {firstFace, faceCount, firstBrush, brushCount});
    }
    void addBrush(int32_t firstSide, int32_t sideCount, int32_t texture)
    {
        putInts(lump(LevelFormat::Brushes), {firstSide, sideCount, texture});
    }
    void addBrushSide(int32_t plane, int32_t texture) { putInts(lump(LevelFormat::BrushSides), {plane, texture}); }
    void addEffect(const std::string& material, int32_t brush, int32_t visibleSide)
    {
        Bytes& out = lump(LevelFormat::Effects);
        Bytes field(LevelFormat::effectNameSize, 0);
        std::memcpy(field.data(), material.data(), std::min(material.size(), field.size()));
        out.insert(out.end(), field.begin(), field.end());
        putInts(out, {brush, visibleSide});
    }
    void addVertex(const VertexRecord& v)
    {
        Bytes& out = lump(LevelFormat::Vertices);
        putFloats(out, {v.position[0], v.position[1], v.position[2], v.texCoord[0], v.texCoord[1],
                           v.lightmapCoord[0], v.lightmapCoord[1], v.normal[0], v.normal[1], v.normal[2]});
        out.insert(out.end(), v.color.begin(), v.color.end());
    }
    void addMeshVertex(int32_t offset) { putInt(lump(LevelFormat::MeshVertices), offset); }
    void addFace(const FaceRecord& f)
    {
        Bytes& out = lump(LevelFormat::Faces);
        putInts(out, {f.texture, f.effect, f.type, f.firstVertex, f.vertexCount, f.firstMeshVertex,
                         f.meshVertexCount, f.lightmapIndex, f.lightmapStart[0], f.lightmapStart[1],
                         f.lightmapSize[0], f.lightmapSize[1]});
        for (const Triple& t : {f.lightmapOrigin, f.lightmapVectors[0], f.lightmapVectors[1], f.normal})
            putFloats(out, {t[0], t[1], t[2]});
        putInts(out, {f.patchSize[0], f.patchSize[1]});
    }
    void setVisibility(int32_t clusterCount, int32_t bytesPerCluster, const Bytes& bits)
    {
        Bytes& out = lump(LevelFormat::Visibility);
        out.clear();
        putInts(out, {clusterCount, bytesPerCluster});
        out.insert(out.end(), bits.begin(), bits.end());
    }
    void setEntities(const std::string& text) { lump(LevelFormat::Entities).assign(text.begin(), text.end()); }

    // Offset of each lump in the file that bytes() lays out.
    std::array<int32_t, LevelFormat::lumpCount> offsets() const
    {
        std::array<int32_t, LevelFormat::lumpCount> result{};
        int32_t at = LevelFormat::directoryEnd;
        for (int index : order) {
            result[std::size_t(index)] = at;
            at += int32_t(lumps[std::size_t(index)].size());
        }
        return result;
    }

    Bytes bytes() const
    {
        Bytes out(magic.begin(), magic.end());
        out.resize(4, 0);
        putInt(out, version);
        const auto at = offsets();
        for (int i = 0; i < LevelFormat::lumpCount; ++i) {
            const auto& entry = directoryOverride[std::size_t(i)];
            putInt(out, entry ? (*entry)[0] : at[std::size_t(i)]);
            putInt(out, entry ? (*entry)[1] : int32_t(lumps[std::size_t(i)].size()));
        }
        for (int index : order)
            out.insert(out.end(), lumps[std::size_t(index)].begin(), lumps[std::size_t(index)].end());
        return out;
    }
};

// A small complete level: textures "textures/test/wall" and "textures/test/curve"; one plane
// and one node splitting two leaves (clusters 0 and 1, one face each); a quad polygon face
// (texture 0, vertices 0..3, t = 0.25 everywhere) and a 3 x 3 patch face (texture 1, vertices
// 4..12); one model, brush and brush side; visibility with 2 clusters that see each other.
inline LevelWriter smallLevel()
{
    LevelWriter level;
    level.setEntities("{ \"classname\" \"worldspawn\" }");
    level.addTexture("textures/test/wall");
    level.addTexture("textures/test/curve");
    level.addPlane({1.0f, 0.0f, 0.0f}, 0.0f);
    level.addNode(0, -1, -2);
    level.addLeaf(0, 0, 1, 0, 1);
    level.addLeaf(1, 1, 1, 0, 0);
    level.addLeafFace(0);
    level.addLeafFace(1);
    level.addLeafBrush(0);
    level.addModel({-64, -64, -64}, {64, 64, 64}, 0, 2, 0, 1);
    level.addBrush(0, 1, 0);
    level.addBrushSide(0, 0);
    for (int i = 0; i < 4; ++i) {
        VertexRecord v;
        v.position = {float(i % 2) * 32.0f, 0.0f, float(i / 2) * 32.0f};
        v.texCoord = {float(i % 2), 0.25f};
        level.addVertex(v);
    }
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            VertexRecord v;
            v.position = {float(c) * 16.0f, float(r) * 16.0f, c == 1 && r == 1 ? 16.0f : 0.0f};
            v.texCoord = {float(c) / 2, float(r) / 2};
            v.color = {std::uint8_t(10 * r), std::uint8_t(10 * c), 7, 255};
            level.addVertex(v);
        }
    for (int32_t offset : {0, 1, 2, 1, 3, 2})
        level.addMeshVertex(offset);
    FaceRecord quad;
    quad.texture = 0;
    quad.vertexCount = 4;
    quad.meshVertexCount = 6;
    level.addFace(quad);
    FaceRecord patch;
    patch.texture = 1;
    patch.type = LevelFormat::Patch;
    patch.firstVertex = 4;
    patch.vertexCount = 9;
    patch.firstMeshVertex = 6;
    patch.patchSize = {3, 3};
    level.addFace(patch);
    level.setVisibility(2, 1, {0x03, 0x03});
    return level;
}

} // namespace leveltest
