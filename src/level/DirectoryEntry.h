#pragma once

#include "level/LevelFormat.h"

#include <cstdint>

// Where one lump lies in the level file: byte offset from the file start and byte length.
class DirectoryEntry {
public:
    static constexpr int recordSize = LevelFormat::directoryEntrySize; // bytes in the file

    DirectoryEntry() = default;
    DirectoryEntry(int32_t offset, int32_t length) : offset(offset), length(length) {}
    explicit DirectoryEntry(const unsigned char* record); // offset first, then length
    virtual ~DirectoryEntry() = default;
    DirectoryEntry(const DirectoryEntry&) = default;
    DirectoryEntry& operator=(const DirectoryEntry&) = default;

    int32_t getOffset() const { return offset; }
    int32_t getLength() const { return length; }

    int32_t offset = 0;
    int32_t length = 0;
};
