#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A true-colour TGA file (uncompressed or run-length encoded, 24 or 32 bits) decoded from
// memory into the layout GL takes: R, G, B(, A) bytes, rows bottom-up whatever the file's
// origin. Decoding never throws, exits or reads outside the given bytes; a file it cannot
// take leaves `error` saying what is wrong, so callers and the fuzzer just ask.
struct TGAImage {
    static constexpr std::size_t headerSize = 18;
    static constexpr uint64_t maxPixels = uint64_t(1) << 26;

    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;         // 24 or 32 once decoded
    std::vector<unsigned char> pixels; // width * height * bitsPerPixel / 8 bytes
    std::string error;                 // empty when decoded

    bool decoded() const { return error.empty(); }
    std::size_t bytesPerPixel() const { return bitsPerPixel / 8; }

    static TGAImage decode(const unsigned char* bytes, std::size_t size);
};
