#include "level/Brush.h"

#include "level/LevelBytes.h"

using namespace LevelBytes;

Brush::Brush(const unsigned char* record)
    : firstSide(readInt32(record)), sideCount(readInt32(record + 4)), texture(readInt32(record + 8))
{
}
