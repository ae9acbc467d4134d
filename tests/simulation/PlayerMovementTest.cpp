#include "DamagedRoom.h"

#include "simulation/PlayerMovement.h"
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

// demo/walk.plan built by levelgen once for the whole suite: one lane per case, file
// coordinates given in its header comment.
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
        entities = EntityText::parse(level->entityText).entities;
    }
    static void TearDownTestSuite()
    {
        level.reset();
        directory.reset();
    }

    static std::unique_ptr<testsupport::TempDir> directory;
    static std::unique_ptr<LevelData> level;
    static std::vector<Entity> entities;
};

std::unique_ptr<testsupport::TempDir> WalkLevel::directory;
std::unique_ptr<LevelData> WalkLevel::level;
std::vector<Entity> WalkLevel::entities;

Float3 world(Float3 file)
{
    return {file.x, file.z, -file.y};
}

Float3 file(Float3 world)
{
    return {world.x, -world.z, world.y};
}

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
    {"the jump pad lands on its ledge", {1120, 160, 24}, 90, 3.0, 0.2f, false, false, never,
     {1056, 640, 151.9f}, {1184, 928, 152.1f}, true, false, false, false},
    {"the teleporter delivers, facing its destination's heading", {1280, 160, 24}, 90, 1.0, 1, false, false, never,
     {1270, 500, 23.9f}, {1290, 960, 24.1f}, false, true, false, false},
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
    {"the hurt volume is felt", {1888, 160, 24}, 90, 1.0, 1, false, false, never,
     {1878, 300, 23.9f}, {1898, 1073, 24.1f}, false, false, false, true},
};

TEST_F(WalkLevel, ScriptedWalksEndWhereAPlayerWouldAtShortAndLongFrames)
{
    ASSERT_TRUE(level) << "levelgen could not build demo/walk.plan";
    for (const double frame : {0.01, 0.1}) {
        for (const Walk& walk : walks) {
            SCOPED_TRACE(std::string(walk.name) + " at " + std::to_string(int(frame * 1000)) + " ms");
            PlayerMovement player(*level, entities);
            player.placeAt(world(walk.start), walk.heading);
            bool launched = false, teleported = false, swam = false, hurt = false, eyeInWater = false;
            double pitch = -20; // looking down a little: only a teleporter levels it
            const int frames = int(std::lround(walk.seconds / frame));
            for (int i = 0; i < frames; ++i) {
                WalkInput input;
                input.heading = player.heading();
                input.pitch = pitch;
                input.forward = i * frame < walk.forwardUntil ? 1.0f : 0.0f;
                input.crouch = walk.crouch;
                const float y = file(player.origin()).y;
                input.jump = walk.jump || (y >= walk.jumpFromY && y < walk.jumpFromY + 30);
                player.step(input, frame);
                pitch = player.pitch();
                launched |= player.events().launched;
                teleported |= player.events().teleported;
                swam |= player.isSwimming();
                eyeInWater |= player.liquidAtEye() == LevelFormat::contentsWater;
                hurt |= player.inHurtVolume();
            }
            const Float3 end = file(player.origin());
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

} // namespace

// A floor with nothing around it: running off its edge falls below the level's box, and the
// player is put back where it was placed, once, with the event the viewer prints a line for.
TEST(PlayerMovementTest, FallingOutOfTheLevelPutsThePlayerBackWhereItLastStarted)
{
    const LevelData level = gametest::damagedRoom();
    PlayerMovement player(level, {});
    const Float3 start{0.0f, 30.0f, 0.0f};
    player.placeAt(start, 90.0);
    WalkInput input;
    input.forward = 1.0f;
    int fellOut = 0;
    for (int frame = 0; frame < 100; ++frame) {
        player.step(input, 0.02);
        fellOut += player.events().fellOut;
        if (player.events().fellOut) {
            EXPECT_EQ(player.origin().x, start.x);
            EXPECT_EQ(player.origin().y, start.y);
            EXPECT_EQ(player.origin().z, start.z);
            break;
        }
    }
    EXPECT_EQ(fellOut, 1);
}
