#include "render/PickupRenderer.h"

#include <cmath>

namespace {
constexpr double pi = 3.14159265358979323846;
constexpr float light[3] = {0.39f, 0.85f, 0.35f}; // unit: from above, a little aside
constexpr float darkest = 0.45f;                   // a face edge-on to the light
} // namespace

PickupRenderer::PickupRenderer(const std::vector<Pickup>& pickups) : placed(pickups)
{
    for (std::size_t f = 0; f < Pickup::familyCount; ++f) {
        ranges[f].first = shapes.size();
        layOut(Pickup::Family(f));
        ranges[f].count = shapes.size() - ranges[f].first;
    }
    std::size_t vertices = 0;
    for (const Pickup& pickup : placed)
        vertices += ranges[std::size_t(pickup.family)].count;
    turned.resize(vertices);
}

// Each about 16 to 30 units across, its base on the origin.
void PickupRenderer::layOut(Pickup::Family family)
{
    switch (family) {
    case Pickup::Family::weapon:
        addBox(-12, 6, -2.5f, 12, 11, 2.5f); // barrel
        addBox(-10, 0, -2, -5, 6, 2);        // grip
        return;
    case Pickup::Family::ammunition: addBox(-6, 0, -6, 6, 10, 6); return;
    case Pickup::Family::armour: addPlate(6, 9, 10, 2); return;
    case Pickup::Family::health:
        addBox(-8, 6, -2.5f, 8, 12, 2.5f);
        addBox(-3, 1, -2.5f, 3, 17, 2.5f);
        return;
    case Pickup::Family::powerup: addBall(9, 8); return;
    case Pickup::Family::flag:
        addBox(-1, 0, -1, 1, 30, 1);         // pole
        addBox(1, 18, -0.5f, 15, 29, 0.5f); // cloth
        return;
    }
}

// Both sides are drawn, so a face is shaded by how squarely either side meets the light.
void PickupRenderer::addTriangle(const float (&a)[3], const float (&b)[3], const float (&c)[3])
{
    const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const float normal[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const float length = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
    const float along = normal[0] * light[0] + normal[1] * light[1] + normal[2] * light[2];
    const float facing = length > 0 ? std::fabs(along) / length : 0;
    const float shade = darkest + (1 - darkest) * facing;
    for (const float* corner : {a, b, c})
        shapes.push_back({{corner[0], corner[1], corner[2]}, shade});
}

void PickupRenderer::addBox(float x0, float y0, float z0, float x1, float y1, float z1)
{
    const float corner[8][3] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                                {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
    const int faces[6][4] = {{0, 1, 2, 3}, {5, 4, 7, 6}, {4, 0, 3, 7}, {1, 5, 6, 2}, {3, 2, 6, 7}, {4, 5, 1, 0}};
    for (const auto& face : faces) {
        addTriangle(corner[face[0]], corner[face[1]], corner[face[2]]);
        addTriangle(corner[face[0]], corner[face[2]], corner[face[3]]);
    }
}

void PickupRenderer::addPlate(int sides, float radius, float centreY, float halfThickness)
{
    for (int i = 0; i < sides; ++i) {
        const double a0 = 2 * pi * i / sides, a1 = 2 * pi * (i + 1) / sides;
        const float x0 = radius * float(std::sin(a0)), y0 = centreY + radius * float(std::cos(a0));
        const float x1 = radius * float(std::sin(a1)), y1 = centreY + radius * float(std::cos(a1));
        const float frontCentre[3] = {0, centreY, halfThickness}, backCentre[3] = {0, centreY, -halfThickness};
        const float front0[3] = {x0, y0, halfThickness}, front1[3] = {x1, y1, halfThickness};
        const float back0[3] = {x0, y0, -halfThickness}, back1[3] = {x1, y1, -halfThickness};
        addTriangle(frontCentre, front0, front1);
        addTriangle(backCentre, back1, back0);
        addTriangle(front0, back0, back1);
        addTriangle(front0, back1, front1);
    }
}

void PickupRenderer::addBall(float centreY, float radius)
{
    constexpr int slices = 8, stacks = 6;
    const auto at = [&](int slice, int stack, float (&point)[3]) {
        const double around = 2 * pi * slice / slices, down = pi * stack / stacks;
        point[0] = radius * float(std::sin(down) * std::cos(around));
        point[1] = centreY + radius * float(std::cos(down));
        point[2] = radius * float(std::sin(down) * std::sin(around));
    };
    for (int stack = 0; stack < stacks; ++stack)
        for (int slice = 0; slice < slices; ++slice) {
            float a[3], b[3], c[3], d[3];
            at(slice, stack, a);
            at(slice + 1, stack, b);
            at(slice + 1, stack + 1, c);
            at(slice, stack + 1, d);
            if (stack > 0)
                addTriangle(a, b, c);
            if (stack < stacks - 1)
                addTriangle(a, c, d);
        }
}

void PickupRenderer::draw(double seconds)
{
    if (placed.empty())
        return;
    if (seconds != turnedAt) {
        turnedAt = seconds;
        const double radians = std::fmod(seconds * degreesPerSecond, 360.0) * pi / 180.0;
        const float cosine = float(std::cos(radians)), sine = float(std::sin(radians));
        std::size_t out = 0;
        for (const Pickup& pickup : placed) {
            const Range& range = ranges[std::size_t(pickup.family)];
            const float x = pickup.position.getX(), y = pickup.position.getY(), z = pickup.position.getZ();
            for (std::size_t i = range.first; i < range.first + range.count; ++i) {
                const ShapeVertex& vertex = shapes[i];
                MarkerRenderer::Vertex& into = turned[out++];
                into.position[0] = x + cosine * vertex.position[0] + sine * vertex.position[2];
                into.position[1] = y + vertex.position[1];
                into.position[2] = z - sine * vertex.position[0] + cosine * vertex.position[2];
                for (std::size_t channel = 0; channel < 3; ++channel) {
                    const long shaded = std::lround(pickup.shown[channel] * vertex.shade);
                    into.colour[channel] = static_cast<unsigned char>(shaded);
                }
                into.colour[3] = 255;
            }
        }
    }
    MarkerRenderer::drawTriangles(turned);
}
