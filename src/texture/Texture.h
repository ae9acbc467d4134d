#pragma once

#include <GL/glew.h>

#include <cstdint>

// An image read from disk, held as a tightly packed block of 8-bit pixels that
// gluBuild2DMipmaps takes unchanged, with the format doubling as internal format.
// Width, height, data and format mean something only while isLoaded() is true.
class Texture {
public:
    virtual ~Texture() = default;

    virtual uint32_t getWidth() const = 0;
    virtual uint32_t getHeight() const = 0;
    virtual bool isLoaded() const = 0;
    virtual const unsigned char* getData() const = 0; // null once the pixels are released
    virtual GLenum getFormat() const = 0;             // GL_RGB or GL_RGBA

protected:
    Texture() = default;
    Texture(const Texture&) = default;
    Texture& operator=(const Texture&) = default;
};
