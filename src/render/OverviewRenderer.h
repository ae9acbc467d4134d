#pragma once

#include "level/OverviewLayout.h"

// Draws a map of the level (OverviewLayout) over the whole of a width x height viewport:
// orthographic from straight above with north up, the layout's box fitted inside a margin with
// its proportions kept. Ground is filled in grey, lighter the higher it lies; walls are amber
// lines; brush entities (doors, lifts) are cyan outlines where they rest, over the ground and
// walls; each player start is a red arrow pointing along its heading, drawn over everything.
// Apart from the frame: it clears the buffers, and leaves every matrix and GL state it changes
// as it found it.
class OverviewRenderer {
public:
    static constexpr float background[3] = {0.10f, 0.11f, 0.13f};
    static constexpr float wallColour[3] = {0.95f, 0.70f, 0.30f};
    static constexpr float startColour[3] = {0.90f, 0.12f, 0.12f};
    static constexpr float brushEntityColour[3] = {0.30f, 0.85f, 0.95f};
    static constexpr float lowestGrey = 0.30f;  // the lowest ground
    static constexpr float highestGrey = 0.90f; // the highest

    static void draw(const OverviewLayout& layout, int width, int height);
};
