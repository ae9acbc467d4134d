#include "DamagedRoom.h"

#include "inspection/MovementReport.h"
#include "level/EntityText.h"
#include "level/LevelLoader.h"
#include "math/FileAxes.h"
#include "simulation/World.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>

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
        "collision: 3 brushes left out: a side, plane or texture index outside the level, or a plane that is no "
        "unit direction",
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

namespace {

// "(x y z)" after `label` in `line`, file coordinates; none when the line has no such point.
std::optional<Float3> pointAfter(const std::string& line, const std::string& label)
{
    const std::size_t at = line.find(label + " (");
    Float3 point;
    if (at == std::string::npos
        || std::sscanf(line.c_str() + at + label.size(), " (%f %f %f)", &point.x, &point.y, &point.z) != 3)
        return std::nullopt;
    return point;
}

} // namespace

// The demo and the walking plan as compilers write them: every pad, trigger and button throws and
// every teleporter delivers, and the viewer's world, walking in from where the report set off at
// 10 ms and at 100 ms frames, comes down where the report says.
TEST(MovementReportTest, EveryPadAndTeleporterWorksAndTheViewersWalksLandWhereTheReportSays)
{
    for (const char* plan : {"demo", "walk"}) {
        SCOPED_TRACE(plan);
        const testsupport::TempDir directory;
        const std::string command = std::string(LEVELGEN_PROGRAM) + " " + VERDANTH_SOURCE_DIR + "/demo/" + plan
                                  + ".plan " + directory.path() + " > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::ostringstream quiet;
        const LevelData level = parseLevel(plan, LevelLoader::readLevelFile(directory.path() + plan + ".bsp"), quiet);
        const MovementReport report = MovementReport::of(level, level.entities.entities);
        EXPECT_EQ(report.padsBlocked + report.teleportersBlocked + report.startsInSolid, 0u) << report.summaryLine();
        EXPECT_GE(report.pads, 3u);
        EXPECT_GE(report.teleporters, 1u);
        std::vector<std::string> notices;
        World world(level, level.entities.entities, plan, notices);
        double clock = 0.0; // the movers' clock goes on from walk to walk, as the viewer's does
        std::size_t walked = 0;
        for (const std::string& line : report.lines) {
            const std::optional<Float3> from = pointAfter(line, "from");
            const std::optional<Float3> lands = pointAfter(line, "lands at");
            if (!from || !lands)
                continue;
            ++walked;
            for (const double frame : {0.01, 0.1}) {
                SCOPED_TRACE(line + " at " + std::to_string(int(frame * 1000)) + " ms");
                const Float3 origin = FileAxes::toWorld(*from) + Float3{0, world.settings().feetBelowOrigin, 0};
                ASSERT_EQ(world.startWalking(origin, 90.0), World::Start::walking);
                // Toward the nearest volume or button it set off by, or standing in it already.
                Float3 toward = origin;
                float nearest = 1e30f;
                const auto consider = [&](Float3 low, Float3 high) {
                    const Float3 centre = (low + high) * 0.5f;
                    const float distance = length(Float3{centre.x - origin.x, 0, centre.z - origin.z});
                    if (distance < nearest) {
                        nearest = distance;
                        toward = centre;
                    }
                };
                for (const Triggers::Volume& volume : world.triggers().volumes())
                    consider(volume.low, volume.high);
                for (const Movers::Mover& mover : world.movers().all())
                    if (mover.kind == Movers::Kind::button)
                        consider(mover.low, mover.high);
                WalkInput input;
                input.heading = std::atan2(-(toward.z - origin.z), toward.x - origin.x) * 180.0 / M_PI;
                input.forward = nearest > world.settings().halfWidth ? 1.0f : 0.0f;
                bool thrown = false, left = false;
                clock += 10.0; // a button pressed by the last walk is back up
                for (int step = 0; step < int(10.0 / frame); ++step) {
                    clock += frame;
                    world.step(clock, input, frame);
                    ASSERT_TRUE(world.isWalking());
                    if (world.events().launched || world.events().teleported)
                        thrown = true, input.forward = 0.0f;
                    left = left || (thrown && !world.player().onGround());
                    if (left && world.player().onGround() && !world.events().launched)
                        break;
                }
                EXPECT_TRUE(thrown);
                const Float3 landed = FileAxes::toFile(world.player().origin()) - Float3{0, 0, world.settings().feetBelowOrigin};
                EXPECT_LT(length(landed - *lands), 48.0f) << "landed at " << landed.x << " " << landed.y << " " << landed.z;
                world.stopWalking();
            }
        }
        EXPECT_EQ(walked, report.pads);
    }
}
