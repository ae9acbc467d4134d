#pragma once

#include "image/Texture.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A JPEG decoded from memory into the layout GL takes: R, G, B (or four components as stored),
// top row first as decoded. Greyscale is expanded to RGB. Decoding never throws and never ends
// the process: a stream libjpeg cannot read leaves libjpeg's own message in `error`. Warnings
// about recoverable damage (a stream cut short is filled in, for one) go to stderr the way
// libjpeg prints them, or are kept for the caller to print later, and the image decodes.
struct JPEGImage {
    static constexpr uint64_t maxPixels = uint64_t(1) << 26;
    static constexpr uint32_t anySide = 0;

    uint32_t width = 0;  // as decoded
    uint32_t height = 0;
    uint32_t storedWidth = 0; // as the file declares it
    uint32_t storedHeight = 0;
    PixelFormat format = formatRGB;
    std::vector<unsigned char> pixels; // width * height * bytesPerPixel() bytes
    std::string error;                 // empty when decoded

    bool decoded() const { return error.empty(); }
    std::size_t bytesPerPixel() const { return format == formatRGBA ? 4 : 3; }

    // Images of more than `pixelLimit` pixels (as decoded) are refused before any pixel memory is
    // taken; the fuzzer lowers the limit so that a few header bytes cannot make it decode 64
    // megapixels. Given `maxSide`, an image with a longer side is decoded at the largest scale of
    // n/8 (n = 1..8) that brings both sides within it, or at 1/8 when none does: the decoder's
    // own reduced-size output, never a full-size decode shrunk afterwards. Given `warnings`, the
    // lines libjpeg would print are appended to it instead, each with its newline: a decoder on
    // another thread must not print out of turn.
    static JPEGImage decode(const unsigned char* bytes, std::size_t size, uint64_t pixelLimit = maxPixels,
                            uint32_t maxSide = anySide, std::string* warnings = nullptr);
};
