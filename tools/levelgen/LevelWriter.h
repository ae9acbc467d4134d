#pragma once

#include "Level.h"

#include <cstdint>
#include <string>
#include <vector>

// Lays a level out as the bytes of an IBSP version 46 file: header, 17-entry directory,
// then every lump in index order, each starting on a 4-byte boundary. Every number is
// written little-endian one byte at a time, whatever the host's byte order.
class ByteWriter {
public:
    void putInt(int32_t value);
    void putFloat(float value);
    void putVector(const Vector3& v);
    void putBytes(const uint8_t* data, size_t count);
    void putFixedString(const std::string& text, size_t size); // NUL-padded, truncated to size - 1
    void padTo(size_t alignment);
    void patchInt(size_t offset, int32_t value);
    size_t size() const { return bytes.size(); }
    std::vector<uint8_t> take() { return std::move(bytes); }

private:
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> serializeLevel(const Level& level);
void writeLevelFile(const Level& level, const std::string& path); // throws std::runtime_error
