#include "level/Plane.h"

#include "level/LevelBytes.h"

Plane::Plane(const unsigned char* record) : distance(LevelBytes::readFloat(record + 12))
{
    float yUp[3];
    LevelBytes::readFloatsYUp(record, yUp);
    normal = Vec3(yUp[0], yUp[1], yUp[2]);
}
