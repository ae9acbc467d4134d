#include "level/Leaf.h"

#include "level/LevelBytes.h"

using namespace LevelBytes;

Leaf::Leaf(const unsigned char* record)
    : cluster(readInt32(record)),
      area(readInt32(record + 4)),
      firstLeafFace(readInt32(record + 32)),
      leafFaceCount(readInt32(record + 36)),
      firstLeafBrush(readInt32(record + 40)),
      leafBrushCount(readInt32(record + 44))
{
    readIntsYUp(record + 8, mins);
    readIntsYUp(record + 20, maxs);
}
