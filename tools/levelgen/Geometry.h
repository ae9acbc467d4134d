#pragma once

#include "Level.h"

#include <vector>

// Appends faces with their vertices and mesh vertices to a level. Positions and normals
// are in file coordinates. Texture coordinates are planar: s = position . sAxis / scale + sOffset
// and t = position . tAxis / scale + tOffset, so textures repeat every `scale` units.
class Geometry {
public:
    Geometry(Level& level, float textureScale) : level(level), textureScale(textureScale) {}

    int32_t faceCount() const { return static_cast<int32_t>(level.faces.size()); } // so far

    struct Mapping {
        Vector3 sAxis;
        Vector3 tAxis;
        float sOffset = 0.0f;
        float tOffset = 0.0f;
    };

    // A convex planar polygon (type 1), triangulated as a fan wound clockwise as seen
    // from the side the normal points to.
    void addPolygon(const std::vector<Vector3>& corners, Vector3 normal, int texture, const Mapping& mapping);

    // A wall from floor to ceiling along the grid edge a-b, facing `normal` (horizontal).
    void addWall(Vector3 a, Vector3 b, float height, Vector3 normal, int texture);

    // A triangle mesh (type 3): each triangle gets its own three vertices and flat normal,
    // wound clockwise seen from outside, that is from the side its normal points to.
    struct Triangle {
        Vector3 corners[3];
        Vector3 outward; // any vector pointing out of the solid
    };
    void addMesh(const std::vector<Triangle>& triangles, int texture);

    // A Bezier patch face (type 2) from a width x height control grid, row by row.
    void addPatch(const std::vector<VertexRecord>& controls, int width, int height, int texture, Vector3 normal);

    // A billboard face (type 4): a quad the viewer skips but that is otherwise complete.
    void addBillboard(const std::vector<Vector3>& corners, Vector3 normal, int texture);

private:
    FaceRecord& beginFace(int type, int texture, Vector3 normal);
    VertexRecord makeVertex(Vector3 position, Vector3 normal, const Mapping& mapping) const;

    Level& level;
    float textureScale;
};

Vector3 operator+(Vector3 a, Vector3 b);
Vector3 operator-(Vector3 a, Vector3 b);
Vector3 operator*(Vector3 a, float f);
float dot(Vector3 a, Vector3 b);
Vector3 cross(Vector3 a, Vector3 b);
Vector3 normalized(Vector3 v);
