#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The potentially-visible-set bits: one vector of bytesPerCluster bytes per cluster, in
// cluster order. Bit b of cluster a's vector is bit (b & 7) of byte a * bytesPerCluster + (b >> 3).
class VisData {
public:
    static constexpr int headerSize = 8; // clusterCount, bytesPerCluster

    // Reads the header and clusterCount * bytesPerCluster bytes of bits from a lump of
    // `available` bytes. The loader validates first; a header that does not fit the lump
    // still raises std::length_error rather than reading past it.
    VisData(const unsigned char* record, std::size_t available);
    virtual ~VisData() = default;
    VisData(const VisData&) = default;
    VisData& operator=(const VisData&) = default;

    int32_t clusterCount = 0;
    int32_t bytesPerCluster = 0;
    std::vector<unsigned char> bits;
};
