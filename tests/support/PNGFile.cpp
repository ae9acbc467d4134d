#include "PNGFile.h"

#include <png.h>

namespace testsupport {

PNGFile PNGFile::read(const std::string& path)
{
    PNGFile file;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        file.error = image.message;
        return file;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        file.error = image.message;
        png_image_free(&image);
        return file;
    }
    file.width = int(image.width);
    file.height = int(image.height);
    file.rgb = std::move(rgb);
    return file;
}

} // namespace testsupport
