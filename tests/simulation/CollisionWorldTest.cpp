#include "DamagedRoom.h"

#include "simulation/CollisionWorld.h"
#include "level/LevelFormat.h"
#include "level/LevelLoader.h"

#include <gtest/gtest.h>

namespace {

const CollisionWorld::Box player{{-15, -24, -15}, {15, 32, 15}};

TEST(CollisionWorldTest, LeavesOutBrushesWithBadIndicesAndStopsOnTheRest)
{
    const LevelData level = gametest::damagedRoom();
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

// A box touching a face, or overlapping it by no more than the tolerance, is clear of it: it
// stands there and slides along it, but moves no deeper into it.
TEST(CollisionWorldTest, TouchingIsNotInside)
{
    const LevelData level = gametest::damagedRoom();
    const CollisionWorld world(level, {});
    const struct {
        const char* name;
        float y;    // of the box's origin; the floor's top is at 0, the box's feet 24 below
        Float3 move;
        bool startSolid;
        float fraction;
    } cases[] = {
        {"feet on the floor, moving along it", 24.0f, {30, 0, 0}, false, 1.0f},
        {"feet on the floor, moving up", 24.0f, {0, 30, 0}, false, 1.0f},
        {"feet on the floor, moving down", 24.0f, {0, -30, 0}, false, 0.0f},
        {"feet a tenth into the floor, moving along it", 23.9f, {30, 0, 0}, false, 1.0f},
        {"feet a unit into the floor", 23.0f, {30, 0, 0}, true, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Float3 start{-40, c.y, 0};
        const CollisionWorld::Trace trace = world.trace(start, start + c.move, player, LevelFormat::contentsSolid);
        EXPECT_EQ(trace.startSolid, c.startSolid);
        EXPECT_EQ(trace.fraction, c.fraction);
    }
}

} // namespace
