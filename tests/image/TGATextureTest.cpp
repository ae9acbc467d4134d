#include "image/TGATexture.h"

#include "TestFiles.h"
#include "TestImages.h"

#include <gtest/gtest.h>

using testimages::Bytes;
using testimages::tgaHeader;
using testimages::operator+;

TEST(TGATexture, PrintsItsPathBeforeOpeningAndStaysUnloadedWhenMissing)
{
    testsupport::TempDir dir;
    testsupport::CerrCapture cerr;
    const TGATexture missing(dir.path().c_str(), "textures/base/wall");
    EXPECT_FALSE(missing.isLoaded());

    const TGATexture noPrefix("", "no/such/texture");
    EXPECT_FALSE(noPrefix.isLoaded());
    EXPECT_EQ(cerr.text(), dir.path() + "textures/base/wall.tga\nno/such/texture.tga\n");
}

TEST(TGATexture, LoadsTwentyFourAndThirtyTwoBitFiles)
{
    testsupport::TempDir dir;
    dir.write("rgb.tga", tgaHeader(2, 2, 1, 24) + Bytes{1, 2, 3, 4, 5, 6});
    dir.write("rgba.tga", tgaHeader(2, 2, 1, 32) + Bytes{1, 2, 3, 4, 5, 6, 7, 8});
    testsupport::CerrCapture cerr;

    const TGATexture rgb(dir.path().c_str(), "rgb");
    ASSERT_TRUE(rgb.isLoaded());
    EXPECT_EQ(rgb.getWidth(), 2u);
    EXPECT_EQ(rgb.getHeight(), 1u);
    EXPECT_EQ(rgb.getFormat(), formatRGB);
    EXPECT_EQ(Bytes(rgb.getData(), rgb.getData() + 6), (Bytes{3, 2, 1, 6, 5, 4}));

    const TGATexture rgba(dir.path().c_str(), "rgba");
    ASSERT_TRUE(rgba.isLoaded());
    EXPECT_EQ(rgba.getFormat(), formatRGBA);
    EXPECT_EQ(Bytes(rgba.getData(), rgba.getData() + 8), (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));

    EXPECT_EQ(cerr.text(), dir.path() + "rgb.tga\n" + dir.path() + "rgba.tga\n");
}

TEST(TGATexture, NamesTheFileAndTheFaultWhenRefusing)
{
    testsupport::TempDir dir;
    dir.write("grey.tga", tgaHeader(3, 1, 1, 8) + Bytes{0});
    dir.write("short.tga", tgaHeader(2, 2, 2, 24) + Bytes(5, 0));
    dir.write("empty.tga", Bytes{});
    testsupport::CerrCapture cerr;

    EXPECT_FALSE(TGATexture(dir.path().c_str(), "grey").isLoaded());
    EXPECT_FALSE(TGATexture(dir.path().c_str(), "short").isLoaded());
    EXPECT_FALSE(TGATexture(dir.path().c_str(), "empty").isLoaded());
    const std::string grey = dir.path() + "grey.tga";
    const std::string shortFile = dir.path() + "short.tga";
    const std::string empty = dir.path() + "empty.tga";
    EXPECT_EQ(cerr.text(), grey + "\n" + grey + ": greyscale images are not supported (image type 3)\n" + shortFile
                               + "\n" + shortFile + ": file truncated, expected 30 bytes but got 23\n" + empty + "\n"
                               + empty + ": file too short, expected at least 18 bytes but got 0\n");
}

TEST(TGATexture, KeepsItsAnswersAfterReleasingPixels)
{
    testsupport::TempDir dir;
    dir.write("top.tga", tgaHeader(10, 1, 2, 24, testimages::topLeft) + Bytes{0x00, 1, 2, 3, 0x00, 4, 5, 6});
    testsupport::CerrCapture cerr;
    TGATexture texture(dir.path().c_str(), "top");
    ASSERT_TRUE(texture.isLoaded());
    EXPECT_EQ(Bytes(texture.getData(), texture.getData() + 6), (Bytes{6, 5, 4, 3, 2, 1}));

    texture.releasePixels();
    EXPECT_TRUE(texture.isLoaded());
    EXPECT_EQ(texture.getData(), nullptr);
    EXPECT_EQ(texture.getWidth(), 1u);
    EXPECT_EQ(texture.getHeight(), 2u);
    EXPECT_EQ(texture.getFormat(), formatRGB);
}
