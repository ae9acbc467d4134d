#include "image/JPEGImage.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE without including it

#include <jpeglib.h>

namespace {

// libjpeg's error_exit must not return. This one keeps the formatted message and jumps back
// into decompress(); the manager comes first so that libjpeg's pointer to it is one to the whole.
struct ErrorExit {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    std::string* warnings; // where printed lines go instead of stderr; null: stderr
};

[[noreturn]] void jumpBack(j_common_ptr state)
{
    ErrorExit* errors = reinterpret_cast<ErrorExit*>(state->err);
    (*errors->manager.format_message)(state, errors->message);
    std::longjmp(errors->jump, 1);
}

// libjpeg's own output_message, which prints "%s\n" to stderr, into the caller's text.
void keepWarning(j_common_ptr state)
{
    ErrorExit* errors = reinterpret_cast<ErrorExit*>(state->err);
    char line[JMSG_LENGTH_MAX];
    (*errors->manager.format_message)(state, line);
    try {
        errors->warnings->append(line).push_back('\n');
    } catch (...) { // nothing may leave through libjpeg's frames; a warning lost is the lesser harm
    }
}

enum class Outcome { decoded, libraryError, unsupportedComponents, tooManyPixels };

// Every libjpeg call that may fail is made in this frame, and it holds no object with a
// destructor: longjmp back to it skips destructors. What it fills lives in the caller's frame.
// The largest n/8 scale whose output fits `maxSide` on both sides; 1/8 when none does.
void chooseScale(jpeg_decompress_struct& state, uint32_t maxSide)
{
    state.scale_denom = 8;
    for (unsigned n = 8; n >= 1; --n) {
        state.scale_num = n;
        jpeg_calc_output_dimensions(&state);
        if (maxSide == JPEGImage::anySide || (state.output_width <= maxSide && state.output_height <= maxSide))
            return;
    }
}

Outcome decompress(jpeg_decompress_struct& state, ErrorExit& errors, const unsigned char* bytes, std::size_t size,
    uint64_t pixelLimit, uint32_t maxSide, JPEGImage& image)
{
    if (setjmp(errors.jump) != 0)
        return Outcome::libraryError;
    jpeg_create_decompress(&state);
    jpeg_mem_src(&state, bytes, size);
    jpeg_read_header(&state, TRUE);
    // One grey byte per pixel would match no upload format; libjpeg expands it.
    if (state.num_components == 1)
        state.out_color_space = JCS_RGB;
    image.storedWidth = state.image_width;
    image.storedHeight = state.image_height;
    chooseScale(state, maxSide);
    image.width = state.output_width;
    image.height = state.output_height;
    if (state.output_components != 3 && state.output_components != 4)
        return Outcome::unsupportedComponents;
    if (uint64_t(image.width) * image.height > pixelLimit)
        return Outcome::tooManyPixels;

    image.format = state.output_components == 3 ? formatRGB : formatRGBA;
    const std::size_t rowSize = std::size_t(image.width) * std::size_t(state.output_components);
    image.pixels.reserve(std::size_t(image.width) * image.height * 4); // room for the opaque alpha an upload may add
    image.pixels.resize(rowSize * image.height);
    jpeg_start_decompress(&state);
    while (state.output_scanline < state.output_height) {
        JSAMPROW row = image.pixels.data() + std::size_t(state.output_scanline) * rowSize;
        jpeg_read_scanlines(&state, &row, 1);
    }
    jpeg_finish_decompress(&state);
    return Outcome::decoded;
}

} // namespace

JPEGImage JPEGImage::decode(const unsigned char* bytes, std::size_t size, uint64_t pixelLimit, uint32_t maxSide,
                            std::string* warnings)
{
    JPEGImage image;
    jpeg_decompress_struct state{};
    ErrorExit errors{};
    state.err = jpeg_std_error(&errors.manager); // warnings keep libjpeg's own output
    errors.manager.error_exit = jumpBack;
    errors.warnings = warnings;
    if (warnings != nullptr)
        errors.manager.output_message = keepWarning;
    const Outcome outcome = decompress(state, errors, bytes, size, pixelLimit, maxSide, image);
    const int components = state.output_components;
    jpeg_destroy_decompress(&state);
    if (outcome == Outcome::decoded)
        return image;

    std::string error;
    switch (outcome) {
    case Outcome::libraryError:
        error = errors.message;
        break;
    case Outcome::unsupportedComponents:
        error = "unsupported JPEG with " + std::to_string(components) + " colour components, expected 1, 3 or 4";
        break;
    case Outcome::tooManyPixels:
        error = "image " + std::to_string(image.width) + "x" + std::to_string(image.height) + " has more than " + std::to_string(pixelLimit) + " pixels";
        break;
    case Outcome::decoded:
        break;
    }
    image = JPEGImage();
    image.error = error;
    return image;
}
