#include "surface/Autosprite.h"

#include <gtest/gtest.h>

namespace {
using Corners = Autosprite::Corners;

void expectCorners(const Corners& actual, const Corners& expected)
{
    for (std::size_t k = 0; k < 4; ++k)
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(actual[k][i], expected[k][i], 1e-5f) << "corner " << k << " axis " << i;
}

// Texture coordinates of the corners in the order the quads below list them: top left, top
// right, bottom right, bottom left of the picture.
const Autosprite::TexCoords picture = {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
} // namespace

TEST(AutospriteTest, AQuadTurnedToFaceTheScreen)
{
    // 4 units along s (x), 2 along t (z), lying on the floor around (10, 0, 0).
    const Corners flat = {{{8, 0, -1}, {12, 0, -1}, {12, 0, 1}, {8, 0, 1}}};
    struct Case {
        const char* name;
        Corners corners;
        Autosprite::TexCoords texCoords;
        Autosprite::Vector right, up;
        Corners expected;
    };
    const Case cases[] = {
        {"seen along -z", flat, picture, {1, 0, 0}, {0, 1, 0}, {{{8, 1, 0}, {12, 1, 0}, {12, -1, 0}, {8, -1, 0}}}},
        {"seen along +x", flat, picture, {0, 0, -1}, {0, 1, 0},
         {{{10, 1, 2}, {10, 1, -2}, {10, -1, -2}, {10, -1, 2}}}},
        {"corners listed in another order",
         {{flat[2], flat[0], flat[3], flat[1]}},
         {{picture[2], picture[0], picture[3], picture[1]}},
         {1, 0, 0},
         {0, 1, 0},
         {{{12, -1, 0}, {8, 1, 0}, {8, -1, 0}, {12, 1, 0}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectCorners(Autosprite::facingEye(c.corners, c.texCoords, c.right, c.up), c.expected);
    }
}

TEST(AutospriteTest, AQuadTurnedAboutItsLongAxis)
{
    // A flame 2 wide and 6 tall standing at the origin, facing +z; a beam 6 long and 2 wide.
    const Corners flame = {{{-1, 6, 0}, {1, 6, 0}, {1, 0, 0}, {-1, 0, 0}}};
    const Corners beam = {{{-3, 1, 0}, {3, 1, 0}, {3, -1, 0}, {-3, -1, 0}}};
    struct Case {
        const char* name;
        Corners corners;
        Autosprite::Vector eye;
        Corners expected;
    };
    const Case cases[] = {
        {"flame seen from +z stays", flame, {0, 3, 10}, flame},
        {"flame seen from +x", flame, {10, 3, 0}, {{{0, 6, 1}, {0, 6, -1}, {0, 0, -1}, {0, 0, 1}}}},
        {"flame seen from -z turns round", flame, {0, 3, -10}, {{{1, 6, 0}, {-1, 6, 0}, {-1, 0, 0}, {1, 0, 0}}}},
        {"flame seen from above its axis keeps its place", flame, {0, 100, 0}, flame},
        {"beam seen from above", beam, {0, 10, 0}, {{{-3, 0, -1}, {3, 0, -1}, {3, 0, 1}, {-3, 0, 1}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectCorners(Autosprite::aboutLongAxis(c.corners, picture, c.eye), c.expected);
    }
}
