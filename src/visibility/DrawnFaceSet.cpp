#include "visibility/DrawnFaceSet.h"

#include <algorithm>

void DrawnFaceSet::resize(std::size_t faceCount)
{
    stamps.assign(faceCount, 0);
    currentStamp = 1;
}

bool DrawnFaceSet::insert(int face)
{
    uint32_t& stamp = stamps[std::size_t(face)];
    if (stamp == currentStamp)
        return false;
    stamp = currentStamp;
    return true;
}

void DrawnFaceSet::clear()
{
    if (++currentStamp == 0) { // after 2^32 frames the stamps wrap: start afresh
        std::fill(stamps.begin(), stamps.end(), 0);
        currentStamp = 1;
    }
}
