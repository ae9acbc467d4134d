#pragma once

#include "level/Vertex.h"

#include <array>
#include <vector>

class TextureManager;

// One bi-quadratic piece of a curved face: nine control vertices, row by row
// (controls[3r + c] is row r, column c), and an optional tessellation into (L + 1)^2
// vertices drawn as L triangle strips. A copyable value held by its Face.
class BezierPatch {
public:
    explicit BezierPatch(const std::array<Vertex, 9>& controls); // level 2, nothing tessellated
    virtual ~BezierPatch() = default;
    BezierPatch(const BezierPatch&) = default;
    BezierPatch& operator=(const BezierPatch&) = default;

    // Replaces the tessellation with one of `level` steps along each parameter. Normals are
    // blended, not renormalised; every vertex gets controls[0]'s colour. Levels below 1 are
    // taken as 1, since the weights divide by the level.
    void tessellate(int level);

    // Both draws set the vertex and normal arrays on the patch's own vertices (stride of one
    // Vertex) and, when textured, bind `texture` with its coordinate array through the
    // manager. The caller enables the vertex and normal client states.
    void drawControlGrid(int texture, const TextureManager& textureManager, bool textured) const;
    void drawTessellated(int texture, const TextureManager& textureManager, bool textured) const; // sets front face CCW

    int level = 2;
    std::vector<Vertex> vertices;      // (level + 1)^2 after tessellation, i * (level + 1) + j
    std::vector<unsigned int> indices; // level strips of rowIndexCount each
    int rowIndexCount = 6;
    Vertex controls[9];
};
