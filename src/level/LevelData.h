#pragma once

#include "level/Brush.h"
#include "level/BrushSide.h"
#include "level/DirectoryEntry.h"
#include "level/Effect.h"
#include "level/EntityText.h"
#include "level/Face.h"
#include "level/Leaf.h"
#include "level/Model.h"
#include "level/Node.h"
#include "level/Plane.h"
#include "level/Vertex.h"
#include "level/VisData.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Every array of a level, decoded Y-up and validated: each record index field indexes these
// arrays directly and has been checked against them. Index i of an array is record i of its
// lump. Filled by LevelLoader; the map (BSPMap) holds the same arrays as its own members.
struct LevelData {
    std::string magic; // the four header characters as stored, never checked
    int32_t version = 0;
    std::vector<DirectoryEntry> directory; // 17 entries, index = lump number
    std::vector<std::string> textureNames; // lump 1, in file order
    std::vector<int32_t> textureFlags;     // lump 1: each record's surface flags (LevelFormat::surfaceSky, ...)
    std::vector<int32_t> textureContents;  // lump 1: each record's contents (LevelFormat::contentsSolid, ...)
    int lightmapCount = 0;                 // lump 14 length / 49152
    std::vector<Plane> planes;
    std::vector<Node> nodes;
    std::vector<Leaf> leaves;
    std::vector<int32_t> leafFaces;   // face indices
    std::vector<int32_t> leafBrushes; // brush indices
    std::vector<Model> models;
    std::vector<Brush> brushes;
    std::vector<BrushSide> brushSides;
    // Lump 12, fog volumes: a record whose brush, sides or planes are bad keeps its place (faces
    // index it) with brush -1, and faces naming it have no effect.
    std::vector<Effect> effects;
    std::vector<Vertex> vertices;
    std::vector<int32_t> meshVertices; // offsets from a face's firstVertex
    std::vector<Face> faces;
    std::string entityText;          // lump 0 as stored
    EntityList entities;             // lump 0 parsed, once per load: everything reads this
    std::unique_ptr<VisData> visData; // null when the level has no visibility data
    // One line each (naming the file, no line break) for damage the load repaired rather than
    // refused, such as a face naming an effect the level lacks; the loader's transcript never
    // holds them, so a caller says them where it speaks to the user.
    std::vector<std::string> notices;

    // The bytes the arrays hold once loaded (patches included, tessellations not): what a
    // level costs before anything is made from it.
    std::size_t footprintBytes() const;
};
