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
