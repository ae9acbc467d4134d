#include "surface/SkyDome.h"

#include <algorithm>
#include <cmath>

// The eye sits at the origin, the planet's centre planetRadius below it; the layer is the
// sphere planetRadius + height about that centre, so the eye is always inside it and every
// direction meets it once ahead: t^2 + 2 t R dy - (2 R h + h^2) = 0.
std::array<float, 2> SkyDome::texCoord(const Vector& direction, float height)
{
    const double length = std::sqrt(double(direction[0]) * direction[0] + double(direction[1]) * direction[1]
                                    + double(direction[2]) * direction[2]);
    if (length == 0.0)
        return {0.0f, 0.0f};
    const double h = std::max(double(height), 1.0);
    const double r = planetRadius;
    const double dy = direction[1] / length;
    const double along = -r * dy + std::sqrt(r * r * dy * dy + 2.0 * r * h + h * h);
    return {float(along * direction[0] / length / imageSpan), float(along * direction[2] / length / imageSpan)};
}

SkyDome::Mesh SkyDome::mesh(float height, int rings, int segments)
{
    constexpr double pi = 3.14159265358979323846;
    Mesh mesh;
    for (int ring = 0; ring <= rings; ++ring) {
        const double down = pi * ring / rings; // from the zenith
        for (int segment = 0; segment <= segments; ++segment) {
            const double around = 2.0 * pi * segment / segments;
            const Vector direction{float(std::sin(down) * std::cos(around)), float(std::cos(down)),
                                   float(std::sin(down) * std::sin(around))};
            mesh.directions.push_back(direction);
            mesh.texCoords.push_back(texCoord(direction, height));
        }
    }
    const uint32_t row = uint32_t(segments + 1);
    for (uint32_t ring = 0; ring < uint32_t(rings); ++ring)
        for (uint32_t segment = 0; segment < uint32_t(segments); ++segment) {
            const uint32_t corner = ring * row + segment;
            for (const uint32_t index : {corner, corner + 1, corner + row, corner + 1, corner + row + 1, corner + row})
                mesh.indices.push_back(index);
        }
    return mesh;
}
