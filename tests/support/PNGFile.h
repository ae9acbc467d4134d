#pragma once

#include <string>
#include <vector>

// Reads a PNG back for tests that check what the viewer wrote, through libpng's own decoder
// (not the writer under test).
namespace testsupport {

struct PNGFile {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // rows from the top; empty when the file is not a readable PNG
    std::string error;              // libpng's reason when it is not

    static PNGFile read(const std::string& path);
    // One pixel's channels, x from the left and y from the top.
    const unsigned char* at(int x, int y) const
    {
        return rgb.data() + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
    }
};

} // namespace testsupport
