#pragma once

#include "level/LevelFormat.h"

#include <cstdint>

// One brush (12 bytes in the file). Held for completeness; the viewer draws no brushes.
class Brush {
public:
    static constexpr int recordSize = LevelFormat::brushRecordSize; // bytes in the file

    Brush() = default;
    explicit Brush(const unsigned char* record); // reads one record of recordSize bytes
    virtual ~Brush() = default;
    Brush(const Brush&) = default;
    Brush& operator=(const Brush&) = default;

    int32_t firstSide = 0; // index into brush sides
    int32_t sideCount = 0;
    int32_t texture = 0;   // index into textures
};
