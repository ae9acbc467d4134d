#pragma once

#include "level/Vertex.h"

#include <array>
#include <vector>

// One bi-quadratic piece of a curved face: nine control vertices, row by row
// (controls[3r + c] is row r, column c), and an optional tessellation into (L + 1)^2
// vertices for L triangle strips (the renderer's PatchRenderer draws them). A copyable
// value held by its Face.
class BezierPatch {
public:
    explicit BezierPatch(const std::array<Vertex, 9>& controls); // level 2, nothing tessellated
    virtual ~BezierPatch() = default;
    BezierPatch(const BezierPatch&) = default;
    BezierPatch& operator=(const BezierPatch&) = default;

    // The vertices and strips of one tessellation, built apart from the patch so a caller can
    // build every patch's new one before any patch gives up its old one.
    struct Tessellation {
        int level = 2;
        std::vector<Vertex> vertices;
        std::vector<unsigned int> indices;
        int rowIndexCount = 6;
    };

    // A tessellation of `level` steps along each parameter. Normals are blended, not
    // renormalised; every vertex gets controls[0]'s colour. Levels below 1 are taken as 1,
    // since the weights divide by the level. May throw std::bad_alloc; changes nothing.
    Tessellation tessellated(int level) const;
    static std::size_t tessellationBytes(int level); // what tessellated(level) holds
    // The weights of the three rows (or columns) of controls at parameter t in 0..1.
    static void quadraticWeights(double t, double weights[3]);
    // For each vertex of a (steps + 1)-square grid in rows, the weight of each of the nine
    // controls, row control first: what blends anything the controls carry across the grid.
    static std::vector<float> gridWeights(int steps);
    void adopt(Tessellation&& tessellation) noexcept; // replaces the current one
    void tessellate(int level) { adopt(tessellated(level)); }

    int level = 2;
    std::vector<Vertex> vertices;      // (level + 1)^2 after tessellation, i * (level + 1) + j
    std::vector<unsigned int> indices; // level strips of rowIndexCount each
    int rowIndexCount = 6;
    Vertex controls[9];
};
