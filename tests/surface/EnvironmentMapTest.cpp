#include "surface/EnvironmentMap.h"

#include <gtest/gtest.h>

TEST(EnvironmentMapTest, TexCoordsFromTheReflectedDirection)
{
    struct Case {
        const char* name;
        std::array<float, 3> eye, position, normal;
        std::array<float, 2> texCoord;
    };
    const Case cases[] = {
        {"a wall facing file -y, seen square on", {0, 0, 10}, {0, 0, 0}, {0, 0, 1}, {0.0f, 0.5f}},
        {"a wall facing file +y", {0, 0, -10}, {0, 0, 0}, {0, 0, -1}, {1.0f, 0.5f}},
        {"a floor seen from straight above", {0, 10, 0}, {0, 0, 0}, {0, 1, 0}, {0.5f, 0.0f}},
        {"a wall facing file +x", {10, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0.5f, 0.5f}},
        {"a floor seen at 45 degrees", {10, 10, 0}, {0, 0, 0}, {0, 1, 0}, {0.5f, 0.14644661f}},
        {"a normal of any length", {10, 10, 0}, {0, 0, 0}, {0, 3, 0}, {0.5f, 0.14644661f}},
        {"the eye on the surface", {1, 2, 3}, {1, 2, 3}, {0, 1, 0}, {0.5f, 0.5f}},
        {"no normal", {0, 10, 0}, {0, 0, 0}, {0, 0, 0}, {0.5f, 0.5f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::array<float, 2> texCoord = EnvironmentMap::texCoord(c.eye, c.position, c.normal);
        EXPECT_NEAR(texCoord[0], c.texCoord[0], 1e-6f);
        EXPECT_NEAR(texCoord[1], c.texCoord[1], 1e-6f);
    }
}
