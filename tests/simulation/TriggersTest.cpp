#include "DamagedRoom.h"

#include "math/FileAxes.h"
#include "simulation/Movers.h"
#include "simulation/Triggers.h"
#include "simulation/WalkSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using leveltest::LevelWriter;

// Inline models *1 and up, each one box brush in file coordinates on the record compilers give
// trigger volumes (solid contents), after a world model of no brush.
LevelData triggerLevel(const std::string& entities, const std::vector<std::pair<Float3, Float3>>& boxes)
{
    LevelWriter writer;
    writer.setEntities(entities);
    writer.addTexture("textures/common/trigger", 0x80, LevelFormat::contentsSolid);
    writer.addModel({-1000, -1000, -1000}, {1000, 1000, 1000}, 0, 0, 0, 0);
    int32_t plane = 0;
    for (std::size_t b = 0; b < boxes.size(); ++b) {
        const auto& [low, high] = boxes[b];
        for (int axis = 0; axis < 3; ++axis) {
            leveltest::Triple normal{0, 0, 0};
            normal[std::size_t(axis)] = 1;
            writer.addPlane(normal, high[axis]);
            normal[std::size_t(axis)] = -1;
            writer.addPlane(normal, -low[axis]);
        }
        for (int side = 0; side < 6; ++side)
            writer.addBrushSide(plane + side, 0);
        writer.addBrush(plane, 6, 0);
        writer.addModel({low.x, low.y, low.z}, {high.x, high.y, high.z}, 0, 0, int32_t(b), 1);
        plane += 6;
    }
    writer.addPlane({0, 0, 1}, -1000);
    writer.addNode(plane, -1, -2);
    writer.addLeaf(0, 0, 0);
    writer.addLeaf(-1, 0, 0);
    std::ostringstream quiet;
    return parseLevel("triggers.bsp", writer.bytes(), quiet);
}

struct Fixture {
    LevelData level;
    std::vector<Entity> entities;
    std::vector<std::string> notices;
    Movers movers;
    Triggers triggers;

    Fixture(const std::string& text, const std::vector<std::pair<Float3, Float3>>& boxes,
            std::vector<BrushEntity> brushes = {})
        : level(triggerLevel(text, boxes)), entities(EntityText::parse(text).entities),
          movers(brushes, entities, "test.bsp", notices, WalkSettings{}.gravity),
          triggers(level, entities, std::vector<Float3>(level.models.size()), movers, "test.bsp", notices)
    {
    }
};

// A world box (Y up) around the file point `at`, 30 wide and 56 high, as a player's.
std::pair<Float3, Float3> playerAround(Float3 at)
{
    const Float3 centre = FileAxes::toWorld(at);
    return {centre - Float3{15, 24, 15}, centre + Float3{15, 32, 15}};
}

