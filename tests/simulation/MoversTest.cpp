#include "DamagedRoom.h"

#include "math/FileAxes.h"
#include "simulation/Movers.h"
#include "simulation/Triggers.h"
#include "simulation/World.h"
#include "level/LevelLoader.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

// One brush entity on model *1 whose world box is 64 wide (x), 128 high (y) and 16 deep (z)
// around (0, 64, 0), with the given keys.
struct OneMover {
    std::vector<Entity> entities;
    std::vector<BrushEntity> brushes;
    std::vector<std::string> notices;
    Movers movers;

    explicit OneMover(Fields fields, std::vector<Entity> others = {})
        : entities(withModel(std::move(fields), std::move(others))), brushes(brushOf(entities[0])),
          movers(brushes, entities, "test.bsp", notices, WalkSettings{}.gravity)
    {
    }
    const Movers::Mover& mover() const { return movers.all().at(0); }

    static std::vector<Entity> withModel(Fields fields, std::vector<Entity> others)
    {
        fields.push_back({"model", "*1"});
        others.insert(others.begin(), Entity{fields});
        return others;
    }
    static std::vector<BrushEntity> brushOf(const Entity& entity)
    {
        BrushEntity brush;
        brush.model = 1;
        brush.className = *entity.value("classname");
        brush.faceCount = 1;
        float at[3];
        if (entity.numbers("origin", at, 3)) {
            const Float3 origin = FileAxes::toWorld(at);
            brush.origin = Vec3(origin.x, origin.y, origin.z);
        }
        brush.low = Vec3(-32, 0, -8);
        brush.high = Vec3(32, 128, 8);
        return {brush};
    }
};

const Float3 far{10000, 10000, 10000};

Entity corner(const std::string& name, const std::string& origin, const std::string& next, const char* wait = nullptr)
{
    Entity entity{{{"classname", "path_corner"}, {"targetname", name}, {"origin", origin}, {"target", next}}};
    if (wait)
        entity.fields.push_back({"wait", wait});
    return entity;
}

void expectNear(Float3 actual, Float3 expected)
{
    EXPECT_NEAR(actual.x, expected.x, 0.01f);
    EXPECT_NEAR(actual.y, expected.y, 0.01f);
    EXPECT_NEAR(actual.z, expected.z, 0.01f);
}

} // namespace

