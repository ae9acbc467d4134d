#include "image/TGAImage.h"

#include "image/RowOrder.h"

#include <algorithm>
#include <cstring>

namespace {
// Header byte offsets.
constexpr std::size_t idLengthAt = 0;
constexpr std::size_t colourMapTypeAt = 1;
constexpr std::size_t imageTypeAt = 2;
constexpr std::size_t colourMapLengthAt = 5;
constexpr std::size_t colourMapEntryBitsAt = 7;
constexpr std::size_t widthAt = 12;
constexpr std::size_t heightAt = 14;
constexpr std::size_t bitsPerPixelAt = 16;
constexpr std::size_t descriptorAt = 17;

constexpr unsigned char topLeftOrigin = 0x20; // descriptor bit 5
constexpr unsigned char runPacket = 0x80;     // packet header bit 7; the low 7 bits are count - 1

enum ImageType : unsigned {
    colourMapped = 1,
    trueColour = 2,
    greyscale = 3,
    runLengthColourMapped = 9,
    runLengthTrueColour = 10,
    runLengthGreyscale = 11,
};

unsigned little16(const unsigned char* at) { return at[0] | (at[1] << 8u); }

std::string imageTypeProblem(unsigned type)
{
    const std::string number = std::to_string(type);
    switch (type) {
    case trueColour:
    case runLengthTrueColour:
        return {};
    case colourMapped:
    case runLengthColourMapped:
        return "colour-mapped images are not supported (image type " + number + ")";
    case greyscale:
    case runLengthGreyscale:
        return "greyscale images are not supported (image type " + number + ")";
    default:
        return "unsupported image type " + number + ", expected 2 or 10";
    }
}

std::string truncated(uint64_t expected, uint64_t got)
{
    return "file truncated, expected " + std::to_string(expected) + " bytes but got " + std::to_string(got);
}

// Appends `repeat` copies of one pixel, doubling the copied stretch each time, so a long run
// costs a few block copies rather than one per pixel.
void repeatPixel(const unsigned char* pixel, std::size_t pixelSize, std::size_t repeat,
                 std::vector<unsigned char>& pixels)
{
    const std::size_t start = pixels.size();
    const std::size_t runBytes = repeat * pixelSize;
    pixels.resize(start + runBytes);
    unsigned char* run = pixels.data() + start;
    std::memcpy(run, pixel, pixelSize);
    for (std::size_t filled = pixelSize; filled < runBytes; filled *= 2)
        std::memcpy(run + filled, run, std::min(filled, runBytes - filled));
}

// Expands packets until `pixelCount` pixels are in `pixels`. A repeat packet longer than the
// pixels left is clipped (some writers pad the last run); a raw packet that long would need
// bytes that belong to no pixel, so it is refused. `pixels` grows with the data, so a header
// that promises more pixels than its packets can hold never reserves memory for them.
std::string unpackRunLength(const unsigned char* bytes, std::size_t size, std::size_t at, std::size_t pixelSize,
                            std::size_t pixelCount, std::vector<unsigned char>& pixels)
{
    std::size_t written = 0;
    while (written < pixelCount) {
        if (at >= size)
            return "run-length data ends after " + std::to_string(written) + " of " + std::to_string(pixelCount)
                   + " pixels";
        const unsigned char packet = bytes[at++];
        const std::size_t count = (packet & 0x7fu) + 1;
        const std::size_t remaining = pixelCount - written;
        if (packet & runPacket) {
            if (size - at < pixelSize)
                return truncated(uint64_t(at) + pixelSize, size);
            const std::size_t repeat = std::min(count, remaining);
            repeatPixel(bytes + at, pixelSize, repeat, pixels);
            at += pixelSize;
            written += repeat;
        } else {
            if (count > remaining)
                return "raw packet of " + std::to_string(count) + " pixels overruns the " + std::to_string(remaining)
                       + " pixels remaining";
            const std::size_t length = count * pixelSize;
            if (size - at < length)
                return truncated(uint64_t(at) + length, size);
            pixels.insert(pixels.end(), bytes + at, bytes + at + length);
            at += length;
            written += count;
        }
    }
    return {};
}

// The most pixels run-length data of `dataSize` bytes can give: every packet holds at most
// 128 pixels and takes at least a header byte and one pixel.
uint64_t mostRunLengthPixels(uint64_t dataSize, std::size_t pixelSize)
{
    return dataSize / (1 + pixelSize) * 128 + 128;
}

// The file stores B, G, R(, A); GL wants R, G, B(, A).
void swapRedAndBlue(std::vector<unsigned char>& pixels, std::size_t pixelSize)
{
    for (std::size_t p = 0; p + 2 < pixels.size(); p += pixelSize)
        std::swap(pixels[p], pixels[p + 2]);
}

} // namespace

TGAImage TGAImage::decode(const unsigned char* bytes, std::size_t size)
{
    TGAImage image;
    if (size < headerSize) {
        image.error = "file too short, expected at least " + std::to_string(headerSize) + " bytes but got "
                      + std::to_string(size);
        return image;
    }
    const unsigned type = bytes[imageTypeAt];
    image.error = imageTypeProblem(type);
    if (!image.decoded())
        return image;

    const unsigned depth = bytes[bitsPerPixelAt];
    if (depth != 24 && depth != 32) {
        image.error = "unsupported pixel depth " + std::to_string(depth) + " bits, expected 24 or 32";
        return image;
    }
    const unsigned width = little16(bytes + widthAt);
    const unsigned height = little16(bytes + heightAt);
    const uint64_t pixelCount = uint64_t(width) * height;
    if (pixelCount == 0) {
        image.error = "image has zero size " + std::to_string(width) + "x" + std::to_string(height);
        return image;
    }
    if (pixelCount > maxPixels) {
        image.error = "image " + std::to_string(width) + "x" + std::to_string(height) + " has more than "
                      + std::to_string(maxPixels) + " pixels";
        return image;
    }

    // A true-colour image may still carry a palette; it is not needed, only skipped.
    uint64_t paletteSize = 0;
    if (bytes[colourMapTypeAt] != 0)
        paletteSize = uint64_t(little16(bytes + colourMapLengthAt)) * ((bytes[colourMapEntryBitsAt] + 7u) / 8u);
    const uint64_t dataStart = headerSize + bytes[idLengthAt] + paletteSize;
    if (dataStart > size) {
        image.error = truncated(dataStart, size);
        return image;
    }

    const std::size_t pixelSize = depth / 8;
    const uint64_t dataSize = pixelCount * pixelSize;
    if (type == trueColour && size - dataStart < dataSize) {
        image.error = truncated(dataStart + dataSize, size);
        return image;
    }

    if (type == trueColour) {
        image.pixels.reserve(std::size_t(pixelCount) * 4); // room for the opaque alpha an upload may add
        image.pixels.assign(bytes + dataStart, bytes + dataStart + dataSize);
    } else {
        image.pixels.reserve(std::min(dataSize, mostRunLengthPixels(size - dataStart, pixelSize) * pixelSize));
        image.error = unpackRunLength(bytes, size, dataStart, pixelSize, pixelCount, image.pixels);
    }
    if (!image.decoded()) {
        image.pixels = {};
        return image;
    }

    swapRedAndBlue(image.pixels, pixelSize);
    // Every image is stored bottom row first, so one texture-coordinate rule fits all TGAs.
    if (bytes[descriptorAt] & topLeftOrigin)
        RowOrder::reverse(image.pixels, width * pixelSize, height);
    image.width = width;
    image.height = height;
    image.bitsPerPixel = depth;
    return image;
}
