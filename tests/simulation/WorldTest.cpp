#include "DamagedRoom.h"

#include "math/FileAxes.h"
#include "simulation/World.h"
#include "level/EntityText.h"
#include "level/LevelLoader.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <sstream>

namespace {

// demo/walk.plan built by levelgen once for the whole suite, as compilers write levels (trigger
// volumes on solid records): one lane per case, file coordinates given in its header comment.
class WalkLevel : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        directory = std::make_unique<testsupport::TempDir>();
        const std::string command = std::string(LEVELGEN_PROGRAM) + " " + VERDANTH_SOURCE_DIR + "/demo/walk.plan "
                                  + directory->path() + " > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::ostringstream quiet;
        level = std::make_unique<LevelData>(
            parseLevel("walk.bsp", LevelLoader::readLevelFile(directory->path() + "walk.bsp"), quiet));
    }
    static void TearDownTestSuite()
    {
        level.reset();
        directory.reset();
    }

    static std::unique_ptr<World> makeWorld()
    {
        std::vector<std::string> notices;
        auto world = std::make_unique<World>(*level, level->entities.entities, "walk.bsp", notices);
        EXPECT_TRUE(notices.empty()) << notices.front();
        return world;
    }

    static std::unique_ptr<testsupport::TempDir> directory;
    static std::unique_ptr<LevelData> level;
};

std::unique_ptr<testsupport::TempDir> WalkLevel::directory;
std::unique_ptr<LevelData> WalkLevel::level;

constexpr float never = std::numeric_limits<float>::infinity();

// One scripted walk: where the origin starts (file coordinates, Z up, standing 24 above a
// floor), what is held and for how long, and the file box the origin must end in.
struct Walk {
    const char* name;
    Float3 start;
    double heading;
    double seconds;
    float forwardUntil;        // seconds of holding forward; 0 for none
    bool crouch;
    bool jump;                 // held throughout
    float jumpFromY;           // file y from which jump is held for 30 units; `never` for none
    Float3 low;                // the end origin's box, file coordinates
    Float3 high;
    bool launched, teleported, swam, hurt; // must have happened on the way
};

