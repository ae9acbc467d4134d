#include "surface/FogFactor.h"

#include <algorithm>

float FogFactor::of(float inside, float distance)
{
    if (!(distance > 0.0f))
        return inside > 0.0f ? 1.0f : 0.0f;
    const float x = std::clamp(inside / distance, 0.0f, 1.0f);
    return 1.0f - (1.0f - x) * (1.0f - x);
}
