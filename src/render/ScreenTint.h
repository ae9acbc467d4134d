#pragma once

#include <array>

// A colour laid over the window, blended by its alpha: the view from inside a liquid, the
// backing that keeps text readable.
class ScreenTint {
public:
    // RGBA, 0..1. Leaves every GL state as it found it.
    static void draw(const std::array<float, 4>& color);
    // The same over a rectangle of the window, in pixels from its lower left.
    static void draw(const std::array<float, 4>& color, int left, int bottom, int right, int top);
};
