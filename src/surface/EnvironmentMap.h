#pragma once

#include <array>

// tcGen environment: texture coordinates from the direction in which the eye's ray leaves a
// surface, so a picture of the surroundings seems reflected in it and slides as the eye moves.
// Inputs in world coordinates, Y up. For the reflected unit direction r, s = 0.5 + 0.5 r's file y
// (world -z) and t = 0.5 - 0.5 r's file z (world y): a reflection straight up shows the top
// middle of the picture, one along file x its centre.
class EnvironmentMap {
public:
    static std::array<float, 2> texCoord(const std::array<float, 3>& eye, const std::array<float, 3>& position,
                                         const std::array<float, 3>& normal);
};
