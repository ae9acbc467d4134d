#include "level/Model.h"

#include "level/LevelBytes.h"

using namespace LevelBytes;

Model::Model(const unsigned char* record)
    : firstFace(readInt32(record + 24)),
      faceCount(readInt32(record + 28)),
      firstBrush(readInt32(record + 32)),
      brushCount(readInt32(record + 36))
{
    readFloatsYUp(record, mins);
    readFloatsYUp(record + 12, maxs);
}
