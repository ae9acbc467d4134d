#pragma once

#include "level/Pickup.h"
#include "render/MarkerRenderer.h"

#include <array>
#include <cstddef>
#include <vector>

// Level mode's pickups: each a small shape standing on its origin, its form its family's (a gun
// for a weapon, a crate for ammunition, a shield for armour, a cross for health, a ball for a
// power-up or holdable, a flag on its pole for a flag) in its colour (Pickup), all turning
// together about the vertical as pickups turn in play. The shapes are laid out once in their own
// space; a frame turns and places them into an array sized at load and draws it in one call, so
// nothing is allocated.
class PickupRenderer {
public:
    static constexpr double degreesPerSecond = 60; // on the material clock

    explicit PickupRenderer(const std::vector<Pickup>& pickups);

    bool empty() const { return placed.empty(); }
    // Under the current view, turned as they stand `seconds` into the material clock. Leaves GL
    // as MarkerRenderer::drawTriangles does.
    void draw(double seconds);

private:
    struct ShapeVertex {
        float position[3]; // units, Y up, the pickup's origin at 0
        float shade;       // 0..1 of its colour, from the face's slant to the light
    };
    struct Range {
        std::size_t first = 0;
        std::size_t count = 0;
    };

    void layOut(Pickup::Family family);
    void addTriangle(const float (&a)[3], const float (&b)[3], const float (&c)[3]);
    void addBox(float x0, float y0, float z0, float x1, float y1, float z1);
    void addPlate(int sides, float radius, float centreY, float halfThickness); // upright, facing Z
    void addBall(float centreY, float radius);

    std::vector<ShapeVertex> shapes;                 // triangles, every family's
    std::array<Range, Pickup::familyCount> ranges{}; // by family, into the shapes
    std::vector<Pickup> placed;
    std::vector<MarkerRenderer::Vertex> turned; // the frame's triangles, sized at load
    double turnedAt = -1;                       // the clock `turned` stands at; -1: never
};
