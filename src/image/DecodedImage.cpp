#include "image/DecodedImage.h"

#include "image/JPEGImage.h"
#include "image/TGAImage.h"

#include <algorithm>
#include <cctype>

DecodedImage::DecodedImage(const std::vector<unsigned char>& bytes, FileType type)
{
    if (type == FileType::jpeg) {
        JPEGImage image = JPEGImage::decode(bytes.data(), bytes.size());
        error = std::move(image.error);
        width = image.width;
        height = image.height;
        format = image.format;
        pixels = std::move(image.pixels);
        return;
    }
    TGAImage image = TGAImage::decode(bytes.data(), bytes.size());
    error = std::move(image.error);
    if (!error.empty())
        return;
    width = image.width;
    height = image.height;
    format = image.bitsPerPixel == 24 ? formatRGB : formatRGBA;
    pixels = std::move(image.pixels);
    // The decoder keeps rows bottom-up; turned top-down they match a JPEG's and the level's
    // texture coordinates as stored.
    const std::size_t rowBytes = std::size_t(width) * image.bytesPerPixel();
    for (std::size_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(pixels.begin() + std::ptrdiff_t(top * rowBytes),
                         pixels.begin() + std::ptrdiff_t((top + 1) * rowBytes),
                         pixels.begin() + std::ptrdiff_t(bottom * rowBytes));
}

DecodedImage::FileType DecodedImage::typeOf(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension == "tga" ? FileType::tga : FileType::jpeg;
}