const Walk walks[] = {
    {"16-unit stairs are climbed", {160, 160, 24}, 90, 0.9, 1, false, false, never,
     {96, 400, 87.9f}, {224, 512, 88.1f}, false, false, false, false},
    {"a 24-unit step blocks", {320, 160, 24}, 90, 1.0, 1, false, false, never,
     {300, 200, 23.9f}, {340, 241.1f, 24.1f}, false, false, false, false},
    {"a 30-degree ramp is walked up onto its platform", {480, 160, 24}, 90, 1.3, 2, false, false, never,
     {416, 448, 134.9f}, {544, 640, 135.1f}, false, false, false, false},
    {"a 50-degree ramp slides the player down", {640, 304, 111}, 90, 1.5, 0, false, false, never,
     {630, 180, 23.9f}, {650, 260, 24.1f}, false, false, false, false},
    {"the curved ramp is walked up onto its block", {800, 160, 24}, 90, 1.2, 2, false, false, never,
     {736, 448, 87.9f}, {864, 640, 88.1f}, false, false, false, false},
    {"the clip brush is an invisible wall", {960, 160, 24}, 90, 1.0, 1, false, false, never,
     {950, 250, 23.9f}, {970, 305.1f, 24.1f}, false, false, false, false},
    {"the jump pad, written solid and taller than the feet, throws onto its ledge", {1120, 160, 24}, 90, 3.0, 0.2f,
     false, false, never, {1056, 640, 151.9f}, {1184, 928, 152.1f}, true, false, false, false},
    {"the teleporter, written solid, delivers onto the floor 24 below its destination", {1280, 160, 24}, 90, 1.0, 1,
     false, false, never, {1270, 500, 23.9f}, {1290, 960, 24.1f}, false, true, false, false},
    {"jump held swims up the pool to its surface", {1440, 320, 24}, 90, 2.0, 0, false, true, never,
     {1430, 310, 70}, {1450, 330, 120}, false, false, true, false},
    {"the gap is jumped", {1600, 224, 88}, 90, 1.5, 2, false, false, 350,
     {1536, 576, 87.9f}, {1664, 768, 88.1f}, false, false, false, false},
    {"without a jump the gap is fallen into", {1600, 224, 88}, 90, 1.4, 2, false, false, never,
     {1536, 384, 23.9f}, {1664, 561.1f, 24.1f}, false, false, false, false},
    {"standing, the low ceiling blocks", {1760, 160, 24}, 90, 1.0, 1, false, false, never,
     {1750, 250, 23.9f}, {1770, 305.1f, 24.1f}, false, false, false, false},
    {"crouched, the player passes under the low ceiling", {1760, 160, 24}, 90, 2.5, 3, true, false, never,
     {1750, 464, 23.9f}, {1770, 1088, 24.1f}, false, false, false, false},
    {"the west wall is slid along", {200, 700, 24}, 135, 1.0, 1, false, false, never,
     {79, 850, 23.9f}, {79.2f, 1073, 24.1f}, false, false, false, false},
    {"a fall from under the ceiling stops on the floor", {1120, 1000, 340}, 90, 2.0, 0, false, false, never,
     {1119, 999, 23.9f}, {1121, 1001, 24.1f}, false, false, false, false},
    {"the hurt volume, on a wall's record, is walked through and felt", {1888, 160, 24}, 90, 1.0, 1, false, false,
     never, {1878, 300, 23.9f}, {1898, 1073, 24.1f}, false, false, false, true},
    {"the floor button fires its relay's push", {320, 930, 24}, 90, 2.5, 0.2f, false, false, never,
     {300, 560, 23.9f}, {340, 720, 24.1f}, true, false, false, false},
    {"the trigger_multiple fires its push", {480, 930, 24}, 90, 2.5, 0.2f, false, false, never,
     {460, 690, 23.9f}, {500, 860, 24.1f}, true, false, false, false},
};

TEST_F(WalkLevel, ScriptedWalksEndWhereAPlayerWouldAtShortAndLongFrames)
{
    ASSERT_TRUE(level) << "levelgen could not build demo/walk.plan";
    for (const double frame : {0.01, 0.1}) {
        for (const Walk& walk : walks) {
            SCOPED_TRACE(std::string(walk.name) + " at " + std::to_string(int(frame * 1000)) + " ms");
            const std::unique_ptr<World> world = makeWorld();
            ASSERT_EQ(world->startWalking(FileAxes::toWorld(walk.start), walk.heading), World::Start::walking);
            const PlayerMovement& player = world->player();
            bool launched = false, teleported = false, swam = false, hurt = false, eyeInWater = false;
            double pitch = -20; // looking down a little: only a teleporter levels it
            double clock = 0.0;
            const int frames = int(std::lround(walk.seconds / frame));
            for (int i = 0; i < frames; ++i) {
                WalkInput input;
                input.heading = player.heading();
                input.pitch = pitch;
                input.forward = i * frame < walk.forwardUntil ? 1.0f : 0.0f;
                input.crouch = walk.crouch;
                const float y = FileAxes::toFile(player.origin()).y;
                input.jump = walk.jump || (y >= walk.jumpFromY && y < walk.jumpFromY + 30);
                clock += frame;
                world->step(clock, input, frame);
                ASSERT_TRUE(world->isWalking());
                pitch = player.pitch();
                launched |= world->events().launched;
                teleported |= world->events().teleported;
                swam |= player.isSwimming();
                eyeInWater |= player.liquidAtEye() == LevelFormat::contentsWater;
                hurt |= world->events().hurt;
            }
            const Float3 end = FileAxes::toFile(player.origin());
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_GE(end[axis], walk.low[axis]) << "axis " << axis << " ends at " << end.x << " " << end.y << " " << end.z;
                EXPECT_LE(end[axis], walk.high[axis]) << "axis " << axis << " ends at " << end.x << " " << end.y << " " << end.z;
            }
            EXPECT_EQ(player.heading(), walk.teleported ? 270.0 : walk.heading);
            EXPECT_EQ(player.pitch(), walk.teleported ? 0.0 : -20.0);
            EXPECT_EQ(launched, walk.launched);
            EXPECT_EQ(teleported, walk.teleported);
            EXPECT_EQ(swam, walk.swam);
            EXPECT_EQ(eyeInWater, walk.swam) << "the pool is the one place the eye goes under";
            EXPECT_EQ(hurt, walk.hurt);
        }
    }
}


