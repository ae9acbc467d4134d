#include "image/JPEGImage.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using testimages::Bytes;

namespace {

// A JPEG of `width` x `height` whose top half is `top` and bottom half `bottom`, encoded in
// memory with libjpeg at full quality.
Bytes encode(int width, int height, int components, J_COLOR_SPACE space, const unsigned char* top,
    const unsigned char* bottom, bool progressive = false)
{
    Bytes pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.insert(pixels.end(), y < height / 2 ? top : bottom, (y < height / 2 ? top : bottom) + components);
    return testimages::encodeJpeg(width, height, components, space, pixels, 100, progressive);
}

const unsigned char red[] = {255, 0, 0};
const unsigned char blue[] = {0, 0, 255};

Bytes redOverBlue(int width = 64, int height = 32) { return encode(width, height, 3, JCS_RGB, red, blue); }

JPEGImage decode(const Bytes& file) { return JPEGImage::decode(file.data(), file.size()); }

// Where a marker (0xff, code) first starts; the file's size when there is none.
std::size_t markerAt(const Bytes& jpeg, unsigned char code)
{
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == code)
            return i;
    ADD_FAILURE() << "no marker 0xff 0x" << std::hex << int(code);
    return jpeg.size();
}

constexpr unsigned char startOfFrame = 0xc0;
constexpr unsigned char startOfScan = 0xda;

Bytes withFrameSize(Bytes jpeg, unsigned width, unsigned height)
{
    const std::size_t frame = markerAt(jpeg, startOfFrame);
    jpeg.at(frame + 5) = (height >> 8) & 0xff;
    jpeg.at(frame + 6) = height & 0xff;
    jpeg.at(frame + 7) = (width >> 8) & 0xff;
    jpeg.at(frame + 8) = width & 0xff;
    return jpeg;
}

Bytes firstBytes(const Bytes& file, std::size_t count) { return Bytes(file.begin(), file.begin() + count); }

} // namespace

TEST(JPEGImage, DecodesTopRowFirstInTheUploadFormat)
{
    struct Case {
        const char* name;
        int components;
        J_COLOR_SPACE space;
        bool progressive;
        unsigned char top[4];
        unsigned char bottom[4];
        PixelFormat format;
        unsigned char topOut[4]; // what the decoded rows hold
        unsigned char bottomOut[4];
    };
    const Case cases[] = {
        {"rgb", 3, JCS_RGB, false, {255, 0, 0}, {0, 0, 255}, formatRGB, {255, 0, 0}, {0, 0, 255}},
        {"progressive rgb", 3, JCS_RGB, true, {0, 255, 0}, {255, 255, 0}, formatRGB, {0, 255, 0}, {255, 255, 0}},
        {"greyscale expanded", 1, JCS_GRAYSCALE, false, {240}, {20}, formatRGB, {240, 240, 240}, {20, 20, 20}},
        {"four components as stored", 4, JCS_CMYK, false, {200, 10, 30, 250}, {5, 120, 240, 0}, formatRGBA,
         {200, 10, 30, 250}, {5, 120, 240, 0}},
    };
    constexpr int width = 24, height = 16;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const JPEGImage image = decode(encode(width, height, c.components, c.space, c.top, c.bottom, c.progressive));
        ASSERT_TRUE(image.decoded()) << image.error;
        EXPECT_EQ(image.width, unsigned(width));
        EXPECT_EQ(image.height, unsigned(height));
        EXPECT_EQ(image.format, c.format);
        const std::size_t pixelSize = image.bytesPerPixel();
        ASSERT_EQ(image.pixels.size(), width * height * pixelSize);
        const std::size_t bottomRow = (height - 1) * width * pixelSize;
        for (std::size_t i = 0; i < width * pixelSize; ++i) {
            EXPECT_NEAR(image.pixels[i], c.topOut[i % pixelSize], 8) << "top row, byte " << i;
            EXPECT_NEAR(image.pixels[bottomRow + i], c.bottomOut[i % pixelSize], 8) << "bottom row, byte " << i;
        }
    }
}

