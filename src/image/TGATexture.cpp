#include "image/TGATexture.h"

#include "image/TGAImage.h"

#include <algorithm>
#include <fstream>
#include <iostream>

namespace {
// No decodable file needs more bytes than this: the largest ID field and palette, then
// every pixel in a one-pixel run packet. Reading stops there, whatever the file's size.
constexpr uint64_t maxUsefulFileSize = TGAImage::headerSize + 255 + 65535 * 4 + TGAImage::maxPixels * 5;
} // namespace

TGATexture::TGATexture(const char* prefix, const char* name) : path(std::string(prefix) + name + ".tga")
{
    std::cerr << path << std::endl;
    load();
}

void TGATexture::load()
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return;
    const std::streamoff fileSize = file.tellg();
    if (fileSize < 0)
        return;
    std::vector<unsigned char> bytes(std::min<uint64_t>(uint64_t(fileSize), maxUsefulFileSize));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    bytes.resize(std::size_t(file.gcount()));

    std::copy_n(bytes.begin(), std::min(bytes.size(), header.size()), header.begin());
    TGAImage image = TGAImage::decode(bytes.data(), bytes.size());
    if (!image.decoded()) {
        std::cerr << path << ": " << image.error << std::endl;
        return;
    }
    width = int32_t(image.width);
    height = int32_t(image.height);
    bitsPerPixel = int32_t(image.bitsPerPixel);
    format = bitsPerPixel == 24 ? formatRGB : formatRGBA;
    data = std::move(image.pixels);
    loaded = true;
}
