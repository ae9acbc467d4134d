#include "image/JPEGTexture.h"

#include <cstdio>
#include <iostream>
#include <memory>

#include <jpeglib.h>

namespace {
constexpr uint64_t maxPixels = uint64_t(1) << 26;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Owns the decompressor; errors inside libjpeg never come back here, they end the process.
class Decompressor {
public:
    Decompressor()
    {
        state.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&state);
    }
    ~Decompressor() { jpeg_destroy_decompress(&state); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct state{};

private:
    jpeg_error_mgr errors{};
};
} // namespace

JPEGTexture::JPEGTexture(const char* prefix, const char* name) : path(std::string(prefix) + name + ".jpg")
{
    std::cerr << path << std::endl;
    Decompressor decompressor;
    const File file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return;
    jpeg_decompress_struct& jpeg = decompressor.state;
    jpeg_stdio_src(&jpeg, file.get());
    jpeg_read_header(&jpeg, TRUE);

    width = jpeg.image_width;
    height = jpeg.image_height;
    // One grey byte per pixel would not match any upload format; libjpeg expands it.
    if (jpeg.num_components == 1)
        jpeg.out_color_space = JCS_RGB;
    jpeg_calc_output_dimensions(&jpeg);
    const int components = jpeg.output_components;
    if (components != 3 && components != 4) {
        std::cerr << path << ": unsupported JPEG with " << components << " colour components, expected 1, 3 or 4"
                  << std::endl;
        return;
    }
    if (uint64_t(width) * height > maxPixels) {
        std::cerr << path << ": image " << width << "x" << height << " has more than " << maxPixels << " pixels"
                  << std::endl;
        return;
    }
    format = components == 3 ? formatRGB : formatRGBA;

    const std::size_t rowSize = std::size_t(width) * components;
    data.resize(rowSize * height);
    jpeg_start_decompress(&jpeg);
    while (jpeg.output_scanline < jpeg.output_height) {
        JSAMPROW row = data.data() + std::size_t(jpeg.output_scanline) * rowSize;
        jpeg_read_scanlines(&jpeg, &row, 1);
    }
    jpeg_finish_decompress(&jpeg);
    loaded = true;
}