// Each pad or teleporter alone with what it may name, and what becomes of it: the problem said
// for it, or where it sends the player (world coordinates: file x, z, -y).
TEST(TriggersTest, ResolvesEachTargetOrSaysWhyItDoesNothing)
{
    const struct {
        const char* entities;
        const char* problem; // "" when it works
        Float3 to;
        double heading;
    } cases[] = {
        {R"({ "classname" "trigger_push" "model" "*1" "target" "up" } { "classname" "target_position" "targetname" "up" "origin" "10 20 30" })",
         "", {10, 30, -20}, 0},
        {R"({ "classname" "trigger_teleport" "model" "*1" "target" "t" } { "classname" "info_notnull" "targetname" "t" "origin" "1 2 3" "angle" "180" })",
         "", {1, 3, -2}, 180},
        {R"({ "classname" "trigger_push" "model" "*1" })", "has no target", {}, 0},
        {R"({ "classname" "trigger_teleport" "model" "*1" "target" "gone" })",
         "names target \"gone\", which no entity is", {}, 0},
        {R"({ "classname" "trigger_push" "model" "*1" "target" "x" } { "targetname" "x" "origin" "1 nan 3" })",
         "names target \"x\", whose origin is not three numbers", {}, 0},
        {R"({ "classname" "trigger_push" "model" "*1" "target" "x" } { "targetname" "x" "origin" "0 0 2e6" })",
         "names target \"x\", which lies beyond 1e6 units", {}, 0},
        // A trigger_multiple's push: the target_push's own target is the arc's top.
        {R"({ "classname" "trigger_multiple" "model" "*1" "target" "p" } { "classname" "target_push" "targetname" "p" "target" "top" } { "targetname" "top" "origin" "5 6 7" })",
         "", {5, 7, -6}, 0},
        {R"({ "classname" "trigger_multiple" "model" "*1" "target" "p" } { "classname" "target_push" "targetname" "p" })",
         "has no target", {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entities);
        Fixture f(c.entities, {{{0, 0, 0}, {64, 64, 16}}});
        ASSERT_EQ(f.triggers.volumes().size(), 1u);
        const Triggers::Move& move = f.triggers.volumes()[0].response.move;
        EXPECT_EQ(move.problem, c.problem);
        EXPECT_EQ(move.works(), std::string(c.problem).empty());
        EXPECT_EQ(move.to.x, c.to.x);
        EXPECT_EQ(move.to.y, c.to.y);
        EXPECT_EQ(move.to.z, c.to.z);
        EXPECT_EQ(move.heading, c.heading);
    }
}

// A trigger_multiple (box file x 0 to 64) opens a door through relays, one of which passes the
// name back, and fires again only after its wait; a trigger_once (x 200 to 264) fires its push
// once, for a walker. Both are written solid, and are touched, not stood on.
TEST(TriggersTest, VolumesFireThroughRelaysAfterTheirWaitOrOnce)
{
    const std::string text = R"({ "classname" "trigger_multiple" "model" "*1" "target" "hall" "wait" "2" }
{ "classname" "target_relay" "targetname" "hall" "target" "lamps" }
{ "classname" "target_delay" "targetname" "lamps" "target" "gate" }
{ "classname" "trigger_relay" "targetname" "lamps" "target" "hall" }
{ "classname" "func_door" "targetname" "gate" "model" "*3" }
{ "classname" "trigger_once" "model" "*2" "target" "p" }
{ "classname" "target_push" "targetname" "p" "target" "top" }
{ "classname" "target_position" "targetname" "top" "origin" "232 32 300" })";
    BrushEntity door;
    door.model = 3;
    door.className = "func_door";
    door.faceCount = 1;
    door.low = Vec3(400, 0, -8);
    door.high = Vec3(464, 128, 8);
    Fixture f(text, {{{0, 0, 0}, {64, 64, 16}}, {{200, 0, 0}, {264, 64, 16}}, {{400, 0, 0}, {464, 16, 128}}}, {door});
    ASSERT_TRUE(f.notices.empty()) << f.notices[0];
    EXPECT_FALSE(f.triggers.isVolume(3)) << "the door is a mover, not a volume";
    const Movers::Mover& gate = f.movers.all().at(0);
    EXPECT_TRUE(gate.triggeredOnly);

    const auto [inFirstLow, inFirstHigh] = playerAround({32, 32, 24});
    const auto [inOnceLow, inOnceHigh] = playerAround({232, 32, 24});
    const auto [awayLow, awayHigh] = playerAround({132, 32, 24});
    EXPECT_EQ(f.triggers.touch(awayLow, awayHigh, 0.0, f.movers).move, nullptr);
    f.movers.update(0.0, awayLow, awayHigh);
    EXPECT_EQ(gate.state, Movers::Phase::closed);

    f.triggers.touch(inFirstLow, inFirstHigh, 0.0, f.movers);
    EXPECT_EQ(gate.state, Movers::Phase::opening);
    f.movers.update(10.0, awayLow, awayHigh); // open, waited, closed again
    f.movers.update(20.0, awayLow, awayHigh);
    f.movers.update(30.0, awayLow, awayHigh);
    EXPECT_EQ(gate.state, Movers::Phase::closed);
    f.triggers.touch(inFirstLow, inFirstHigh, 1.0, f.movers);
    EXPECT_EQ(gate.state, Movers::Phase::closed) << "within its wait of 2 s";
    f.triggers.touch(inFirstLow, inFirstHigh, 2.5, f.movers);
    EXPECT_EQ(gate.state, Movers::Phase::opening);

    EXPECT_EQ(f.triggers.touch(inOnceLow, inOnceHigh, 0.0, f.movers, true).move, nullptr)
        << "a flying eye moves no one and spends no trigger_once";
    const Triggers::Touched first = f.triggers.touch(inOnceLow, inOnceHigh, 0.0, f.movers);
    ASSERT_NE(first.move, nullptr);
    EXPECT_EQ(first.move->type, Triggers::Move::Type::push);
    EXPECT_EQ(first.movedBy, 2u);
    EXPECT_EQ(f.triggers.touch(inOnceLow, inOnceHigh, 100.0, f.movers).move, nullptr);
}

} // namespace
