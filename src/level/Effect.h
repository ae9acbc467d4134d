#pragma once

#include "level/LevelFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>

// One record of the effects lump (72 bytes in the file): a fog volume. Its material gives the
// fog's colour and depth; its brush bounds it; its visible side, counted from the brush's first
// side, is the one that shows the fog's surface (-1 for none).
class Effect {
public:
    static constexpr int recordSize = LevelFormat::effectRecordSize; // bytes in the file
    // What a level may make the viewer spend on fog: real levels have a few volumes of a few
    // sides each, and the renderer tests every fog plane against what it draws.
    static constexpr std::size_t maxFogVolumes = 1024;
    static constexpr int32_t maxSides = 64;

    Effect() = default;
    explicit Effect(const unsigned char* record); // reads one record of recordSize bytes

    std::string material;
    int32_t brush = -1;       // index into brushes; -1 once a bad record is dropped
    int32_t visibleSide = -1;
};
