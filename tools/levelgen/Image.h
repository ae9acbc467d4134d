#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An 8-bit RGB or RGBA picture held top row first, as it is meant to be seen.
struct Image {
    int width = 0;
    int height = 0;
    int channels = 3; // 3 = RGB, 4 = RGBA
    std::vector<uint8_t> pixels;

    Image() = default;
    Image(int width, int height, int channels);
    uint8_t* pixel(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
    const uint8_t* pixel(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
};

// Encodes an RGB image with libjpeg. Throws std::runtime_error (naming the path) on failure.
std::vector<uint8_t> encodeJpeg(const Image& image, int quality = 90);
void writeJpeg(const Image& image, const std::string& path, int quality = 90);

// Writes an uncompressed true-colour TGA: rows bottom-up with the origin at the lower left
// (descriptor 0x00 for 24-bit, 0x08 for 32-bit with alpha), pixels as B, G, R(, A).
void writeTga(const Image& image, const std::string& path);

// The bytes writeTga would write, for tests and for writeTga itself.
std::vector<uint8_t> encodeTga(const Image& image);

// Writes bytes to a file. Throws std::runtime_error naming the path on failure.
void writeBytes(const std::vector<uint8_t>& bytes, const std::string& path);
