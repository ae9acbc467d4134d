#include "image/PNGWriter.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

// Where libpng's callbacks leave the reason for a failure; plain C data, since libpng leaves
// its frames by longjmp.
struct Output {
    std::FILE* file;
    char reason[256];
};

void keepReason(Output& output, const char* reason)
{
    if (output.reason[0] == '\0')
        std::snprintf(output.reason, sizeof output.reason, "%s", reason);
}

void onError(png_structp png, png_const_charp message)
{
    keepReason(*static_cast<Output*>(png_get_error_ptr(png)), message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {} // a warning does not stop the write, and the file is still whole

// The system's reason (a full disk, say) instead of libpng's "Write Error".
void writeBytes(png_structp png, png_bytep data, std::size_t length)
{
    Output& output = *static_cast<Output*>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, length, output.file) != length) {
        keepReason(output, std::strerror(errno));
        png_error(png, "write failed");
    }
}

void flushBytes(png_structp png)
{
    Output& output = *static_cast<Output*>(png_get_io_ptr(png));
    if (std::fflush(output.file) != 0) {
        keepReason(output, std::strerror(errno));
        png_error(png, "write failed");
    }
}

// Only C objects live in this frame: on an error libpng longjmps back to the setjmp here,
// which must not skip a destructor.
bool encode(Output& output, int width, int height, const unsigned char* rgb)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &output, onError, onWarning);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        keepReason(output, "not enough memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &output, writeBytes, flushBytes);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = 0; row < height; ++row)
        png_write_row(png, rgb + std::size_t(row) * std::size_t(width) * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// A new file beside `path`, hidden, named after it and this process. Created with open()'s
// 0666 so the umask decides the picture's permissions as for any other file.
int createTemporary(const std::string& path, std::string& temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = PNGWriter::temporaryPath(path, attempt);
        const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

[[noreturn]] void fail(const std::string& path, const std::string& reason)
{
    throw PNGWriteError(path + ": cannot write the picture: " + reason);
}

} // namespace

std::string PNGWriter::temporaryPath(const std::string& path, int attempt)
{
    const std::filesystem::path target(path);
    const std::string name = "." + target.filename().string() + "." + std::to_string(getpid()) + "."
                           + std::to_string(attempt) + ".tmp";
    return (target.parent_path() / name).string();
}

void PNGWriter::write(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb)
{
    if (width <= 0 || height <= 0 || rgb.size() != std::size_t(width) * std::size_t(height) * 3)
        fail(path, std::to_string(rgb.size()) + " bytes are not " + std::to_string(width) + " x "
                       + std::to_string(height) + " RGB pixels");
    std::string temporary;
    const int descriptor = createTemporary(path, temporary);
    if (descriptor < 0)
        fail(path, std::strerror(errno));
    Output output{fdopen(descriptor, "wb"), {}};
    if (output.file == nullptr) {
        const int error = errno;
        close(descriptor);
        std::remove(temporary.c_str());
        fail(path, std::strerror(error));
    }
    const bool encoded = encode(output, width, height, rgb.data());
    const bool closed = std::fclose(output.file) == 0;
    if (encoded && !closed)
        keepReason(output, std::strerror(errno));
    if (encoded && closed && std::rename(temporary.c_str(), path.c_str()) == 0)
        return;
    if (output.reason[0] == '\0')
        keepReason(output, std::strerror(errno));
    std::remove(temporary.c_str());
    fail(path, output.reason);
}
