#include "level/VisData.h"

#include "level/LevelBytes.h"

#include <stdexcept>

VisData::VisData(const unsigned char* record, std::size_t available)
{
    if (available < std::size_t(headerSize))
        throw std::length_error("visibility lump shorter than its header");
    clusterCount = LevelBytes::readInt32(record);
    bytesPerCluster = LevelBytes::readInt32(record + 4);
    const int64_t size = int64_t(clusterCount) * int64_t(bytesPerCluster);
    if (clusterCount < 0 || bytesPerCluster < 0 || uint64_t(size) > available - headerSize)
        throw std::length_error("visibility bits do not fit their lump");
    bits.assign(record + headerSize, record + headerSize + size);
}
