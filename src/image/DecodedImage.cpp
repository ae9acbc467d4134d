#include "image/DecodedImage.h"

#include "image/JPEGImage.h"
#include "image/RowOrder.h"
#include "image/TGAImage.h"

#include <algorithm>
#include <cctype>

DecodedImage::DecodedImage(const std::vector<unsigned char>& bytes, FileType type, uint32_t maxSide,
                           std::string* warnings)
{
    if (type == FileType::jpeg) {
        JPEGImage image = JPEGImage::decode(bytes.data(), bytes.size(), JPEGImage::maxPixels, maxSide, warnings);
        error = std::move(image.error);
        fileWidth = image.storedWidth;
        fileHeight = image.storedHeight;
        width = image.width;
        height = image.height;
        format = image.format;
        pixels = std::move(image.pixels);
        halveUntilWithin(maxSide);
        return;
    }
    TGAImage image = TGAImage::decode(bytes.data(), bytes.size());
    error = std::move(image.error);
    if (!error.empty())
        return;
    fileWidth = width = image.width;
    fileHeight = height = image.height;
    format = image.bitsPerPixel == 24 ? formatRGB : formatRGBA;
    pixels = std::move(image.pixels);
    // The decoder keeps rows bottom-up; turned top-down they match a JPEG's and the level's
    // texture coordinates as stored.
    RowOrder::reverse(pixels, std::size_t(width) * image.bytesPerPixel(), height);
    halveUntilWithin(maxSide);
}

void DecodedImage::addOpaqueAlpha()
{
    if (format != formatRGB || pixels.empty())
        return;
    const std::size_t texels = std::size_t(width) * height;
    // Grown in place from the last texel back: a texel's four bytes never land on a texel not
    // yet read, and no second buffer is made and faulted in.
    pixels.resize(texels * 4);
    unsigned char* const bytes = pixels.data();
    for (std::size_t t = texels; t-- > 0;) {
        const unsigned char red = bytes[t * 3], green = bytes[t * 3 + 1], blue = bytes[t * 3 + 2];
        bytes[t * 4] = red;
        bytes[t * 4 + 1] = green;
        bytes[t * 4 + 2] = blue;
        bytes[t * 4 + 3] = 255;
    }
    format = formatRGBA;
}

// Each halving averages 2 x 2 texels (a last odd row or column is dropped; a side of 1 stays 1).
void DecodedImage::halveUntilWithin(uint32_t maxSide)
{
    const std::size_t channels = bytesPerPixel();
    while (error.empty() && maxSide != anySide && (width > maxSide || height > maxSide)) {
        const uint32_t newWidth = std::max(width / 2, 1u);
        const uint32_t newHeight = std::max(height / 2, 1u);
        const std::size_t stepX = width > 1 ? 1 : 0;
        const std::size_t stepY = height > 1 ? 1 : 0;
        std::vector<unsigned char> half(std::size_t(newWidth) * newHeight * channels);
        for (std::size_t y = 0; y < newHeight; ++y)
            for (std::size_t x = 0; x < newWidth; ++x) {
                const unsigned char* top = pixels.data() + (2 * y * width + 2 * x) * channels;
                const unsigned char* bottom = top + stepY * width * channels;
                for (std::size_t c = 0; c < channels; ++c) {
                    const unsigned sum = top[c] + top[c + stepX * channels] + bottom[c] + bottom[c + stepX * channels];
                    half[(y * newWidth + x) * channels + c] = static_cast<unsigned char>((sum + 2) / 4);
                }
            }
        pixels = std::move(half);
        width = newWidth;
        height = newHeight;
    }
}

DecodedImage::FileType DecodedImage::typeOf(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension == "tga" ? FileType::tga : FileType::jpeg;
}
