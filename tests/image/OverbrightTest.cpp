#include "image/Overbright.h"

#include <gtest/gtest.h>

#include <vector>

// Hand-worked: doubled below 128; from 128 up, scaled together so the brightest reaches 255.
TEST(Overbright, DoublesDarkLightAndKeepsTheHueOfBrightLight)
{
    const struct {
        std::vector<unsigned char> stored, shown;
    } cases[] = {
        {{0, 0, 0}, {0, 0, 0}},           {{10, 20, 30}, {20, 40, 60}},       {{127, 127, 127}, {254, 254, 254}},
        {{128, 0, 0}, {255, 0, 0}},       {{200, 100, 50}, {255, 127, 64}},  {{50, 100, 200}, {64, 127, 255}},
        {{255, 255, 255}, {255, 255, 255}}, {{127, 128, 64}, {253, 255, 128}},
    };
    for (const auto& each : cases) {
        std::vector<unsigned char> rgba = {each.stored[0], each.stored[1], each.stored[2], 77};
        Overbright::brighten(rgba.data(), 1, 4);
        EXPECT_EQ(rgba, (std::vector<unsigned char>{each.shown[0], each.shown[1], each.shown[2], 77}))
            << int(each.stored[0]) << " " << int(each.stored[1]) << " " << int(each.stored[2]);
        std::vector<unsigned char> bgra(4);
        Overbright::brightenToBGRA(each.stored.data(), bgra.data(), 1);
        EXPECT_EQ(bgra, (std::vector<unsigned char>{each.shown[2], each.shown[1], each.shown[0], 255}));
    }
}

// Long runs take a shortcut where no channel reaches 128: every texel of a run, dark or bright,
// comes out as it does alone.
TEST(Overbright, RunsOfTexelsComeOutAsEachAloneDarkOrBright)
{
    std::vector<unsigned char> rgb;
    for (int i = 0; i < 100; ++i) {
        const bool bright = i >= 16 && i < 32 && i % 5 == 0; // only the second run has bright texels
        rgb.insert(rgb.end(), {static_cast<unsigned char>(bright ? 200 : i), static_cast<unsigned char>(127 - i % 7),
                               static_cast<unsigned char>(i * 3 % 128)});
    }
    std::vector<unsigned char> together(100 * 4);
    Overbright::brightenToBGRA(rgb.data(), together.data(), 100);
    for (int i = 0; i < 100; ++i) {
        std::vector<unsigned char> alone(4);
        Overbright::brightenToBGRA(rgb.data() + 3 * i, alone.data(), 1);
        EXPECT_EQ(std::vector<unsigned char>(together.begin() + 4 * i, together.begin() + 4 * i + 4), alone) << i;
    }
    EXPECT_EQ(together[4 * 20 + 2], 255) << "the bright texel of the second run is scaled, not doubled";
}
