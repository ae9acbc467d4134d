#include "math/Point.h"

void Point::subtract(const Vec3& v)
{
    x -= v.getX();
    y -= v.getY();
    z -= v.getZ();
}
