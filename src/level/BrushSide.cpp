#include "level/BrushSide.h"

#include "level/LevelBytes.h"

BrushSide::BrushSide(const unsigned char* record)
    : plane(LevelBytes::readInt32(record)), texture(LevelBytes::readInt32(record + 4))
{
}
