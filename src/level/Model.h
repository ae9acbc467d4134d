#pragma once

#include "level/LevelFormat.h"

#include <cstdint>

// One model (40 bytes in the file): a box held Y-up corner by corner, and its face and
// brush ranges.
class Model {
public:
    static constexpr int recordSize = LevelFormat::modelRecordSize; // bytes in the file

    Model() = default;
    explicit Model(const unsigned char* record); // reads one record of recordSize bytes
    virtual ~Model() = default;
    Model(const Model&) = default;
    Model& operator=(const Model&) = default;

    float mins[3] = {0.0f, 0.0f, 0.0f};
    float maxs[3] = {0.0f, 0.0f, 0.0f};
    int32_t firstFace = 0;
    int32_t faceCount = 0;
    int32_t firstBrush = 0;
    int32_t brushCount = 0;
};