TEST(JPEGImage, RefusesWhatItCannotDecodeWithoutEndingTheProcess)
{
    struct Case {
        const char* name;
        Bytes file;
        std::string message;
    };
    const Bytes good = redOverBlue();
    const unsigned char pair[] = {10, 200};
    const Case cases[] = {
        {"empty", {}, "Empty input file"},
        {"zeros", Bytes(64, 0), "Not a JPEG file: starts with 0x00 0x00"},
        {"another format", Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, "Not a JPEG file: starts with 0x47 0x49"},
        {"start marker only", {0xff, 0xd8}, "JPEG datastream contains no image"},
        {"cut before the frame", firstBytes(good, markerAt(good, startOfFrame)), "JPEG datastream contains no image"},
        {"cut before the scan", firstBytes(good, markerAt(good, startOfScan)),
         "Invalid JPEG file structure: missing SOS marker"},
        {"zero width", withFrameSize(good, 0, 32), "Empty JPEG image (DNL not supported)"},
        {"two components", encode(8, 8, 2, JCS_UNKNOWN, pair, pair),
         "unsupported JPEG with 2 colour components, expected 1, 3 or 4"},
        {"just over the pixel limit", withFrameSize(good, 8193, 8193), "image 8193x8193 has more than 67108864 pixels"},
        {"largest frame", withFrameSize(good, 65500, 65500), "image 65500x65500 has more than 67108864 pixels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::internal::CaptureStderr(); // libjpeg warns about some before it fails
        const JPEGImage image = decode(c.file);
        testing::internal::GetCapturedStderr();
        EXPECT_FALSE(image.decoded());
        EXPECT_EQ(image.error, c.message);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, 0u);
        EXPECT_EQ(image.height, 0u);
    }
}

TEST(JPEGImage, PixelLimitHoldsUpToItsValue)
{
    const Bytes file = redOverBlue(64, 32); // 2048 pixels
    const JPEGImage atLimit = JPEGImage::decode(file.data(), file.size(), 2048);
    EXPECT_TRUE(atLimit.decoded()) << atLimit.error;
    EXPECT_EQ(atLimit.pixels.size(), 2048u * 3);
    const JPEGImage overLimit = JPEGImage::decode(file.data(), file.size(), 2047);
    EXPECT_EQ(overLimit.error, "image 64x32 has more than 2047 pixels");
    EXPECT_TRUE(overLimit.pixels.empty());
}

TEST(JPEGImage, ScanCutShortDecodesWithLibjpegsWarningPrintedOrKept)
{
    const Bytes good = redOverBlue();
    const Bytes cut = firstBytes(good, (markerAt(good, startOfScan) + good.size()) / 2);
    testing::internal::CaptureStderr();
    const JPEGImage image = decode(cut);
    const std::string printed = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(image.decoded()) << image.error;
    EXPECT_EQ(image.pixels.size(), 64u * 32 * 3);
    EXPECT_NEAR(image.pixels[0], 255, 8); // the top rows arrived before the cut
    EXPECT_EQ(printed, "Premature end of JPEG file\n");

    std::string kept = "before\n";
    testing::internal::CaptureStderr();
    const JPEGImage quiet = JPEGImage::decode(cut.data(), cut.size(), JPEGImage::maxPixels, JPEGImage::anySide, &kept);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "kept, not printed";
    EXPECT_EQ(kept, "before\n" + printed);
    EXPECT_EQ(quiet.pixels, image.pixels);
}

// The decoder's own n/8 scaling: the largest that fits, never a full-size decode shrunk after.
TEST(JPEGImage, ALargerImageIsDecodedAtTheLargestEighthThatFits)
{
    const Bytes file = redOverBlue(64, 32);
    const struct {
        uint32_t maxSide;
        uint32_t width, height;
    } cases[] = {
        {64, 64, 32}, {1000, 64, 32}, {63, 56, 28}, {40, 40, 20}, {16, 16, 8}, {9, 8, 4}, {7, 8, 4} /* 1/8 at least */,
    };
    for (const auto& each : cases) {
        const JPEGImage image = JPEGImage::decode(file.data(), file.size(), JPEGImage::maxPixels, each.maxSide);
        ASSERT_TRUE(image.decoded()) << each.maxSide << ": " << image.error;
        EXPECT_EQ(image.width, each.width) << each.maxSide;
        EXPECT_EQ(image.height, each.height) << each.maxSide;
        EXPECT_EQ(image.storedWidth, 64u);
        EXPECT_EQ(image.storedHeight, 32u);
        EXPECT_EQ(image.pixels.size(), std::size_t(each.width) * each.height * 3);
        EXPECT_NEAR(image.pixels[0], 255, 8) << "red stays on top";
        EXPECT_NEAR(image.pixels[image.pixels.size() - 1], 255, 8) << "blue below";
    }

    // 300 bytes declaring 8192 x 8192: at 1/8 it needs a sixty-fourth of the pixels, within a
    // limit the full size would break.
    const Bytes huge = withFrameSize(file, 8192, 8192);
    testing::internal::CaptureStderr();
    const JPEGImage reduced = JPEGImage::decode(huge.data(), huge.size(), uint64_t(1) << 20, 1024);
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(reduced.decoded()) << reduced.error;
    EXPECT_EQ(reduced.width, 1024u);
    EXPECT_EQ(reduced.storedWidth, 8192u);
}
