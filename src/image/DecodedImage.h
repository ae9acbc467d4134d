#pragma once

#include "image/Texture.h"

#include <string>
#include <vector>

// An image decoded from bytes that came from anywhere (a loose file, an archive), top row
// first whatever its file format, so texture coordinates need no flip. Holds the pixels until
// the renderer has uploaded them, like the file readers. Given a longest side, a larger image
// comes out smaller: a JPEG decoded at a reduced scale, then halved (each texel the mean of
// four) until both sides fit.
class DecodedImage : public Texture {
public:
    enum class FileType { jpeg, tga };
    static constexpr uint32_t anySide = 0;

    // Never throws for bad bytes: `isLoaded` is false and `error` says why. Given `warnings`, what
    // the JPEG decoder would print is appended there instead (JPEGImage::decode).
    DecodedImage(const std::vector<unsigned char>& bytes, FileType type, uint32_t maxSide = anySide,
                 std::string* warnings = nullptr);
    DecodedImage() : error("no image") {} // stands for an image that was not found
    static FileType typeOf(const std::string& path); // by extension: .tga is TGA, anything else JPEG

    uint32_t getWidth() const override { return width; }
    uint32_t getHeight() const override { return height; }
    bool isLoaded() const override { return error.empty(); }
    const unsigned char* getData() const override { return pixels.empty() ? nullptr : pixels.data(); }
    PixelFormat getFormat() const override { return format; }

    const std::string& getError() const { return error; }
    void releasePixels() { pixels = {}; }
    // Three-byte texels become four, with an opaque alpha: the picture is the same.
    void addOpaqueAlpha();
    // The size the file declares; larger than getWidth/getHeight when the image was reduced.
    uint32_t storedWidth() const { return fileWidth; }
    uint32_t storedHeight() const { return fileHeight; }
    bool wasReduced() const { return fileWidth != width || fileHeight != height; }

private:
    void halveUntilWithin(uint32_t maxSide);
    std::size_t bytesPerPixel() const { return format == formatRGBA ? 4 : 3; }

    uint32_t fileWidth = 0;
    uint32_t fileHeight = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    PixelFormat format = formatRGB;
    std::vector<unsigned char> pixels;
    std::string error;
};
