#include "surface/SkyDome.h"

#include <gtest/gtest.h>

TEST(SkyDomeTest, TexCoordsWhereTheRayMeetsTheCloudLayer)
{
    struct Case {
        const char* name;
        std::array<float, 3> direction;
        float height;
        std::array<float, 2> texCoord;
    };
    // Along the horizon the ray runs sqrt(2 R h + h^2) units (R = 4096) before it meets the layer.
    const Case cases[] = {
        {"straight up", {0, 1, 0}, 256, {0.0f, 0.0f}},
        {"the horizon toward +x, clouds 128 up", {1, 0, 0}, 128, {1.0077822f, 0.0f}},
        {"the horizon toward -z, clouds 256 up", {0, 0, -1}, 256, {0.0f, -1.4361407f}},
        {"45 degrees up toward +x", {1, 1, 0}, 128, {0.1231610f, 0.0f}},
        {"a direction of any length", {3, 3, 0}, 128, {0.1231610f, 0.0f}},
        {"a height under 1 is 1", {1, 0, 0}, 0, {0.0883937f, 0.0f}},
        {"no direction", {0, 0, 0}, 128, {0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::array<float, 2> texCoord = SkyDome::texCoord(c.direction, c.height);
        EXPECT_NEAR(texCoord[0], c.texCoord[0], 1e-5f);
        EXPECT_NEAR(texCoord[1], c.texCoord[1], 1e-5f);
    }
}
