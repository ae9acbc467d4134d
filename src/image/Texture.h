#pragma once

#include <cstdint>

// The pixel formats a decoded block can have. The values are GL's own (GL_RGB, GL_RGBA), so
// the renderer hands a format to GL unchanged and this layer needs no GL header.
enum PixelFormat : uint32_t {
    formatRGB = 0x1907,  // 3 bytes per pixel: R, G, B
    formatRGBA = 0x1908, // 4 bytes per pixel: R, G, B, A
};

// An image read from disk, held as a tightly packed block of 8-bit pixels that the mipmap
// builder takes unchanged, with the format doubling as internal format.
// Width, height, data and format mean something only while isLoaded() is true.
class Texture {
public:
    virtual ~Texture() = default;

    virtual uint32_t getWidth() const = 0;
    virtual uint32_t getHeight() const = 0;
    virtual bool isLoaded() const = 0;
    virtual const unsigned char* getData() const = 0; // null once the pixels are released
    virtual PixelFormat getFormat() const = 0;

protected:
    Texture() = default;
    Texture(const Texture&) = default;
    Texture& operator=(const Texture&) = default;
};
