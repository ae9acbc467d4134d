#include "../level/LevelWriter.h"

#include "game/CollisionWorld.h"
#include "level/LevelFormat.h"
#include "level/LevelLoader.h"

#include <gtest/gtest.h>

#include <sstream>

using leveltest::LevelWriter;

namespace {

// One leaf holding a floor slab (file z -16 to 0 over x and y -64 to 64), a player-clip wall
// across it (file x 32 to 48), and brushes whose sides, planes or texture lie outside the
// file, listed with leaf-brush entries that name no brush.
LevelData damagedRoom()
{
    LevelWriter writer;
    writer.addTexture("floor", 0, LevelFormat::contentsSolid);
    writer.addTexture("clip", 0, LevelFormat::contentsPlayerClip);
    const auto addBox = [&writer](float x0, float x1, float z0, float z1) {
        writer.addPlane({1, 0, 0}, x1);
        writer.addPlane({-1, 0, 0}, -x0);
        writer.addPlane({0, 1, 0}, 64);
        writer.addPlane({0, -1, 0}, 64);
        writer.addPlane({0, 0, 1}, z1);
        writer.addPlane({0, 0, -1}, -z0);
    };
    addBox(-64, 64, -16, 0); // planes 0-5
    addBox(32, 48, 0, 128);  // planes 6-11
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
    std::ostringstream quiet;
    return parseLevel("damaged.bsp", writer.bytes(), quiet);
}

const CollisionWorld::Box player{{-15, -24, -15}, {15, 32, 15}};

TEST(CollisionWorldTest, LeavesOutBrushesWithBadIndicesAndStopsOnTheRest)
{
    const LevelData level = damagedRoom();
    const CollisionWorld world(level, {});
    EXPECT_EQ(world.solidCount(), 2u);
    EXPECT_EQ(world.skippedBrushes(), 3u);

    // Falling onto the floor (world Y up): stopped the contact gap above it, on its top plane.
    const CollisionWorld::Trace fall = world.trace({0, 100, 0}, {0, -100, 0}, player, LevelFormat::contentsSolid);
    EXPECT_FLOAT_EQ(fall.end.y, 24.0f + CollisionWorld::contactGap);
    EXPECT_EQ(fall.normal.y, 1.0f);
    EXPECT_EQ(fall.texture, 0);
    EXPECT_FALSE(fall.startSolid);

    // The clip wall stops what player clips stop, and nothing else.
    const int32_t blocking = LevelFormat::contentsSolid | LevelFormat::contentsPlayerClip;
    const CollisionWorld::Trace walk = world.trace({-40, 30, 0}, {40, 30, 0}, player, blocking);
    EXPECT_FLOAT_EQ(walk.end.x, 32.0f - 15.0f - CollisionWorld::contactGap);
    EXPECT_EQ(walk.normal.x, -1.0f);
    EXPECT_EQ(walk.contents, LevelFormat::contentsPlayerClip);
    EXPECT_EQ(world.trace({-40, 30, 0}, {40, 30, 0}, player, LevelFormat::contentsSolid).fraction, 1.0f);

    // A box placed inside the wall starts in solid; its contents are the wall's.
    EXPECT_TRUE(world.trace({40, 30, 0}, {40, 30, 0}, player, blocking).startSolid);
    EXPECT_EQ(world.contentsAt({40, 30, 0}, {}), LevelFormat::contentsPlayerClip);
}

} // namespace
