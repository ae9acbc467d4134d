#include "DamagedRoom.h"

#include "inspection/MovementReport.h"
#include "level/EntityText.h"

#include <gtest/gtest.h>

namespace {

// What the report says of what does not work: brushes left out, a start inside a wall, a pad
// without a target, a teleporter into a wall and one whose target does not exist. (The walking
// plan's working pad and teleporter are tests/tools' LevelInfoTest.)
TEST(MovementReportTest, SaysWhatDoesNotWorkAndCountsItAsBlocked)
{
    const std::string entities = R"({ "classname" "info_player_start" "origin" "0 0 24" }
{ "classname" "info_player_deathmatch" "origin" "40 0 24" }
{ "classname" "trigger_push" "model" "*1" }
{ "classname" "trigger_teleport" "model" "*2" "target" "inside" }
{ "targetname" "inside" "origin" "40 0 40" "angle" "90" }
{ "classname" "trigger_teleport" "model" "*2" "target" "gone" })";
    const LevelData level = gametest::damagedRoom(entities, 2);
    const MovementReport report = MovementReport::of(level, EntityText::parse(entities).entities);
    const std::vector<std::string> expected = {
        "collision: 3 brushes left out: a side, plane or texture index outside the level",
        "start 1 info_player_start at (0 0 24): clear, falls 9 to the floor",
        "start 2 info_player_deathmatch at (40 0 24): in solid",
        "pad *1 from (0 0 0) to nothing: does nothing: it has no target",
        "teleporter *2 to inside (40 0 40) heading 90: in solid",
        "teleporter *2 to gone: does nothing: it names target \"gone\", which no entity is",
    };
    EXPECT_EQ(report.lines, expected);
    EXPECT_EQ(report.summaryLine(), "movement: 2 starts (1 in solid), 1 jump pads (1 blocked), 2 teleporters (2 blocked)");
}

} // namespace
