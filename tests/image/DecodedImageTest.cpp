#include "image/DecodedImage.h"

#include "TestImages.h"

#include <gtest/gtest.h>

using testimages::Bytes;
using testimages::operator+;

namespace {
// 4 x 2, 24-bit, stored bottom row first (B, G, R): top row 0 40 80 120 grey levels, bottom row
// 200 each, so a halving averages the pairs of the top row with 200.
Bytes fourByTwoTga()
{
    Bytes file = testimages::tgaHeader(2, 4, 2, 24);
    for (int x = 0; x < 4; ++x)
        file.insert(file.end(), {200, 200, 200});
    for (const unsigned char level : {0, 40, 80, 120})
        file.insert(file.end(), {level, level, level});
    return file;
}
} // namespace

TEST(DecodedImage, ALargerImageIsHalvedUntilBothSidesFitAndSaysSo)
{
    const Bytes jpeg = testimages::encodeJpeg(64, 32, 3, JCS_RGB, testimages::redOverBlue(), 100, false);
    const struct {
        const char* name;
        Bytes bytes;
        DecodedImage::FileType type;
        uint32_t maxSide;
        uint32_t width, height;
        std::vector<unsigned char> firstTexels; // R, G, B of the top row's first texels
    } cases[] = {
        {"tga within its limit", fourByTwoTga(), DecodedImage::FileType::tga, 4, 4, 2, {0, 0, 0, 40, 40, 40}},
        {"tga without a limit", fourByTwoTga(), DecodedImage::FileType::tga, DecodedImage::anySide, 4, 2, {0, 0, 0}},
        {"tga halved", fourByTwoTga(), DecodedImage::FileType::tga, 3, 2, 1, {110, 110, 110, 150, 150, 150}},
        {"tga halved twice", fourByTwoTga(), DecodedImage::FileType::tga, 1, 1, 1, {130, 130, 130}},
        {"jpeg at 1/8, then halved", jpeg, DecodedImage::FileType::jpeg, 4, 4, 2, {}},
    };
    for (const auto& each : cases) {
        const DecodedImage image(each.bytes, each.type, each.maxSide);
        ASSERT_TRUE(image.isLoaded()) << each.name << ": " << image.getError();
        EXPECT_EQ(image.getWidth(), each.width) << each.name;
        EXPECT_EQ(image.getHeight(), each.height) << each.name;
        EXPECT_EQ(image.wasReduced(), image.getWidth() != image.storedWidth()) << each.name;
        EXPECT_EQ(image.storedWidth(), each.type == DecodedImage::FileType::tga ? 4u : 64u) << each.name;
        const std::vector<unsigned char> texels(image.getData(), image.getData() + each.firstTexels.size());
        EXPECT_EQ(texels, each.firstTexels) << each.name;
    }
}
