#include "DamagedRoom.h"

#include "inspection/MovementReport.h"
#include "level/EntityText.h"

#include <gtest/gtest.h>

namespace {

// What the report says of what does not work: brushes left out, a start inside a wall, a pad
// without a target, a teleporter into a wall, one whose target does not exist, and a pad whose
// volume has no brush, which the walker therefore never sets off; an intermission view is a
// camera, not a start. (The walking plan's working pads and teleporter are tests/tools'
// LevelInfoTest.)
TEST(MovementReportTest, SaysWhatDoesNotWorkAndCountsItAsBlocked)
{
    const std::string entities = R"({ "classname" "info_player_start" "origin" "0 0 24" }
{ "classname" "info_player_deathmatch" "origin" "40 0 24" }
{ "classname" "info_player_intermission" "origin" "0 0 100" }
{ "classname" "trigger_push" "model" "*1" }
{ "classname" "trigger_teleport" "model" "*2" "target" "inside" }
{ "targetname" "inside" "origin" "40 0 40" "angle" "90" }
{ "classname" "trigger_teleport" "model" "*3" "target" "gone" }
{ "classname" "trigger_push" "model" "*4" "target" "up" }
{ "targetname" "up" "origin" "0 0 200" })";
    const LevelData level = gametest::damagedRoom(entities, 4);
    const MovementReport report = MovementReport::of(level, EntityText::parse(entities).entities);
    const std::vector<std::string> expected = {
        "collision: 3 brushes left out: a side, plane or texture index outside the level",
        "start 1 info_player_start at (0 0 24): clear, falls 9 to the floor",
        "start 2 info_player_deathmatch at (40 0 24): in solid",
        "camera 1 info_player_intermission at (0 0 100)",
        "pad *1 to nothing: does nothing: it has no target",
        "teleporter *2 to inside (40 0 40) heading 90: in solid",
        "teleporter *3 to gone: does nothing: it names target \"gone\", which no entity is",
        "pad *4 to up (0 0 200): the walker cannot use it: the walker does not set it off from the floor under or "
        "beside it",
    };
    EXPECT_EQ(report.lines, expected);
    EXPECT_EQ(report.summaryLine(), "movement: 2 starts (1 in solid), 2 jump pads (2 blocked), 2 teleporters (2 blocked)");
}

} // namespace
