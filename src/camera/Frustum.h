#pragma once

#include <array>

class Leaf;
class Vec3;

// The six planes of the current view volume in world coordinates, rebuilt once per frame
// from the projection and model-view matrices (CameraRenderer reads them from GL). A point
// (x, y, z) is on the inner side of plane (a, b, c, d) when a*x + b*y + c*z + d > 0; a point
// exactly on a plane is outside.
class Frustum {
public:
    using Plane = std::array<double, 4>; // a, b, c, d with (a, b, c) of length 1
    enum PlaneIndex { rightPlane, leftPlane, bottomPlane, topPlane, farPlane, nearPlane, planeCount };

    Frustum() = default;
    virtual ~Frustum() = default;

    // From the two matrices in GL's column-major order.
    void extractPlanes(const float projection[16], const float modelview[16]);

    // False only when the leaf's box lies wholly outside one plane. Runs for every candidate
    // leaf every frame: it stops at the first passing corner and the first failing plane.
    bool isLeafVisible(const Leaf& leaf) const;
    // The same for a box given by its two corners (world coordinates, in either order per axis).
    bool isBoxVisible(const Vec3& corner, const Vec3& opposite) const;

    const std::array<Plane, planeCount>& getPlanes() const { return planes; }

private:
    bool isBoxVisible(const double xs[2], const double ys[2], const double zs[2]) const;

    std::array<Plane, planeCount> planes{};
};
