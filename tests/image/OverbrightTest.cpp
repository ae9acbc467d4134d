#include "image/Overbright.h"

#include <gtest/gtest.h>

#include <vector>

// Hand-worked: multiplied while the brightest channel stays within 255; beyond, scaled together
// so the brightest reaches 255 and the hue stays (a half, as 255 / 2 is, rounds down).
TEST(OverbrightTest, MultipliesDarkLightAndKeepsTheHueOfBrightLight)
{
    const struct {
        float factor;
        std::vector<unsigned char> stored, shown;
    } cases[] = {
        {4, {0, 0, 0}, {0, 0, 0}},           {4, {32, 32, 32}, {128, 128, 128}}, {4, {10, 20, 30}, {40, 80, 120}},
        {4, {63, 63, 63}, {252, 252, 252}},  {4, {64, 0, 0}, {255, 0, 0}},       {4, {200, 100, 50}, {255, 127, 64}},
        {4, {50, 100, 200}, {64, 127, 255}}, {4, {255, 255, 255}, {255, 255, 255}}, {4, {63, 64, 32}, {251, 255, 128}},
        {2, {10, 20, 30}, {20, 40, 60}},     {2, {127, 128, 64}, {253, 255, 128}}, {2, {200, 100, 50}, {255, 127, 64}},
        {1, {200, 100, 50}, {200, 100, 50}}, {16, {10, 5, 1}, {160, 80, 16}},     {16, {20, 10, 0}, {255, 128, 0}},
        {1.2f, {100, 50, 0}, {120, 60, 0}},  {0.25f, {100, 50, 0}, {100, 50, 0}}, {100, {1, 2, 3}, {16, 32, 48}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(::testing::Message() << "x" << each.factor << " of " << int(each.stored[0]) << " "
                                          << int(each.stored[1]) << " " << int(each.stored[2]));
        const Overbright overbright(each.factor);
        std::vector<unsigned char> rgba = {each.stored[0], each.stored[1], each.stored[2], 77};
        overbright.brighten(rgba.data(), 1, 4);
        EXPECT_EQ(rgba, (std::vector<unsigned char>{each.shown[0], each.shown[1], each.shown[2], 77}));
        std::vector<unsigned char> packed(3);
        overbright.brightenPacked(each.stored.data(), packed.data(), 1);
        EXPECT_EQ(packed, each.shown);
    }
}

// Long runs take a shortcut where no channel would pass 255: every texel of a run, dark or
// bright, comes out as it does alone, at the intended factor and at twice it.
TEST(OverbrightTest, RunsOfTexelsComeOutAsEachAloneDarkOrBright)
{
    constexpr int count = 200; // runs of texels, dark and not, and a few left over
    std::vector<unsigned char> rgb;
    for (int i = 0; i < count; ++i) {
        const bool bright = i >= 16 && i < 32 && i % 5 == 0; // three bright texels among dark ones
        const bool barelyBright = i == 150;                 // one channel just past the intended factor's reach
        rgb.insert(rgb.end(), {static_cast<unsigned char>(bright ? 200 : barelyBright ? 64 : i % 30),
                               static_cast<unsigned char>(31 - i % 7), static_cast<unsigned char>(i * 3 % 32)});
    }
    // 1.3 is no whole number of 256ths, so its runs take the wider arithmetic.
    for (const float factor : {Overbright::intendedFactor, 2 * Overbright::intendedFactor, 1.3f}) {
        const Overbright overbright(factor);
        std::vector<unsigned char> together(count * 3);
        overbright.brightenPacked(rgb.data(), together.data(), count);
        for (int i = 0; i < count; ++i) {
            std::vector<unsigned char> alone(3);
            overbright.brightenPacked(rgb.data() + 3 * i, alone.data(), 1);
            EXPECT_EQ(std::vector<unsigned char>(together.begin() + 3 * i, together.begin() + 3 * i + 3), alone)
                << "x" << factor << " texel " << i;
        }
        EXPECT_EQ(together[3 * 20], 255) << "a bright texel is scaled, not multiplied";
    }
}
