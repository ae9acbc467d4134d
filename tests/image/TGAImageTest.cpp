#include "image/TGAImage.h"

#include "TestImages.h"

#include <gtest/gtest.h>

using testimages::Bytes;
using testimages::tgaHeader;
using testimages::topLeft;
using testimages::operator+;

namespace {
TGAImage decode(const Bytes& file) { return TGAImage::decode(file.data(), file.size()); }

constexpr unsigned uncompressed = 2;
constexpr unsigned runLength = 10;
} // namespace

TEST(TGAImage, SwapsRedAndBlueAndKeepsAlpha)
{
    const TGAImage rgb = decode(tgaHeader(uncompressed, 2, 1, 24) + Bytes{1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(rgb.decoded()) << rgb.error;
    EXPECT_EQ(rgb.width, 2u);
    EXPECT_EQ(rgb.height, 1u);
    EXPECT_EQ(rgb.bitsPerPixel, 24u);
    EXPECT_EQ(rgb.pixels, (Bytes{3, 2, 1, 6, 5, 4}));

    const TGAImage rgba = decode(tgaHeader(uncompressed, 2, 1, 32) + Bytes{1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_TRUE(rgba.decoded()) << rgba.error;
    EXPECT_EQ(rgba.bitsPerPixel, 32u);
    EXPECT_EQ(rgba.pixels, (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST(TGAImage, StoresRowsBottomUpWhateverTheOrigin)
{
    // 2 x 3 image; rows hold the values 10, 20, 30 in file order.
    const Bytes rows = {10, 10, 10, 10, 10, 10, 20, 20, 20, 20, 20, 20, 30, 30, 30, 30, 30, 30};
    const TGAImage bottomLeft = decode(tgaHeader(uncompressed, 2, 3, 24) + rows);
    ASSERT_TRUE(bottomLeft.decoded()) << bottomLeft.error;
    EXPECT_EQ(bottomLeft.pixels, rows);

    const TGAImage fromTop = decode(tgaHeader(uncompressed, 2, 3, 24, topLeft) + rows);
    ASSERT_TRUE(fromTop.decoded()) << fromTop.error;
    EXPECT_EQ(fromTop.pixels, (Bytes{30, 30, 30, 30, 30, 30, 20, 20, 20, 20, 20, 20, 10, 10, 10, 10, 10, 10}));

    // Alpha bits in the descriptor's low nibble change nothing.
    const TGAImage withAlphaBits = decode(tgaHeader(uncompressed, 2, 3, 24, 0x08) + rows);
    EXPECT_EQ(withAlphaBits.pixels, rows);
}

TEST(TGAImage, SkipsImageIdAndUnusedPalette)
{
    const TGAImage withId = decode(tgaHeader(uncompressed, 1, 1, 24, 0, 3) + Bytes{'a', 'b', 'c', 1, 2, 3});
    ASSERT_TRUE(withId.decoded()) << withId.error;
    EXPECT_EQ(withId.pixels, (Bytes{3, 2, 1}));

    // Two palette entries of 24 bits after a 1-byte ID, then the pixel.
    Bytes header = tgaHeader(uncompressed, 1, 1, 24, 0, 1);
    header[1] = 1;
    header[5] = 2;
    header[7] = 24;
    const TGAImage withPalette = decode(header + Bytes{'x', 9, 9, 9, 9, 9, 9, 7, 8, 9});
    ASSERT_TRUE(withPalette.decoded()) << withPalette.error;
    EXPECT_EQ(withPalette.pixels, (Bytes{9, 8, 7}));
}

TEST(TGAImage, DecodesRunAndRawPacketsAcrossRows)
{
    // 3 x 2: a raw packet of 2 pixels, a run of 3 crossing into the second row, a raw 1.
    const Bytes packets = {0x01, 1, 2, 3, 4, 5, 6, 0x82, 7, 8, 9, 0x00, 10, 11, 12};
    const TGAImage image = decode(tgaHeader(runLength, 3, 2, 24) + packets);
    ASSERT_TRUE(image.decoded()) << image.error;
    EXPECT_EQ(image.pixels, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 9, 8, 7, 9, 8, 7, 12, 11, 10}));

    // 32 bits with a top-left origin: 1 x 2, a run of two then nothing else.
    const TGAImage flipped =
        decode(tgaHeader(runLength, 1, 2, 32, topLeft) + Bytes{0x00, 1, 2, 3, 4, 0x00, 5, 6, 7, 8});
    ASSERT_TRUE(flipped.decoded()) << flipped.error;
    EXPECT_EQ(flipped.pixels, (Bytes{7, 6, 5, 8, 3, 2, 1, 4}));
}

TEST(TGAImage, ClipsRunPacketAtTheLastPixel)
{
    // A run of 4 for an image of 2 pixels fills the 2 and stops there.
    const TGAImage image = decode(tgaHeader(runLength, 2, 1, 24) + Bytes{0x83, 1, 2, 3});
    ASSERT_TRUE(image.decoded()) << image.error;
    EXPECT_EQ(image.pixels, (Bytes{3, 2, 1, 3, 2, 1}));
}

TEST(TGAImage, RefusesWhatItCannotDecode)
{
    struct Case {
        const char* name;
        Bytes file;
        std::string message;
    };
    Bytes colourMapped = tgaHeader(1, 1, 1, 8) + Bytes{0};
    Bytes paletteTooLong = tgaHeader(uncompressed, 1, 1, 24);
    paletteTooLong[1] = 1;
    paletteTooLong[5] = 0xff;
    paletteTooLong[6] = 0xff;
    paletteTooLong[7] = 32;
    const Case cases[] = {
        {"empty", {}, "file too short, expected at least 18 bytes but got 0"},
        {"short header", Bytes(17, 0), "file too short, expected at least 18 bytes but got 17"},
        {"colour-mapped", colourMapped, "colour-mapped images are not supported (image type 1)"},
        {"run-length colour-mapped", tgaHeader(9, 1, 1, 8),
         "colour-mapped images are not supported (image type 9)"},
        {"greyscale", tgaHeader(3, 1, 1, 8) + Bytes{0}, "greyscale images are not supported (image type 3)"},
        {"run-length greyscale", tgaHeader(11, 1, 1, 8), "greyscale images are not supported (image type 11)"},
        {"no image", tgaHeader(0, 1, 1, 24), "unsupported image type 0, expected 2 or 10"},
        {"unknown type", tgaHeader(32, 1, 1, 24), "unsupported image type 32, expected 2 or 10"},
        {"16 bits", tgaHeader(uncompressed, 1, 1, 16) + Bytes{0, 0},
         "unsupported pixel depth 16 bits, expected 24 or 32"},
        {"8 bits", tgaHeader(uncompressed, 1, 1, 8) + Bytes{0}, "unsupported pixel depth 8 bits, expected 24 or 32"},
        {"0 bits", tgaHeader(uncompressed, 1, 1, 0), "unsupported pixel depth 0 bits, expected 24 or 32"},
        {"zero width", tgaHeader(uncompressed, 0, 4, 24), "image has zero size 0x4"},
        {"zero height", tgaHeader(runLength, 4, 0, 32), "image has zero size 4x0"},
        {"just over the pixel limit", tgaHeader(uncompressed, 8193, 8193, 24),
         "image 8193x8193 has more than 67108864 pixels"},
        {"largest header size", tgaHeader(runLength, 65535, 65535, 32),
         "image 65535x65535 has more than 67108864 pixels"},
        {"at the pixel limit but empty", tgaHeader(uncompressed, 8192, 8192, 32),
         "file truncated, expected 268435474 bytes but got 18"},
        {"image ID past the end", tgaHeader(uncompressed, 1, 1, 24, 0, 10) + Bytes{1, 2},
         "file truncated, expected 28 bytes but got 20"},
        {"palette past the end", paletteTooLong, "file truncated, expected 262158 bytes but got 18"},
        {"uncompressed one byte short", tgaHeader(uncompressed, 2, 2, 24) + Bytes(11, 0),
         "file truncated, expected 30 bytes but got 29"},
        {"uncompressed 32-bit without data", tgaHeader(uncompressed, 2, 1, 32),
         "file truncated, expected 26 bytes but got 18"},
        {"run-length without packets", tgaHeader(runLength, 2, 2, 24), "run-length data ends after 0 of 4 pixels"},
        {"run-length stops early", tgaHeader(runLength, 2, 2, 24) + Bytes{0x80, 1, 2, 3},
         "run-length data ends after 1 of 4 pixels"},
        {"run packet without its pixel", tgaHeader(runLength, 2, 1, 32) + Bytes{0x81, 1, 2},
         "file truncated, expected 23 bytes but got 21"},
        {"raw packet cut short", tgaHeader(runLength, 2, 1, 24) + Bytes{0x01, 1, 2, 3, 4},
         "file truncated, expected 25 bytes but got 23"},
        {"raw packet overruns the image", tgaHeader(runLength, 2, 1, 24) + Bytes{0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9},
         "raw packet of 3 pixels overruns the 2 pixels remaining"},
        {"raw packet overruns after a run", tgaHeader(runLength, 3, 1, 24) + Bytes{0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9},
         "raw packet of 2 pixels overruns the 1 pixels remaining"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TGAImage image = decode(c.file);
        EXPECT_FALSE(image.decoded());
        EXPECT_EQ(image.error, c.message);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, 0u);
    }
}
