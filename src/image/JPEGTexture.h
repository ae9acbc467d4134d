#pragma once

#include "image/Texture.h"

#include <string>
#include <vector>

// Reads prefix + name + ".jpg" in its constructor through libjpeg's standard error
// manager and stdio source, rows top-down as decoded. A missing file leaves it unloaded;
// a corrupt stream makes libjpeg print its message and end the process with status 1.
// Greyscale images are expanded to RGB so the block always matches the format.
class JPEGTexture : public Texture {
public:
    JPEGTexture(const char* prefix, const char* name);
    ~JPEGTexture() override = default;
    JPEGTexture(const JPEGTexture&) = delete;
    JPEGTexture& operator=(const JPEGTexture&) = delete;

    uint32_t getWidth() const override { return width; }
    uint32_t getHeight() const override { return height; }
    bool isLoaded() const override { return loaded; }
    const unsigned char* getData() const override { return data.empty() ? nullptr : data.data(); }
    PixelFormat getFormat() const override { return format; }

    // Drops the pixel block once GL holds a copy; isLoaded and the sizes stay as they were.
    void releasePixels() { data = {}; }

private:
    std::string path;
    bool loaded = false;
    std::vector<unsigned char> data;
    uint32_t width = 0;
    uint32_t height = 0;
    PixelFormat format = formatRGB;
};
