#include "simulation/WalkEntities.h"

#include <gtest/gtest.h>

namespace {

// Each trigger entity alone with the targets it may name, and what becomes of it: the problem
// said for it, or where its target stands (world coordinates: file x, z, -y).
struct TriggerCase {
    const char* entities;
    const char* problem; // "" when the trigger works
    Float3 target;
    double heading;
};

const TriggerCase triggerCases[] = {
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
};

TEST(WalkEntitiesTest, ResolvesEachTriggersTargetOrSaysWhyItDoesNothing)
{
    for (const TriggerCase& c : triggerCases) {
        SCOPED_TRACE(c.entities);
        const WalkEntities found(EntityText::parse(c.entities).entities, 2);
        ASSERT_EQ(found.triggers().size(), 1u);
        const WalkEntities::Trigger& trigger = found.triggers()[0];
        EXPECT_EQ(trigger.model, 1u);
        EXPECT_EQ(trigger.problem, c.problem);
        EXPECT_EQ(trigger.target.x, c.target.x);
        EXPECT_EQ(trigger.target.y, c.target.y);
        EXPECT_EQ(trigger.target.z, c.target.z);
        EXPECT_EQ(trigger.targetHeading, c.heading);
    }
}

TEST(WalkEntitiesTest, KeepsEverySpawnClassAndNoTriggerOnAModelTheLevelLacks)
{
    const WalkEntities found(EntityText::parse(R"({ "classname" "info_player_start" "origin" "1 2 3" }
{ "classname" "info_player_deathmatch" "origin" "4 5 6" "angle" "90" }
{ "classname" "team_red_spawn" "origin" "7 8 9" }
{ "classname" "info_player_intermission" "origin" "0 0 0" }
{ "classname" "trigger_hurt" "model" "*5" })").entities, 2);
    ASSERT_EQ(found.starts().size(), 3u);
    EXPECT_EQ(found.starts()[1].className, "info_player_deathmatch");
    EXPECT_EQ(found.starts()[1].origin.z, -5.0f);
    EXPECT_EQ(found.starts()[1].heading, 90.0);
    EXPECT_TRUE(found.triggers().empty());
}

} // namespace
