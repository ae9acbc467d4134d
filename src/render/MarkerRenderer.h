#pragma once

#include "level/PointMarker.h"

#include <vector>

// Level mode's markers ('n'): where each point entity stands, as a small diamond in its family's
// colour (lit from above: its lower half darker), and for a player start a flat arrow along its
// heading. Every marker's triangles are built once into one array; a frame draws them all in one
// call, depth-tested, and allocates nothing.
class MarkerRenderer {
public:
    struct Vertex {
        float position[3]; // world, Y up
        unsigned char colour[4];
    };

    static constexpr float radius = 8.0f;        // units from a diamond's centre to its tips
    static constexpr float arrowLength = 28.0f;  // a start's arrow, from the start onward
    static constexpr float arrowHalfWidth = 8.0f;

    explicit MarkerRenderer(const std::vector<PointMarker>& markers);

    bool empty() const { return vertices.empty(); }
    // Under the current view. Draws untextured and unlit on unit 0 with both sides shown; leaves
    // every state as it found it.
    void draw() const { drawTriangles(vertices); }
    // Any coloured triangles, drawn as the markers are.
    static void drawTriangles(const std::vector<Vertex>& triangles);

private:

    void addDiamond(const PointMarker& marker);
    void addArrow(const PointMarker& marker);
    void addTriangle(const float (&a)[3], const float (&b)[3], const float (&c)[3], const unsigned char colour[4]);

    std::vector<Vertex> vertices; // triangles
};