// g in a wall: the walker stands on the nearest clear spot within reach (on top of the 24-unit
// step it was placed inside), or not at all (deep inside the crouch lane's ceiling block).
TEST_F(WalkLevel, WalkingStartedInAWallStandsOnTheNearestClearSpotOrNotAtAll)
{
    const std::unique_ptr<World> world = makeWorld();
    ASSERT_EQ(world->startWalking(FileAxes::toWorld(Float3{320, 400, 24}), 90), World::Start::walking);
    const Float3 stood = FileAxes::toFile(world->player().origin());
    EXPECT_EQ(stood.x, 320.0f);
    EXPECT_EQ(stood.y, 400.0f);
    EXPECT_EQ(stood.z, 48.0f);
    EXPECT_FALSE(world->inSolid(world->player().origin()));

    world->stopWalking();
    EXPECT_EQ(world->startWalking(FileAxes::toWorld(Float3{1760, 384, 200}), 90), World::Start::noClearSpot);
    EXPECT_FALSE(world->isWalking());
}

// Pressing g again and again, or asking the report's questions, builds what blocks a box once.
TEST_F(WalkLevel, TheCollisionModelIsBuiltOncePerLevel)
{
    const std::size_t before = World::collisionBuilds();
    const std::unique_ptr<World> world = makeWorld();
    EXPECT_EQ(World::collisionBuilds(), before) << "flying needs none";
    for (int press = 0; press < 3; ++press) {
        ASSERT_EQ(world->startWalking(FileAxes::toWorld(Float3{160, 160, 24}), 90), World::Start::walking);
        world->step(0.1 * press, {}, 0.1);
        world->stopWalking();
    }
    world->inSolid({0, 0, 0});
    EXPECT_EQ(World::collisionBuilds(), before + 1);
}

} // namespace

// A floor with nothing around it: running off its edge falls below the level's box, and the
// player is put back where walking started, once, with the event the viewer prints a line for.
// Walking started over nothing is put back once and, falling again before it ever stood, ends:
// never a fall every second.
TEST(WorldFallTest, AFallOutOfTheLevelPutsThePlayerBackOnceAndNeverLoops)
{
    const LevelData level = gametest::damagedRoom();
    std::vector<std::string> notices;
    for (const double seconds : {0.01, 0.1}) {
        for (const bool overNothing : {false, true}) {
            SCOPED_TRACE(std::string(overNothing ? "started over nothing" : "ran off the floor's edge") + " at "
                         + std::to_string(int(seconds * 1000)) + " ms");
            World world(level, {}, "damaged.bsp", notices);
            const Float3 start{0.0f, 30.0f, overNothing ? -200.0f : 0.0f};
            ASSERT_EQ(world.startWalking(start, 90.0), World::Start::walking);
            WalkInput input;
            input.forward = overNothing ? 0.0f : 1.0f;
            int fellOut = 0, stopped = 0;
            for (int frame = 0; frame < int(10.0 / seconds) && world.isWalking(); ++frame) {
                world.step(frame * seconds, input, seconds);
                fellOut += world.events().fellOut;
                stopped += world.events().stoppedWalking;
                if (!overNothing && world.events().fellOut) {
                    EXPECT_EQ(world.player().origin().x, start.x);
                    EXPECT_EQ(world.player().origin().y, start.y);
                    EXPECT_EQ(world.player().origin().z, start.z);
                    break;
                }
            }
            EXPECT_EQ(fellOut, 1);
            EXPECT_EQ(stopped, overNothing ? 1 : 0);
            EXPECT_EQ(world.isWalking(), !overNothing);
        }
    }
}
