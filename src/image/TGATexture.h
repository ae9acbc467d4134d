#pragma once

#include "image/Texture.h"

#include <array>
#include <string>
#include <vector>

// Reads prefix + name + ".tga" in its constructor: uncompressed or run-length encoded
// true colour at 24 or 32 bits. Rows are stored bottom-up whatever the file's origin,
// which is why the level flips t for every face that uses a TGA image.
// A missing file leaves it unloaded quietly; a file it cannot take says why on std::cerr.
class TGATexture : public Texture {
public:
    TGATexture(const char* prefix, const char* name);
    ~TGATexture() override = default;
    TGATexture(const TGATexture&) = delete;
    TGATexture& operator=(const TGATexture&) = delete;

    uint32_t getWidth() const override { return uint32_t(width); }
    uint32_t getHeight() const override { return uint32_t(height); }
    bool isLoaded() const override { return loaded; }
    const unsigned char* getData() const override { return data.empty() ? nullptr : data.data(); }
    PixelFormat getFormat() const override { return format; }

    // Drops the pixel block once GL holds a copy; isLoaded and the sizes stay as they were.
    void releasePixels() { data = {}; }

private:
    void load();

    std::string path;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    bool loaded = false;
    std::vector<unsigned char> data;
    std::array<unsigned char, 18> header{}; // as read from the file
    PixelFormat format = formatRGBA;
};
