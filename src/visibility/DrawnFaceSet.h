#pragma once

#include <cstdint>
#include <vector>

// The per-frame set of faces already gathered. It answers like an ordered set of face
// indices but stamps a per-face array instead, so inserting is O(1), emptying is O(1) and a
// frame allocates nothing once the array is sized to the level's faces.
class DrawnFaceSet {
public:
    void resize(std::size_t faceCount); // once, at load
    bool insert(int face);              // false if already present
    bool contains(int face) const { return stamps[std::size_t(face)] == currentStamp; }
    void clear();

private:
    std::vector<uint32_t> stamps;
    uint32_t currentStamp = 1;
};
