#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The cloud layers of a sky material, as seen from the eye: a layer `height` units overhead
// that bends down toward the horizon as on a planet of radius planetRadius, so clouds crowd
// together far away. Each direction from the eye meets the layer at one point; its texture
// coordinates are that point's world x and z over imageSpan (one repeat of an image per
// imageSpan units of the layer, before the stage's tcMods). World coordinates, Y up.
class SkyDome {
public:
    using Vector = std::array<float, 3>;

    static constexpr float planetRadius = 4096.0f;
    static constexpr float imageSpan = 1024.0f;

    // `direction` of any non-zero length; heights under 1 are taken as 1.
    static std::array<float, 2> texCoord(const Vector& direction, float height);

    // A sphere of unit directions around the eye, `rings` bands from the zenith to the nadir of
    // `segments` quads each, with the layer's coordinates at every corner; indices as triangles.
    struct Mesh {
        std::vector<Vector> directions;
        std::vector<std::array<float, 2>> texCoords;
        std::vector<uint32_t> indices;
    };
    static Mesh mesh(float height, int rings, int segments);
};
