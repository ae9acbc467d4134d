#include "game/PlayerStarts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
PlayerStart start(float x, float y, float z, float angle, bool deathmatch = false)
{
    return PlayerStart{{x, y, z}, angle, deathmatch};
}

// World box: x -1000..1000, y (file z) -100..500, z (file -y) -2000..0.
const Vec3 low(-1000, -100, -2000);
const Vec3 high(1000, 500, 0);
} // namespace

TEST(PlayerStartsTest, EyesStandAboveTheOriginsInsideTheBox)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* name;
        PlayerStart start;
        float x, y, z;
        double heading;
    } cases[] = {
        {"inside", start(10, 20, 30, 45), 10, 70, -20, 45},
        {"far beyond", start(3e38f, -3e38f, 3e38f, 90), 1000, 500, 0, 90},
        {"far below", start(-3e38f, 3e38f, -3e38f, 0), -1000, -100, -2000, 0},
        {"heading round the turn", start(0, 0, 0, -90), 0, 40, 0, 270},
        {"heading of many turns", start(0, 0, 0, 3e38f), 0, 40, 0, std::fmod(double(3e38f), 360.0)},
        {"heading a hair below 0", start(0, 0, 0, -1e-30f), 0, 40, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PlayerStarts starts({c.start}, low, high);
        ASSERT_EQ(starts.count(), 1u);
        EXPECT_EQ(starts.view(0).eye.getX(), c.x);
        EXPECT_EQ(starts.view(0).eye.getY(), c.y);
        EXPECT_EQ(starts.view(0).eye.getZ(), c.z);
        EXPECT_NEAR(starts.view(0).heading, c.heading, 1e-6);
    }

    // A box of NaN and beyond the world's limit still holds the eye at numbers a configuration can write.
    const auto [boundedLow, boundedHigh] = PlayerStarts::boundedBox(Vec3(nan, -1e30f, nan), Vec3(nan, 1e30f, 5));
    const PlayerStarts odd({start(3e38f, 3e38f, 3e38f, 0)}, boundedLow, boundedHigh);
    EXPECT_EQ(odd.view(0).eye.getX(), 0);
    EXPECT_EQ(odd.view(0).eye.getY(), PlayerStarts::worldLimit);
    EXPECT_EQ(odd.view(0).eye.getZ(), 0);
}