// Positions at fixed clock times, world coordinates (Y up; the file's Y is world -Z).
TEST(Movers, PeriodicMoversStandWhereTheClockPutsThem)
{
    const std::vector<Entity> path = {corner("a", "0 0 0", "b"), corner("b", "100 0 0", "c", "1"),
                                      corner("c", "100 200 0", "a")};
    const struct {
        const char* name;
        Fields fields;
        double seconds;
        Float3 offset;
        float degrees;
        Float3 axis;
    } cases[] = {
        {"rotating by default", {{"classname", "func_rotating"}}, 1.5, {}, 150, {0, 1, 0}},
        {"rotating about x", {{"classname", "func_rotating"}, {"spawnflags", "4"}, {"speed", "-30"}}, 2, {}, -60, {1, 0, 0}},
        {"rotating about y", {{"classname", "func_rotating"}, {"spawnflags", "8"}}, 4, {}, 40, {0, 0, -1}},
        {"bobbing up, a quarter cycle", {{"classname", "func_bobbing"}}, 1, {0, 32, 0}, 0, {0, 1, 0}},
        {"bobbing along y, phase", {{"classname", "func_bobbing"}, {"spawnflags", "2"}, {"height", "10"}, {"phase", "0.25"}},
         0, {0, 0, -10}, 0, {0, 1, 0}},
        {"bobbing along x, three quarters", {{"classname", "func_bobbing"}, {"spawnflags", "1"}, {"speed", "2"}}, 1.5,
         {-32, 0, 0}, 0, {0, 1, 0}},
        {"pendulum at a quarter period", {{"classname", "func_pendulum"}, {"origin", "0 0 128"}, {"phase", "0.25"}}, 0, {}, 30,
         {1, 0, 0}},
        {"train halfway to its second corner", {{"classname", "func_train"}, {"target", "a"}}, 0.5, {82, 0, -8}, 0, {0, 1, 0}},
        {"train waiting at its second corner", {{"classname", "func_train"}, {"target", "a"}}, 1.5, {132, 0, -8}, 0, {0, 1, 0}},
        {"train on its second leg", {{"classname", "func_train"}, {"target", "a"}, {"speed", "200"}}, 2.0, {132, 0, -108}, 0,
         {0, 1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OneMover one(c.fields, path);
        ASSERT_TRUE(one.notices.empty()) << one.notices[0];
        one.movers.update(c.seconds, far, far);
        const Movers::Pose& pose = one.mover().pose;
        expectNear(pose.offset, c.offset);
        EXPECT_NEAR(pose.degrees, c.degrees, 0.01f);
        if (c.degrees != 0.0f)
            expectNear(pose.axis, c.axis);
    }
}

TEST(Movers, UnreadableKeysLeaveTheMoverAtRestWithOneLine)
{
    const std::vector<Entity> loop = {corner("solo", "5 5 5", "solo"), corner("twin", "5 5 5", "twin2"),
                                      corner("twin2", "5 5 5", "twin"), corner("far", "3e38 0 0", "away"),
                                      corner("away", "-3e38 0 0", "far")};
    const struct {
        Fields fields;
        const char* notice;
    } cases[] = {
        {{{"classname", "func_rotating"}, {"speed", "fast"}}, "speed \"fast\" is not a number"},
        {{{"classname", "func_rotating"}, {"speed", "0"}}, "speed 0 is outside -3600 to 3600 (not 0)"},
        {{{"classname", "func_door"}, {"speed", "1e30"}}, "speed 1e+30 is outside 0.1 to 10000 (not 0)"},
        {{{"classname", "func_bobbing"}, {"height", "nan"}}, "height \"nan\" is not a number"},
        {{{"classname", "func_rotating"}, {"spawnflags", "12"}}, "spawnflags 12 ask for both the X and the Y axis"},
        {{{"classname", "func_bobbing"}, {"spawnflags", "3"}}, "spawnflags 3 ask for both the X and the Y axis"},
        {{{"classname", "func_train"}}, "it has no target: no path_corner to follow"},
        {{{"classname", "func_train"}, {"target", "nowhere"}}, "its target \"nowhere\" names no path_corner"},
        {{{"classname", "func_train"}, {"target", "solo"}}, "its path is a loop of one point"},
        {{{"classname", "func_train"}, {"target", "twin"}}, "its path is a loop of one point"},
        {{{"classname", "func_train"}, {"target", "far"}}, "its path is longer than a billion units"},
        {{{"classname", "func_door"}, {"lip", "100"}}, "lip 100 leaves it no distance to move"},
        {{{"classname", "func_door"}, {"angle", "-1.5"}}, "angle -1.5 is neither a heading nor -1 (up) or -2 (down)"},
    };
    for (const auto& c : cases) {
        OneMover one(c.fields, loop);
        const std::string expected = "test.bsp: entity 0 (" + c.fields[0].second + "): " + c.notice + "; it stays at rest";
        ASSERT_EQ(one.notices, std::vector<std::string>{expected});
        for (double seconds : {0.0, 1.0, 1.0e9}) {
            one.movers.update(seconds, {-100, -100, -100}, {100, 100, 100});
            const Movers::Pose& pose = one.mover().pose;
            EXPECT_TRUE(isFinite(pose.offset) && pose.degrees == 0.0f && pose.offset.x == 0.0f && pose.offset.y == 0.0f)
                << expected;
        }
        EXPECT_FALSE(one.movers.anyMoving());
    }
}

TEST(Movers, ADoorOpensWhenApproachedAndClosesAfterItsWait)
{
    OneMover one(Fields{{"classname", "func_door"}, {"angle", "-1"}, {"speed", "60"}, {"wait", "1"}}); // 120 up
    const Float3 nearLow{40, 0, -8}, nearHigh{70, 56, 8};
    one.movers.update(0.0, nearLow, nearHigh);
    one.movers.update(1.0, nearLow, nearHigh);
    EXPECT_NEAR(one.mover().pose.offset.y, 60.0f, 0.01f);
    one.movers.update(2.0, far, far);
    EXPECT_EQ(one.mover().state, Movers::Phase::open);
    one.movers.update(2.5, far, far);
    one.movers.update(3.5, far, far); // the wait ran out at 3
    EXPECT_EQ(one.mover().state, Movers::Phase::closing);
    one.movers.update(4.0, far, far);
    EXPECT_NEAR(one.mover().pose.offset.y, 90.0f, 0.01f);
    // Someone walks under it: it goes back up rather than shut on them.
    one.movers.update(4.1, {-10, 0, -10}, {10, 56, 10});
    EXPECT_EQ(one.mover().state, Movers::Phase::opening);
    one.movers.update(4.1, far, far); // a clock standing still moves nothing
    EXPECT_NEAR(one.mover().pose.offset.y, 96.0f, 0.01f);
}

TEST(Movers, ALiftStartsLoweredAndRisesWhenStoodOn)
{
    OneMover one(Fields{{"classname", "func_plat"}, {"speed", "100"}}); // 128 high, lowered by 120
    one.movers.update(0.0, far, far);
    EXPECT_NEAR(one.mover().pose.offset.y, -120.0f, 0.01f);
    one.movers.update(0.3, {-10, 8, -10}, {10, 64, 10}); // standing on its lowered top at 8
    one.movers.update(0.6, {-10, 38, -10}, {10, 94, 10}); // carried up 30
    EXPECT_NEAR(one.mover().pose.offset.y, -60.0f, 0.01f);
    one.movers.update(5.0, far, far);
    one.movers.update(6.5, far, far); // up, waited its second, and on the way down
    EXPECT_EQ(one.mover().state, Movers::Phase::closing);
}

// A button pressed home fires what its target names through the trigger system: the door it
// names opens, and from then on only so. A button that names nothing stays at rest, with one line.
TEST(Movers, AButtonPressedHomeFiresTheDoorItNames)
{
    Entity door{{{"classname", "func_door"}, {"targetname", "gate"}, {"model", "*2"}}};
    OneMover one(Fields{{"classname", "func_button"}, {"target", "gate"}}, {door});
    std::vector<BrushEntity> brushes = one.brushes;
    brushes.push_back(brushes[0]);
    brushes[1].model = 2;
    brushes[1].className = "func_door";
    brushes[1].low = Vec3(200, 0, -8);
    brushes[1].high = Vec3(264, 128, 8);
    const LevelData level = gametest::damagedRoom();
    std::vector<std::string> notices;
    Movers movers(brushes, one.entities, "test.bsp", notices, WalkSettings{}.gravity);
    const Triggers triggers(level, one.entities, {}, movers, "test.bsp", notices);
    ASSERT_TRUE(notices.empty()) << notices[0];
    const Movers::Mover& gate = *movers.ofModel(2);
    const auto update = [&](double seconds, Float3 low, Float3 high) {
        movers.update(seconds, low, high);
        for (const std::size_t button : movers.pressed())
            EXPECT_EQ(triggers.pressButton(button, movers), nullptr) << "it moves no one";
    };
    update(0.0, {180, 0, -10}, {199, 56, 10}); // beside the door: it waits for its button
    update(1.0, {180, 0, -10}, {199, 56, 10});
    EXPECT_EQ(gate.state, Movers::Phase::closed);
    update(1.0, {30, 0, -10}, {50, 56, 10}); // touching the button
    update(2.0, far, far);
    EXPECT_EQ(gate.state, Movers::Phase::closed);
    update(3.0, far, far); // pressed in by its 60 units at 40 a second
    update(3.5, far, far);
    EXPECT_GT(gate.progress, 0.0f);
    EXPECT_EQ(Movers::describe(movers.all()[0]),
              "*1 entity 0 (func_button): presses in 60 units when touched and fires \"gate\", returns after 1.0 s");
    EXPECT_EQ(Movers::describe(gate), "*2 entity 1 (func_door): opens 56 units sideways at 100 units a second "
                                      "when a button or trigger naming it fires, returns after 2.0 s");

    for (const auto& [fields, notice] : {std::pair<Fields, const char*>{{{"classname", "func_button"}, {"target", "gate"}},
                                                                         "its target \"gate\" names no door, push or teleporter"},
                                         {{{"classname", "func_button"}}, "it has no target"}}) {
        OneMover alone(fields);
        const Triggers none(level, alone.entities, {}, alone.movers, "test.bsp", alone.notices);
        EXPECT_EQ(alone.notices, std::vector<std::string>{"test.bsp: entity 0 (func_button): " + std::string(notice)
                                                          + "; it stays at rest"});
        EXPECT_TRUE(alone.mover().still);
    }
}

namespace {

// The demo built by levelgen, walked by a player among its movers as the viewer does it: the
// world takes the clock and the walker's keys, one step a frame.
class DemoWalk : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string command = std::string(LEVELGEN_PROGRAM) + " " + VERDANTH_SOURCE_DIR + "/demo/demo.plan "
                                  + directory.path() + " > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::ostringstream quiet;
        level = std::make_unique<LevelData>(
            parseLevel("demo.bsp", LevelLoader::readLevelFile(directory.path() + "demo.bsp"), quiet));
        std::vector<std::string> notices;
        world = std::make_unique<World>(*level, level->entities.entities, "demo.bsp", notices);
        ASSERT_TRUE(notices.empty()) << notices[0];
    }

    // Holds forward for `forwardSeconds` of `seconds`, heading `heading`, in frames of 1/50 s.
    void walk(double heading, double seconds, double forwardSeconds)
    {
        for (int frame = 0; frame < int(seconds * 50); ++frame) {
            WalkInput input;
            input.heading = heading;
            input.forward = clock - started < forwardSeconds ? 1.0f : 0.0f;
            world->step(clock, input, 0.02);
            clock += 0.02;
        }
    }

    testsupport::TempDir directory;
    std::unique_ptr<LevelData> level;
    std::unique_ptr<World> world;
    double started = 100.0;
    double clock = 100.0;
};

} // namespace

