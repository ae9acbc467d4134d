#include "entities/Friendlies.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <stdexcept>

using testsupport::CerrCapture;
using testsupport::TempDir;

namespace {
bool withinBox(const Vec3& p, int lower, int upperExclusive)
{
    for (float c : {p.getX(), p.getY(), p.getZ()})
        if (c < float(lower) || c >= float(upperExclusive) || c != std::floor(c))
            return false;
    return true;
}

Shot shotAt(float x, float y, float z) { return Shot(Vec3(x, y, z), Vec3(0.0f, 0.0f, 1.0f)); }
} // namespace

TEST(FriendliesTest, PlayersStartAtWholeUnitPointsInsideTheBox)
{
    TempDir dir;
    const std::string path = dir.write("p.txt", "3 4 10 20 30 15 25 35");
    CerrCapture capture;
    Friendlies friendlies(path);
    ASSERT_EQ(friendlies.getFriends().size(), 3u);
    ASSERT_EQ(friendlies.getEnemies().size(), 4u);
    for (const auto* group : {&friendlies.getFriends(), &friendlies.getEnemies()})
        for (const Player& player : *group) {
            EXPECT_GE(player.getPosition().getX(), 10.0f);
            EXPECT_LT(player.getPosition().getX(), 15.0f);
            EXPECT_GE(player.getPosition().getZ(), 30.0f);
            EXPECT_LT(player.getDestination().getY(), 25.0f);
            EXPECT_FALSE(player.isHit());
        }
    EXPECT_TRUE(friendlies.getFriends()[0].isFriendly());
    EXPECT_FALSE(friendlies.getEnemies()[0].isFriendly());
}

TEST(FriendliesTest, RandomPointsUseThreeRandValuesInAxisOrder)
{
    TempDir dir;
    const std::string path = dir.write("p.txt", "1 0 0 0 0 7 11 13");
    std::srand(42);
    const int expected[6] = {std::rand() % 7, std::rand() % 11, std::rand() % 13,
                             std::rand() % 7, std::rand() % 11, std::rand() % 13};
    std::srand(42);
    CerrCapture capture;
    Friendlies friendlies(path);
    const Player& player = friendlies.getFriends().at(0);
    EXPECT_EQ(player.getPosition().getX(), float(expected[0]));
    EXPECT_EQ(player.getPosition().getY(), float(expected[1]));
    EXPECT_EQ(player.getPosition().getZ(), float(expected[2]));
    EXPECT_EQ(player.getDestination().getX(), float(expected[3]));
    EXPECT_EQ(player.getDestination().getZ(), float(expected[5]));
    EXPECT_TRUE(withinBox(player.getPosition(), 0, 13));
}

