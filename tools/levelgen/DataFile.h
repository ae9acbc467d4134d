#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One file of a data set, held in memory so that it can go loose into a folder or into an
// archive alike: its path below the data directory (forward slashes, no leading slash)
// and its bytes.
struct DataFile {
    std::string path;
    std::vector<uint8_t> bytes;
};
