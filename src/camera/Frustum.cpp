#include "camera/Frustum.h"

#include "level/Leaf.h"
#include "math/Vec3.h"

#include <algorithm>
#include <cmath>

void Frustum::extractPlanes(const float projection[16], const float modelview[16])
{
    // clip = P * M, column-major, accumulated in double precision.
    double clip[16];
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            clip[4 * column + row] = double(modelview[4 * column]) * projection[row]
                + double(modelview[4 * column + 1]) * projection[4 + row]
                + double(modelview[4 * column + 2]) * projection[8 + row]
                + double(modelview[4 * column + 3]) * projection[12 + row];
        }
    }

    // Each plane is the fourth row of the clip matrix plus or minus one of the other rows.
    const auto combine = [&clip](int row, double sign) {
        return Plane{clip[3] + sign * clip[row], clip[7] + sign * clip[4 + row],
                     clip[11] + sign * clip[8 + row], clip[15] + sign * clip[12 + row]};
    };
    planes[rightPlane] = combine(0, -1.0);
    planes[leftPlane] = combine(0, 1.0);
    planes[bottomPlane] = combine(1, 1.0);
    planes[topPlane] = combine(1, -1.0);
    planes[farPlane] = combine(2, -1.0);
    planes[nearPlane] = combine(2, 1.0);

    for (Plane& plane : planes) {
        const double normalLength = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        for (double& component : plane)
            component /= normalLength;
    }
}

bool Frustum::isLeafVisible(const Leaf& leaf) const
{
    // The stored corners are not sorted per axis (the minimum corner has the larger Z after
    // the axis conversion), so each axis offers two values.
    const double xs[2] = {float(leaf.mins[0]), float(leaf.maxs[0])};
    const double ys[2] = {float(leaf.mins[1]), float(leaf.maxs[1])};
    const double zs[2] = {float(leaf.mins[2]), float(leaf.maxs[2])};
    return isBoxVisible(xs, ys, zs);
}

bool Frustum::isBoxVisible(const Vec3& corner, const Vec3& opposite) const
{
    const double xs[2] = {corner.getX(), opposite.getX()};
    const double ys[2] = {corner.getY(), opposite.getY()};
    const double zs[2] = {corner.getZ(), opposite.getZ()};
    return isBoxVisible(xs, ys, zs);
}

bool Frustum::isBoxVisible(const double xs[2], const double ys[2], const double zs[2]) const
{
    for (const Plane& plane : planes) {
        // Of the eight corners only the one that maximises each term can pass first: rounded
        // products and sums are monotonic, so its value is at least that of any other corner,
        // and "some corner is above 0" is exactly "this corner is above 0".
        const double x = plane[0] >= 0.0 ? std::max(xs[0], xs[1]) : std::min(xs[0], xs[1]);
        const double y = plane[1] >= 0.0 ? std::max(ys[0], ys[1]) : std::min(ys[0], ys[1]);
        const double z = plane[2] >= 0.0 ? std::max(zs[0], zs[1]) : std::min(zs[0], zs[1]);
        const double value = plane[0] * x + plane[1] * y + plane[2] * z + plane[3];
        if (!(value > 0.0))
            return false;
    }
    return true;
}
