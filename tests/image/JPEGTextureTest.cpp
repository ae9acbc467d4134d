#include "image/JPEGTexture.h"

#include "TestFiles.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using testimages::Bytes;

namespace {
bool isRed(const unsigned char* pixel) { return pixel[0] > 200 && pixel[1] < 60 && pixel[2] < 60; }
bool isBlue(const unsigned char* pixel) { return pixel[0] < 60 && pixel[1] < 60 && pixel[2] > 200; }

Bytes readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

// Rewrites the frame size in a baseline JPEG's start-of-frame segment.
Bytes withFrameSize(Bytes jpeg, unsigned width, unsigned height)
{
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) {
            jpeg[i + 5] = (height >> 8) & 0xff;
            jpeg[i + 6] = height & 0xff;
            jpeg[i + 7] = (width >> 8) & 0xff;
            jpeg[i + 8] = width & 0xff;
            return jpeg;
        }
    ADD_FAILURE() << "no start-of-frame marker";
    return jpeg;
}
} // namespace

TEST(JPEGTexture, PrintsItsPathBeforeOpeningAndStaysUnloadedWhenMissing)
{
    testsupport::TempDir dir;
    testsupport::CerrCapture cerr;
    EXPECT_FALSE(JPEGTexture(dir.path().c_str(), "textures/skies/clouds").isLoaded());
    EXPECT_FALSE(JPEGTexture("", "no/such/texture").isLoaded());
    EXPECT_EQ(cerr.text(), dir.path() + "textures/skies/clouds.jpg\nno/such/texture.jpg\n");
}

TEST(JPEGTexture, KeepsTheTopScanlineFirst)
{
    testsupport::TempDir dir;
    testimages::writeRedOverBlueJpeg(dir.path() + "flag.jpg");
    testsupport::CerrCapture cerr;
    JPEGTexture texture(dir.path().c_str(), "flag");

    ASSERT_TRUE(texture.isLoaded());
    EXPECT_EQ(texture.getWidth(), 64u);
    EXPECT_EQ(texture.getHeight(), 32u);
    EXPECT_EQ(texture.getFormat(), formatRGB);
    const unsigned char* data = texture.getData();
    for (int x = 0; x < 64; ++x) {
        EXPECT_TRUE(isRed(data + 3 * x)) << "top row, pixel " << x;
        EXPECT_TRUE(isBlue(data + 6144 - 192 + 3 * x)) << "bottom row, pixel " << x;
    }
    EXPECT_EQ(cerr.text(), dir.path() + "flag.jpg\n");

    texture.releasePixels();
    EXPECT_TRUE(texture.isLoaded());
    EXPECT_EQ(texture.getData(), nullptr);
    EXPECT_EQ(texture.getWidth(), 64u);
}

TEST(JPEGTexture, ExpandsGreyscaleToRGB)
{
    testsupport::TempDir dir;
    Bytes grey;
    for (int y = 0; y < 16; ++y)
        grey.insert(grey.end(), 24, y < 8 ? 240 : 20);
    testimages::writeJpeg(dir.path() + "grey.jpg", 24, 16, 1, JCS_GRAYSCALE, grey);
    testsupport::CerrCapture cerr;
    const JPEGTexture texture(dir.path().c_str(), "grey");

    ASSERT_TRUE(texture.isLoaded());
    EXPECT_EQ(texture.getFormat(), formatRGB);
    const unsigned char* data = texture.getData();
    const unsigned char* lastPixel = data + 24 * 16 * 3 - 3;
    EXPECT_EQ(data[0], data[1]);
    EXPECT_EQ(data[1], data[2]);
    EXPECT_GT(data[0], 200);
    EXPECT_EQ(lastPixel[0], lastPixel[2]);
    EXPECT_LT(lastPixel[0], 60);
}

TEST(JPEGTexture, GivesFourComponentImagesAsRGBA)
{
    testsupport::TempDir dir;
    const Bytes cmyk(8 * 8 * 4, 100);
    testimages::writeJpeg(dir.path() + "cmyk.jpg", 8, 8, 4, JCS_CMYK, cmyk);
    testsupport::CerrCapture cerr;
    const JPEGTexture texture(dir.path().c_str(), "cmyk");
    ASSERT_TRUE(texture.isLoaded());
    EXPECT_EQ(texture.getFormat(), formatRGBA);
    EXPECT_NEAR(texture.getData()[8 * 8 * 4 - 1], 100, 8);
}

TEST(JPEGTexture, RefusesImagesOverTheLimitBeforeDecoding)
{
    testsupport::TempDir dir;
    testimages::writeRedOverBlueJpeg(dir.path() + "small.jpg");
    dir.write("huge.jpg", withFrameSize(readFile(dir.path() + "small.jpg"), 8193, 8193));
    testsupport::CerrCapture cerr;
    const JPEGTexture texture(dir.path().c_str(), "huge");
    EXPECT_FALSE(texture.isLoaded());
    const std::string path = dir.path() + "huge.jpg";
    EXPECT_EQ(cerr.text(), path + "\n" + path + ": image 8193x8193 has more than 67108864 pixels\n");
}

TEST(JPEGTextureDeathTest, CorruptStreamEndsTheProcessWithStatusOne)
{
    testsupport::TempDir dir;
    dir.write("broken.jpg", std::string("this is not a JPEG stream at all"));
    const std::string prefix = dir.path();
    EXPECT_EXIT(JPEGTexture(prefix.c_str(), "broken"), testing::ExitedWithCode(1), "Not a JPEG file");
}
