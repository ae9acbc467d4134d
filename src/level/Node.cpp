#include "level/Node.h"

#include "level/LevelBytes.h"

using namespace LevelBytes;

Node::Node(const unsigned char* record) : plane(readInt32(record))
{
    readInts(record + 4, children, 2);
    readIntsYUp(record + 12, mins);
    readIntsYUp(record + 24, maxs);
}
