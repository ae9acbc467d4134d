#pragma once

#include "../level/LevelWriter.h"

#include "level/LevelFormat.h"
#include "level/LevelLoader.h"

#include <sstream>

namespace gametest {

using leveltest::LevelWriter;

// One leaf holding a floor slab (file z -16 to 0 over x and y -64 to 64), a player-clip wall
// across it (file x 32 to 48), and brushes whose sides, planes or texture lie outside the
// file, listed with leaf-brush entries that name no brush. `entities` is its entity text, and
// `emptyModels` inline models of no brush stand after the world, each a box 16 units wide
// from file z 0 to 8 over the middle of the floor.
inline LevelData damagedRoom(const std::string& entities = "", int emptyModels = 0)
{
    LevelWriter writer;
    writer.setEntities(entities);
    writer.addTexture("floor", 0, LevelFormat::contentsSolid);
    writer.addTexture("clip", 0, LevelFormat::contentsPlayerClip);
    writer.addBoxPlanes({-64, -64, -16}, {64, 64, 0}); // planes 0-5
    writer.addBoxPlanes({32, -64, 0}, {48, 64, 128});  // planes 6-11
    writer.addPlane({0, 0, 1}, -1000); // 12: the node's, everything in front
    for (int32_t plane = 0; plane < 12; ++plane)
        writer.addBrushSide(plane, 0);
    writer.addBrushSide(999, 0); // side 12 names no plane
    writer.addBrush(0, 6, 0);    // 0: the floor
    writer.addBrush(6, 6, 1);    // 1: the clip wall
    writer.addBrush(100, 6, 0);  // 2: sides beyond the lump
    writer.addBrush(12, 1, 0);   // 3: a side naming no plane
    writer.addBrush(0, 6, 7);    // 4: no such texture
    for (const int32_t brush : {0, 1, 2, 3, 4, 55, -1})
        writer.addLeafBrush(brush);
    writer.addNode(12, -1, -2);
    writer.addLeaf(0, 0, 0, 0, 7);
    writer.addLeaf(-1, 0, 0, 0, 0);
    writer.addModel({-64, -64, -16}, {64, 64, 128}, 0, 0, 0, 5);
    for (int model = 0; model < emptyModels; ++model)
        writer.addModel({-8, -8, 0}, {8, 8, 8}, 0, 0, 5, 0);
    std::ostringstream quiet;
    return parseLevel("damaged.bsp", writer.bytes(), quiet);
}

} // namespace gametest
