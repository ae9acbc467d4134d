#pragma once

#include <cstddef>

// Which frame of an animMap shows at a time: floor(seconds x frequency) mod count. Negative
// times or frequencies count back from the last frame, as the modulo wraps.
class AnimationFrame {
public:
    static std::size_t index(double seconds, float frequency, std::size_t count); // 0 when count is 0
};
