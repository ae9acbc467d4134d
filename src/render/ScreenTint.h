#pragma once

#include <array>

// A colour laid over the whole window, blended by its alpha: the view from inside a liquid.
class ScreenTint {
public:
    // RGBA, 0..1. Leaves every GL state as it found it.
    static void draw(const std::array<float, 4>& color);
};
