#include "LightField.h"

#include "Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

LightField::LightField(const Plan& plan)
    : plan(plan), lights(lightSources(plan)), reach(reachFactor * static_cast<float>(lightIntensity))
{
}

Light LightField::at(Vector3 point, Vector3 normal, bool bothSides) const
{
    Light total = {ambient, ambient, ambient};
    const float intensitySquared = static_cast<float>(lightIntensity) * static_cast<float>(lightIntensity);
    for (const LightSource& light : lights) {
        const Vector3 toLight = light.position - point;
        const float distanceSquared = dot(toLight, toLight);
        if (distanceSquared >= reach * reach)
            continue;
        const float distance = std::sqrt(distanceSquared);
        float cosine = distance > 0.0f ? dot(toLight, normal) / distance : 1.0f;
        if (bothSides)
            cosine = std::abs(cosine);
        if (cosine <= 0.0f || blocked(light.position, point))
            continue;
        const float fade = 1.0f - distanceSquared / (reach * reach);
        const float strength =
            nearLight * intensitySquared / (intensitySquared + distanceSquared) * fade * cosine;
        for (int c = 0; c < 3; ++c)
            total[static_cast<size_t>(c)] += strength * light.colour[c];
    }
    return total;
}

// A walk through the grid cells that the segment crosses (grid units: x = column, y = row,
// growing south), stopping short of the far end so that a point on a cell's edge is not in it.
bool LightField::blocked(Vector3 from, Vector3 to) const
{
    const double size = plan.cellSize;
    const double x0 = from.x / size;
    const double y0 = plan.rows - from.y / size;
    const double dx = to.x / size - x0;
    const double dy = plan.rows - to.y / size - y0;
    int column = static_cast<int>(std::floor(x0));
    int row = static_cast<int>(std::floor(y0));
    const int stepX = dx > 0 ? 1 : -1;
    const int stepY = dy > 0 ? 1 : -1;
    constexpr double never = std::numeric_limits<double>::infinity();
    const double deltaX = dx != 0 ? 1.0 / std::abs(dx) : never;
    const double deltaY = dy != 0 ? 1.0 / std::abs(dy) : never;
    // Segment parameters (0 at from, 1 at to) of the next column and row boundaries.
    double nextX = dx != 0 ? (stepX > 0 ? column + 1 - x0 : x0 - column) * deltaX : never;
    double nextY = dy != 0 ? (stepY > 0 ? row + 1 - y0 : y0 - row) * deltaY : never;
    constexpr double end = 1.0 - 1e-9;
    while (std::min(nextX, nextY) < end) {
        if (nextX < nextY) {
            column += stepX;
            nextX += deltaX;
        } else {
            row += stepY;
            nextY += deltaY;
        }
        if (!plan.isOpen(column, row))
            return true;
    }
    return false;
}

std::array<uint8_t, 3> quarterRange(const Light& light)
{
    const float brightest = std::max({light[0], light[1], light[2]});
    const float scale = brightest > 4.0f ? 4.0f / brightest : 1.0f;
    std::array<uint8_t, 3> texel{};
    for (size_t c = 0; c < 3; ++c)
        texel[c] = static_cast<uint8_t>(std::clamp(light[c] * scale, 0.0f, 4.0f) * 63.75f + 0.5f);
    return texel;
}
