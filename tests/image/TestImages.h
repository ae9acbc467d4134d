#pragma once

// Images made by the tests themselves: TGA files laid out byte by byte and JPEG files
// encoded with libjpeg.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace testimages {

using Bytes = std::vector<unsigned char>;

constexpr unsigned char topLeft = 0x20; // descriptor bit 5

inline Bytes tgaHeader(unsigned type, unsigned width, unsigned height, unsigned depth,
                       unsigned char descriptor = 0, unsigned char idLength = 0)
{
    Bytes header(18, 0);
    header[0] = idLength;
    header[2] = static_cast<unsigned char>(type);
    header[12] = width & 0xff;
    header[13] = (width >> 8) & 0xff;
    header[14] = height & 0xff;
    header[15] = (height >> 8) & 0xff;
    header[16] = static_cast<unsigned char>(depth);
    header[17] = descriptor;
    return header;
}

inline Bytes operator+(Bytes left, const Bytes& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

// A JPEG file's bytes, encoded in memory; `pixels` is row-major in the order the file is meant
// to hold them.
inline Bytes encodeJpeg(int width, int height, int components, J_COLOR_SPACE space, const Bytes& pixels,
                        int quality = 100, bool progressive = false)
{
    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = JDIMENSION(width);
    compressor.image_height = JDIMENSION(height);
    compressor.input_components = components;
    compressor.in_color_space = space;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&compressor);
    jpeg_start_compress(&compressor, TRUE);
    const std::size_t rowSize = std::size_t(width) * components;
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(pixels.data()) + compressor.next_scanline * rowSize;
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    const Bytes file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

inline void writeJpeg(const std::string& path, int width, int height, int components, J_COLOR_SPACE space,
                      const Bytes& pixels, int quality = 100)
{
    const Bytes file = encodeJpeg(width, height, components, space, pixels, quality);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size())
        throw std::runtime_error("cannot write " + path);
    std::fclose(out);
}

// 64 x 32 RGB: the top 16 rows red, the bottom 16 blue, so row order is visible after
// lossy coding.
inline Bytes redOverBlue(int width = 64, int height = 32)
{
    Bytes pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool top = y < height / 2;
            pixels.insert(pixels.end(), {top ? (unsigned char)255 : (unsigned char)0, 0,
                                         top ? (unsigned char)0 : (unsigned char)255});
        }
    return pixels;
}

inline void writeRedOverBlueJpeg(const std::string& path) { writeJpeg(path, 64, 32, 3, JCS_RGB, redOverBlue()); }

} // namespace testimages
