#include "Image.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <jpeglib.h>

Image::Image(int width, int height, int channels)
    : width(width), height(height), channels(channels),
      pixels(static_cast<size_t>(width) * height * channels, 0)
{
}

namespace {

// Owns a compressor and its memory destination so that both are freed on every way out.
struct Compressor {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    Compressor()
    {
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
        jpeg_mem_dest(&info, &buffer, &size);
    }
    ~Compressor()
    {
        jpeg_destroy_compress(&info);
        std::free(buffer);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
};

} // namespace

std::vector<uint8_t> encodeJpeg(const Image& image, int quality)
{
    if (image.channels != 3)
        throw std::runtime_error("JPEG images must be RGB");
    Compressor compressor;
    jpeg_compress_struct& info = compressor.info;
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        // libjpeg's row pointer is not const-qualified; it only reads the row.
        JSAMPROW row = const_cast<JSAMPROW>(image.pixel(0, static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return std::vector<uint8_t>(compressor.buffer, compressor.buffer + compressor.size);
}

void writeJpeg(const Image& image, const std::string& path, int quality)
{
    if (image.channels != 3)
        throw std::runtime_error(path + ": JPEG images must be RGB");
    writeBytes(encodeJpeg(image, quality), path);
}

std::vector<uint8_t> encodeTga(const Image& image)
{
    const bool alpha = image.channels == 4;
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2; // uncompressed true colour
    bytes[12] = static_cast<uint8_t>(image.width & 0xff);
    bytes[13] = static_cast<uint8_t>(image.width >> 8);
    bytes[14] = static_cast<uint8_t>(image.height & 0xff);
    bytes[15] = static_cast<uint8_t>(image.height >> 8);
    bytes[16] = alpha ? 32 : 24;
    bytes[17] = alpha ? 0x08 : 0x00; // alpha bits; origin at the lower left
    bytes.reserve(bytes.size() + image.pixels.size());
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.pixel(x, y);
            bytes.push_back(p[2]);
            bytes.push_back(p[1]);
            bytes.push_back(p[0]);
            if (alpha)
                bytes.push_back(p[3]);
        }
    }
    return bytes;
}

void writeTga(const Image& image, const std::string& path)
{
    writeBytes(encodeTga(image), path);
}

void writeBytes(const std::vector<uint8_t>& bytes, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}
