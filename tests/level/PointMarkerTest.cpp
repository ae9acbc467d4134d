#include "level/PointMarker.h"

#include <gtest/gtest.h>

#include <set>

namespace {
using Family = PointMarker::Family;
} // namespace

TEST(PointMarkerTest, EachPointEntityByFamilyWhereItStandsYUp)
{
    const struct {
        const char* entity;
        bool marked;
        Family family;
        std::array<float, 4> where; // world x, y, z; heading
    } cases[] = {
        {"\"classname\" \"info_player_deathmatch\" \"origin\" \"10 20 30\" \"angle\" \"90\"", true,
         Family::playerStart, {10, 30, -20, 90}},
        {"\"classname\" \"INFO_PLAYER_START\" \"origin\" \"-1 -2 -3\"", true, Family::playerStart, {-1, -3, 2, 0}},
        {"\"classname\" \"light\" \"origin\" \"1 2 3\" \"light\" \"300\"", true, Family::light, {1, 3, -2, 0}},
        {"\"classname\" \"misc_teleporter_dest\" \"origin\" \"5 6 7\" \"angle\" \"-45\"", true,
         Family::teleportDestination, {5, 7, -6, -45}},
        {"\"classname\" \"info_teleport_destination\" \"origin\" \"5 6 7\"", true, Family::teleportDestination,
         {5, 7, -6, 0}},
        {"\"classname\" \"target_speaker\" \"origin\" \"5 6 7\"", true, Family::other, {5, 7, -6, 0}},
        {"\"origin\" \"5 6 7\"", true, Family::other, {5, 7, -6, 0}},
        {"\"classname\" \"misc_model\" \"model\" \"models/tree.md3\" \"origin\" \"5 6 7\"", true, Family::other,
         {5, 7, -6, 0}},
        // Not marked: the world, brush entities (drawn themselves), pickups (shown as their shapes),
        // origins that do not read.
        {"\"classname\" \"item_health\" \"origin\" \"0 0 0\"", false, Family::other, {}},
        {"\"classname\" \"team_CTF_blueflag\" \"origin\" \"0 0 0\"", false, Family::other, {}},
        {"\"classname\" \"worldspawn\" \"origin\" \"0 0 0\"", false, Family::other, {}},
        {"\"classname\" \"func_door\" \"model\" \"*3\" \"origin\" \"0 0 0\"", false, Family::other, {}},
        {"\"classname\" \"light\" \"origin\" \"1 2\"", false, Family::other, {}},
        {"\"classname\" \"light\"", false, Family::other, {}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.entity);
        const std::vector<PointMarker> markers =
            PointMarker::list(EntityText::parse(std::string("{ ") + each.entity + " }").entities);
        ASSERT_EQ(markers.size(), each.marked ? 1u : 0u);
        if (!each.marked)
            continue;
        EXPECT_EQ(markers[0].family, each.family);
        EXPECT_EQ((std::array<float, 4>{markers[0].position.getX(), markers[0].position.getY(),
                                        markers[0].position.getZ(), markers[0].heading}),
                  each.where);
    }
}

TEST(PointMarkerTest, EachFamilyHasItsOwnColour)
{
    std::set<std::array<unsigned char, 3>> colours;
    for (std::size_t f = 0; f < PointMarker::familyCount; ++f)
        colours.insert(PointMarker::colour(Family(f)));
    EXPECT_EQ(colours.size(), PointMarker::familyCount);
}
