#pragma once

#include "level/LevelFormat.h"

#include <cstdint>

// One BSP tree node (36 bytes in the file). A child >= 0 is a node index; a negative child
// c names leaf -(c + 1). The box is held Y-up, corner by corner, so mins[2] >= maxs[2].
class Node {
public:
    static constexpr int recordSize = LevelFormat::nodeRecordSize; // bytes in the file

    Node() = default;
    explicit Node(const unsigned char* record); // reads one record of recordSize bytes
    virtual ~Node() = default;
    Node(const Node&) = default;
    Node& operator=(const Node&) = default;

    int32_t plane = 0;
    int32_t children[2] = {0, 0}; // front, back
    int32_t mins[3] = {0, 0, 0};
    int32_t maxs[3] = {0, 0, 0};
};
