#include "surface/AnimationFrame.h"

#include <cmath>

std::size_t AnimationFrame::index(double seconds, float frequency, std::size_t count)
{
    if (count == 0)
        return 0;
    // In double throughout: a long run times a high frequency exceeds any integer type.
    double frame = std::fmod(std::floor(seconds * double(frequency)), double(count));
    if (frame < 0.0)
        frame += double(count);
    return frame < double(count) ? std::size_t(frame) : 0;
}
