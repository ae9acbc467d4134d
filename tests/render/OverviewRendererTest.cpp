#include "../level/StepRoom.h"

#include "GLContext.h"

#include "level/LevelLoader.h"
#include "render/OverviewRenderer.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <sstream>

using testsupport::contextHeight;
using testsupport::contextWidth;
using testsupport::readPixel;
using testsupport::Rgb;

namespace {
Rgb colourOf(const float (&colour)[3])
{
    return {int(colour[0] * 255.0f + 0.5f), int(colour[1] * 255.0f + 0.5f), int(colour[2] * 255.0f + 0.5f)};
}

bool near(const Rgb& pixel, const Rgb& expected)
{
    return std::abs(pixel.r - expected.r) <= 2 && std::abs(pixel.g - expected.g) <= 2
        && std::abs(pixel.b - expected.b) <= 2;
}

bool grey(const Rgb& pixel) { return pixel.r == pixel.g && pixel.g == pixel.b; }

// The room, with or without the outline of the door resting over its step.
void drawStepRoom(bool withDoor)
{
    testsupport::ensureGLContext();
    std::ostringstream quiet;
    const LevelData level = parseLevel("room.bsp", leveltest::stepRoom().bytes(), quiet);
    OverviewLayout layout = OverviewLayout::of(level, nullptr);
    if (!withDoor)
        layout.brushEntities.clear();
    OverviewRenderer::draw(layout, contextWidth, contextHeight);
}

int pixelsAcrossTheStep(const float (&colour)[3])
{
    int count = 0;
    for (int x = 36; x < 52; ++x)
        count += near(readPixel(x, 48), colourOf(colour)) ? 1 : 0;
    return count;
}
} // namespace

// The room spans the square picture but for its margin; 200 units across 64 pixels put the
// step's edge (x = 40) about 12 pixels east of the middle.
TEST(OverviewRenderer, ShadesTheGroundByHeightDrawsWallsAsLinesAndTheStartAsAnArrow)
{
    drawStepRoom(false);
    const Rgb low = readPixel(12, 48);
    const Rgb step = readPixel(58, 48);
    EXPECT_TRUE(grey(low) && grey(step)) << low.r << " " << step.r;
    EXPECT_GT(step.r, low.r + 60) << "the step is the higher floor, so the lighter";
    EXPECT_GT(low.r, colourOf(OverviewRenderer::background).r + 20) << "the low floor still shows";
    EXPECT_TRUE(near(readPixel(0, 0), colourOf(OverviewRenderer::background)));

    const int wallPixels = pixelsAcrossTheStep(OverviewRenderer::wallColour);
    EXPECT_GE(wallPixels, 1) << "the step's face, a line across the room";
    EXPECT_LE(wallPixels, 2);

    // The start stands at the middle of the room, the middle of the picture; its arrow's tip
    // points north, and the notch at its back is open.
    const Rgb red = colourOf(OverviewRenderer::startColour);
    EXPECT_TRUE(near(readPixel(32, 32), red));
    EXPECT_TRUE(near(readPixel(32, 34), red));
    EXPECT_FALSE(near(readPixel(32, 28), red));
    EXPECT_FALSE(near(readPixel(32, 40), red));
}

// The door resting over the step (model 1, from x 40 to 100) is outlined over the walls.
TEST(OverviewRenderer, OutlinesBrushEntitiesWhereTheyRest)
{
    drawStepRoom(true);
    EXPECT_GE(pixelsAcrossTheStep(OverviewRenderer::brushEntityColour), 1);
    EXPECT_EQ(pixelsAcrossTheStep(OverviewRenderer::wallColour), 0);
}
