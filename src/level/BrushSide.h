#pragma once

#include "level/LevelFormat.h"

#include <cstdint>

// One side of a brush (8 bytes in the file). Held for completeness; the viewer draws no brushes.
class BrushSide {
public:
    static constexpr int recordSize = LevelFormat::brushSideRecordSize; // bytes in the file

    BrushSide() = default;
    explicit BrushSide(const unsigned char* record); // reads one record of recordSize bytes
    virtual ~BrushSide() = default;
    BrushSide(const BrushSide&) = default;
    BrushSide& operator=(const BrushSide&) = default;

    int32_t plane = 0; // index into planes
    int32_t texture = 0;
};
