#pragma once

// How much of the fog's colour covers a surface seen through `inside` units of a fog volume
// whose material makes it opaque at `distance` units: with x = inside / distance clamped to
// 0..1, 1 - (1 - x)^2. The curve thickens fastest near the eye, as a real haze does, and meets
// full fog at the distance without a crease, so the far edge of the fog shows no line.
class FogFactor {
public:
    static float of(float inside, float distance);
};