TEST(FriendliesTest, MissingFileYieldsNoPlayersAndBadBoxesAreRefused)
{
    TempDir dir;
    {
        CerrCapture capture;
        Friendlies none(dir.path() + "missing.txt");
        EXPECT_TRUE(none.getFriends().empty());
        EXPECT_EQ(capture.text(), "opened file: " + dir.path() + "missing.txt# of friendlies 0\n");
    }
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"1 1 0 0 0 0 10 10", "players box is 0 units wide on the x axis; it must be at least 1"},
        {"1 1 0 5 0 10 4 10", "players box is -1 units wide on the y axis; it must be at least 1"},
        {"0 1 0 0 0 10 10 0", "players box is 0 units wide on the z axis"},
        {"2 2 0 0 0 10", "players box needs six whole numbers after the two counts"},
        {"99999999 0 0 0 0 10 10 10", "at most 10000 of each"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.write("bad.txt", c.text);
        CerrCapture capture;
        try {
            Friendlies friendlies(path);
            ADD_FAILURE() << "accepted " << c.text;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(path + ": "), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

TEST(FriendliesTest, PlayersInALevelsBoxAreMadeQuietlyAndAThinBoxIsRefused)
{
    CerrCapture capture;
    const Friendlies players(2, 3, Vec3(-100, 0, -50), Vec3(100, 64, 50));
    EXPECT_EQ(players.getFriends().size(), 2u);
    EXPECT_EQ(players.getEnemies().size(), 3u);
    for (const Player& enemy : players.getEnemies())
        EXPECT_TRUE(enemy.getPosition().isInsideBox(Vec3(-101, -1, -51), Vec3(101, 65, 51)));
    EXPECT_EQ(capture.text(), "") << "no players file, so none of its transcript";
    EXPECT_THROW(Friendlies(1, 1, Vec3(0, 0, 0), Vec3(100, 0.5f, 100)), std::runtime_error) << "a flat level";
}

TEST(FriendliesTest, UpdateMovesHitsAndScores)
{
    TempDir dir;
    const std::string path = dir.write("p.txt", "1 2 0 0 0 1000 1000 1000");
    CerrCapture capture;
    Friendlies friendlies(path);
    Player& friendPlayer = friendlies.getFriends()[0];
    Player& enemy0 = friendlies.getEnemies()[0];
    Player& enemy1 = friendlies.getEnemies()[1];
    friendPlayer.setPosition(Vec3(100, 100, 100));
    friendPlayer.setDestination(Vec3(200, 100, 100));
    enemy0.setPosition(Vec3(500, 500, 500));
    enemy0.setDestination(Vec3(500, 500, 900));
    enemy1.setPosition(Vec3(800, 800, 800));
    enemy1.setDestination(Vec3(800, 800, 801)); // within 3 units: stops, new destination

    // The friend steps to x = 103; a shot exactly 22 units away hits it. Two shots near
    // enemy 0 (at z = 503 after its step): only the first is consumed.
    std::vector<Shot> shots{shotAt(125, 100, 100), shotAt(500, 500, 510), shotAt(500, 500, 490),
                            shotAt(0, 0, 0)};
    EXPECT_EQ(friendlies.update(shots), 0); // -1 for the friend, +1 for the enemy
    EXPECT_FLOAT_EQ(friendPlayer.getPosition().getX(), 103.0f);
    EXPECT_TRUE(friendPlayer.isHit());
    EXPECT_TRUE(enemy0.isHit());
    EXPECT_FALSE(enemy1.isHit());
    EXPECT_FLOAT_EQ(enemy1.getPosition().getZ(), 800.0f); // arrived: did not move
    ASSERT_EQ(shots.size(), 2u);
    EXPECT_FLOAT_EQ(shots[0].position().getZ(), 490.0f);
    EXPECT_FLOAT_EQ(shots[1].position().getX(), 0.0f);
    const std::string transcript = capture.text();
    EXPECT_NE(transcript.find("coillision occured\ncoillision occured\n"), std::string::npos);

    // The next frame respawns both hit players; a respawn is not a hit and scores nothing.
    std::vector<Shot> none;
    EXPECT_EQ(friendlies.update(none), 0);
    EXPECT_FALSE(friendPlayer.isHit());
    EXPECT_FALSE(enemy0.isHit());
    EXPECT_TRUE(withinBox(friendPlayer.getPosition(), 0, 1000));
}

TEST(FriendliesTest, TwoEnemiesHitInOneFrameScoreTwo)
{
    TempDir dir;
    const std::string path = dir.write("p.txt", "0 2 0 0 0 1000 1000 1000");
    CerrCapture capture;
    Friendlies friendlies(path);
    for (Player& enemy : friendlies.getEnemies()) {
        enemy.setPosition(Vec3(0, 0, 0));
        enemy.setDestination(Vec3(100, 0, 0));
    }
    std::vector<Shot> shots{shotAt(3, 0, 0), shotAt(3, 0, 0)};
    EXPECT_EQ(friendlies.update(shots), 2);
    EXPECT_TRUE(shots.empty());
}