// The corridor west of the south hall, closed by a door that slides north into its wall
// (world x 1120, z -288); the lift stands east of it (world x 1376).
TEST_F(DemoWalk, AWalkerPassesTheDoorItOpensAndRidesTheLift)
{
    ASSERT_EQ(world->startWalking({1248, 24, -288}, 180), World::Start::walking);
    const PlayerMovement& player = world->player();
    walk(180, 2.0, 2.0);
    EXPECT_LT(player.origin().x, 1000.0f) << "stopped at the door, x " << player.origin().x;

    ASSERT_EQ(world->startWalking({1376, 40, -288}, 180), World::Start::walking); // over the lowered lift, whose top stands at 8
    started = clock;
    for (const Movers::Mover& mover : world->movers().all()) {
        if (mover.kind == Movers::Kind::plat) {
            EXPECT_EQ(mover.pose.offset.y, -32.0f) << "lowered until stood on";
        }
    }
    walk(180, 1.0, 0.0);
    EXPECT_NEAR(world->player().origin().y, 64.0f, 1.0f) << "carried to the raised top at 40";
    const Movers::Mover* lift = world->movers().ofModel(world->player().groundModel());
    ASSERT_NE(lift, nullptr);
    EXPECT_EQ(lift->kind, Movers::Kind::plat);
}
