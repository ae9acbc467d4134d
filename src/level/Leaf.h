#pragma once

#include "level/LevelFormat.h"

#include <cstdint>

// One BSP leaf (48 bytes in the file). Boxes are held after the Z-up to Y-up conversion,
// corner by corner and not re-sorted: mins[2] is the negated file y-minimum, so it is
// greater than or equal to maxs[2].
class Leaf {
public:
    static constexpr int recordSize = LevelFormat::leafRecordSize; // bytes in the file

    Leaf() = default;
    explicit Leaf(const unsigned char* record); // reads one record of recordSize bytes
    virtual ~Leaf() = default;
    Leaf(const Leaf&) = default;
    Leaf& operator=(const Leaf&) = default;

    int32_t cluster = 0; // visibility cluster; negative outside the playable space
    int32_t area = 0;
    int32_t mins[3] = {0, 0, 0};
    int32_t maxs[3] = {0, 0, 0};
    int32_t firstLeafFace = 0;
    int32_t leafFaceCount = 0;
    int32_t firstLeafBrush = 0;
    int32_t leafBrushCount = 0;
};
