#pragma once

#include <cstdint>

// The fixed numbers of the IBSP version 46 level layout: the header, the 17-entry lump
// directory and the size of one record in each lump. All integers in the file are 32-bit
// little-endian, all reals IEEE single precision; the file is Z-up.
namespace LevelFormat {

constexpr char magic[4] = {'I', 'B', 'S', 'P'};
constexpr int32_t version = 46;

constexpr int lumpCount = 17;
constexpr int headerSize = 8;                           // magic, version
constexpr int directorySize = lumpCount * 8;            // offset, length per lump
constexpr int directoryEnd = headerSize + directorySize; // 144

enum Lump : int {
    Entities = 0,
    Textures = 1,
    Planes = 2,
    Nodes = 3,
    Leaves = 4,
    LeafFaces = 5,
    LeafBrushes = 6,
    Models = 7,
    Brushes = 8,
    BrushSides = 9,
    Vertices = 10,
    MeshVertices = 11,
    Effects = 12,
    Faces = 13,
    Lightmaps = 14,
    LightVolumes = 15,
    Visibility = 16,
};

constexpr int directoryEntrySize = 8;   // offset, length
constexpr int textureRecordSize = 72; // 64-byte name, flags, contents
constexpr int textureNameSize = 64;
constexpr int planeRecordSize = 16;
constexpr int nodeRecordSize = 36;
constexpr int leafRecordSize = 48;
constexpr int leafFaceRecordSize = 4;
constexpr int leafBrushRecordSize = 4;
constexpr int modelRecordSize = 40;
constexpr int brushRecordSize = 12;
constexpr int brushSideRecordSize = 8;
constexpr int vertexRecordSize = 44;
constexpr int meshVertexRecordSize = 4;
constexpr int effectRecordSize = 72; // 64-byte material name, brush, visible side
constexpr int effectNameSize = 64;
constexpr int faceRecordSize = 104;
constexpr int lightmapSide = 128;                                  // texels per side
constexpr int lightmapRecordSize = lightmapSide * lightmapSide * 3; // 49152, RGB
constexpr int visibilityHeaderSize = 8;                            // clusterCount, bytesPerCluster

// Each lump's name (as messages and tools print it) and record size in bytes; 0 for lumps of
// variable size or that are skipped. Index = lump number.
struct LumpInfo {
    const char* name;
    int recordSize;
};
constexpr LumpInfo lumps[lumpCount] = {
    {"entities", 1},
    {"textures", textureRecordSize},
    {"planes", planeRecordSize},
    {"nodes", nodeRecordSize},
    {"leaves", leafRecordSize},
    {"leafFaces", leafFaceRecordSize},
    {"leafBrushes", leafBrushRecordSize},
    {"models", modelRecordSize},
    {"brushes", brushRecordSize},
    {"brushSides", brushSideRecordSize},
    {"vertices", vertexRecordSize},
    {"meshVertices", meshVertexRecordSize},
    {"effects", effectRecordSize},
    {"faces", faceRecordSize},
    {"lightmaps", lightmapRecordSize},
    {"lightVolumes", 0},
    {"visibility", 0},
};

// Surface flags of a texture record that the viewer acts on.
constexpr int32_t surfaceSky = 0x4;
constexpr int32_t surfaceNoDraw = 0x80;

// Contents flags of a texture record (what a brush made of it is), as a walker reads them.
constexpr int32_t contentsSolid = 0x1;
constexpr int32_t contentsLava = 0x8;
constexpr int32_t contentsSlime = 0x10;
constexpr int32_t contentsWater = 0x20;
constexpr int32_t contentsPlayerClip = 0x10000;
constexpr int32_t contentsMonsterClip = 0x20000; // blocks no player: shown by the tool view only
constexpr int32_t contentsTrigger = 0x40000000;

enum FaceType : int32_t { Polygon = 1, Patch = 2, Mesh = 3, Billboard = 4 };

} // namespace LevelFormat
