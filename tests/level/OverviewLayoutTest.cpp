#include "StepRoom.h"

#include "level/LevelLoader.h"
#include "level/OverviewLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

using leveltest::LevelWriter;
using Facing = OverviewLayout::Facing;

namespace {
LevelData load(const LevelWriter& writer)
{
    std::ostringstream quiet;
    return parseLevel("room.bsp", writer.bytes(), quiet);
}

std::size_t countAt(const std::vector<OverviewLayout::MapVertex>& vertices, float height)
{
    std::size_t count = 0;
    for (const auto& vertex : vertices)
        count += vertex.height == height ? 1 : 0;
    return count;
}
} // namespace

TEST(OverviewLayout, TellsGroundFromWallsAndCeilingsByTheFaceThatTurnsOutward)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        float corners[3][3]; // map coordinates: east, north, height
        float normal[3];
        Facing facing;
    };
    const Case cases[] = {
        {"floor, clockwise from above", {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}, {0, 0, 1}, Facing::ground},
        {"floor wound the other way, its normals up", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 0, 3}, Facing::ground},
        {"floor without normals, by its winding", {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}, {0, 0, 0}, Facing::ground},
        {"ceiling, normals down", {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}, {0, 0, -1}, Facing::ceiling},
        {"ceiling without normals, by its winding", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 0, 0}, Facing::ceiling},
        {"upright wall", {{0, 0, 0}, {0, 0, 5}, {4, 0, 0}}, {0, -1, 0}, Facing::wall},
        {"ramp at 45 degrees", {{0, 0, 0}, {0, 1, 0}, {1, 0, 1}}, {-1, 0, 1}, Facing::ground},
        {"slope at 70 degrees", {{0, 0, 0}, {0, 1, 0}, {1, 0, 2.75f}}, {-1, 0, 0.36f}, Facing::wall},
        {"overhang at 45 degrees", {{0, 0, 0}, {0, 1, 0}, {1, 0, -1}}, {-1, 0, -1}, Facing::ceiling},
        {"all corners on a line", {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}, {0, 0, 1}, Facing::none},
        {"a corner not a number", {{0, 0, 0}, {0, nan, 0}, {1, 0, 0}}, {0, 0, 1}, Facing::none},
        {"far beyond a float's range once squared", {{0, 0, 0}, {0, 3e38f, 0}, {3e38f, 0, 0}}, {0, 0, 1},
         Facing::none},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OverviewLayout::facing(c.corners[0], c.corners[1], c.corners[2], c.normal), c.facing) << c.name;
}

TEST(OverviewLayout, ShowsTheWorldsGroundShadedFromItsLowestToItsHighestAndItsWalls)
{
    const OverviewLayout layout = OverviewLayout::of(load(leveltest::stepRoom()), nullptr);
    // Two floors of two triangles; the step's face as the three edges of its two triangles; no
    // ceiling, no sky, no door.
    EXPECT_EQ(layout.ground.size(), 12u);
    EXPECT_EQ(countAt(layout.ground, 0.0f), 6u);
    EXPECT_EQ(countAt(layout.ground, 50.0f), 6u);
    EXPECT_EQ(layout.walls.size(), 12u);
    for (const auto& vertex : layout.ground)
        EXPECT_EQ(vertex.shade, vertex.height == 0.0f ? 0.0f : 1.0f) << vertex.height; // the lowest and highest ground
    EXPECT_EQ(layout.box.west, -100.0f);
    EXPECT_EQ(layout.box.east, 100.0f);
    EXPECT_EQ(layout.box.south, -100.0f);
    EXPECT_EQ(layout.box.north, 100.0f);
    ASSERT_EQ(layout.starts.size(), 1u);
    EXPECT_EQ(layout.starts[0].angle, 90.0f);
    // The door is outlined where it rests: four edges at its top.
    ASSERT_EQ(layout.brushEntities.size(), 8u);
    for (const auto& vertex : layout.brushEntities) {
        EXPECT_TRUE(vertex.east == 40.0f || vertex.east == 100.0f) << vertex.east;
        EXPECT_TRUE(vertex.north == -100.0f || vertex.north == 100.0f) << vertex.north;
        EXPECT_EQ(vertex.height, 90.0f);
    }
}

TEST(OverviewLayout, WithoutAReadableWorldModelShowsEveryFaceWithinTheirOwnBounds)
{
    struct Case {
        const char* name;
        int32_t firstFace, faceCount;
        bool keepModels;
    };
    const Case cases[] = {
        {"no models", 0, 0, false},
        {"world range past the faces", 0, 7, true},
        {"world range before the faces", -1, 5, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LevelWriter writer = leveltest::stepRoom("{ \"classname\" \"info_player_start\" \"origin\" \"1 2\" }");
        writer.lump(LevelFormat::Models).clear();
        if (c.keepModels)
            writer.addModel({-100, -100, 0}, {100, 100, std::numeric_limits<float>::infinity()}, c.firstFace,
                            c.faceCount, 0, 0);
        const OverviewLayout layout = OverviewLayout::of(load(writer), nullptr);
        EXPECT_EQ(countAt(layout.ground, 90.0f), 6u); // the door is then part of what is shown
        EXPECT_EQ(layout.box.low, 0.0f);
        EXPECT_EQ(layout.box.high, 90.0f); // the ceiling faces down and the sky is never seen
        EXPECT_TRUE(layout.starts.empty());
        EXPECT_EQ(layout.ground.back().shade, 1.0f); // the door, now the highest ground
    }
    // Level ground is shaded halfway, whatever its height.
    LevelWriter flat = leveltest::stepRoom();
    flat.lump(LevelFormat::Faces).resize(std::size_t(LevelFormat::faceRecordSize)); // the low floor alone
    flat.lump(LevelFormat::LeafFaces).assign(5 * 4, 0);
    for (const auto& vertex : OverviewLayout::of(load(flat), nullptr).ground)
        EXPECT_EQ(vertex.shade, 0.5f);
}
