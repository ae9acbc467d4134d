#include "render/DataRootImages.h"
#include "render/ImageReadAhead.h"
#include "render/TextureManager.h"

#include "files/DataRoot.h"
#include "image/DecodedImage.h"
#include "level/LevelData.h"
#include "level/TextureResolver.h"

#include "GLContext.h"
#include "TestFiles.h"
#include "../files/TestArchives.h"
#include "../image/TestImages.h"

#include <gtest/gtest.h>

#include <iostream>

using testimages::Bytes;

namespace {

// A picture of `width` x `height` whose every byte differs from its neighbours', so that a
// texel out of place shows.
Bytes pattern(int width, int height, int channels, int seed)
{
    Bytes pixels(std::size_t(width) * std::size_t(height) * std::size_t(channels));
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>((i * 7 + std::size_t(seed) * 31 + i / 5 * 13) & 0xff);
    return pixels;
}

Bytes jpeg(int width, int height, int seed)
{
    return testimages::encodeJpeg(width, height, 3, JCS_RGB, pattern(width, height, 3, seed), 90);
}

Bytes tga(int width, int height, int depth, int seed)
{
    using testimages::operator+;
    return testimages::tgaHeader(2, unsigned(width), unsigned(height), unsigned(depth))
         + pattern(width, height, depth / 8, seed);
}

// One image under textures/t/ and what loading it says, in the order a load says it.
struct Row {
    const char* name;
    Bytes bytes;
    std::string line; // "" for none; the data root's folder stands first where it says "ROOT/"
    testarchives::Storage storage = testarchives::Storage::deflated;
    void (*damage)(const std::string& archive) = nullptr;
    bool loose = false; // beside the archive rather than in it
};

std::vector<Row> rows()
{
    Bytes cut = jpeg(48, 48, 3);
    cut.resize(cut.size() * 2 / 3);
    return {
        {"first.jpg", jpeg(64, 32, 1), ""},
        {"crc.jpg", jpeg(16, 16, 2), "images.pk3: textures/t/crc.jpg: entry data is corrupt (CRC error)\n",
            testarchives::Storage::stored,
            [](const std::string& archive) { testarchives::flipDataByte(archive, "textures/t/crc.jpg", 40, 0x20); }},
        {"rgb.tga", tga(20, 12, 24, 4), ""},
        {"notjpeg.jpg", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'},
            "textures/t/notjpeg.jpg: Not a JPEG file: starts with 0x6e 0x6f\n"},
        {"cut.jpg", cut, "Premature end of JPEG file\n"},
        {"rgba.tga", tga(8, 40, 32, 5), ""},
        {"empty.tga", Bytes{}, "images.pk3: textures/t/empty.tga: entry is empty\n"},
        {"headless.tga", testimages::tgaHeader(2, 64, 64, 24),
            "textures/t/headless.tga: file truncated, expected 12306 bytes but got 18\n"},
        {"big.jpg", jpeg(256, 128, 6), ""},
        {"loose.jpg", Bytes{}, "ROOT/textures/t/loose.jpg: file is empty\n", testarchives::Storage::deflated, nullptr,
            true},
        {"last.tga", tga(33, 17, 24, 7), ""},
    };
}

// A data root of the rows' images: most in a deflated archive, one loose.
class ImageReadAheadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::ensureGLContext();
        std::vector<testarchives::TestEntry> entries;
        for (const Row& row : table) {
            const std::string path = std::string("textures/t/") + row.name;
            if (row.loose)
                folder.write(path, row.bytes);
            else
                entries.push_back({path, std::string(row.bytes.begin(), row.bytes.end()), row.storage});
        }
        const std::string archive = testarchives::writeZip(folder, "images.pk3", entries);
        for (const Row& row : table)
            if (row.damage != nullptr)
                row.damage(archive);
    }

    std::vector<std::string> paths() const
    {
        std::vector<std::string> all;
        for (const Row& row : table)
            all.push_back(std::string("textures/t/") + row.name);
        return all;
    }

    std::string expectedLines() const
    {
        std::string lines;
        for (const Row& row : table)
            lines += row.line.rfind("ROOT/", 0) == 0 ? folder.path() + row.line.substr(5) : row.line;
        return lines;
    }

    const std::vector<Row> table = rows();
    testsupport::TempDir folder;
};

struct Pixels {
    bool loaded = false;
    uint32_t width = 0, height = 0;
    Bytes bytes;
    bool operator==(const Pixels& other) const
    {
        return loaded == other.loaded && width == other.width && height == other.height && bytes == other.bytes;
    }
};

Pixels pixelsOf(const DecodedImage* image)
{
    if (image == nullptr)
        return {};
    const std::size_t size = std::size_t(image->getWidth()) * image->getHeight() * (image->getFormat() == formatRGBA ? 4 : 3);
    return {true, image->getWidth(), image->getHeight(), Bytes(image->getData(), image->getData() + size)};
}

// Every mipmap level of every texture, as GL holds it.
std::vector<Bytes> texelsOf(const TextureManager& textures)
{
    std::vector<Bytes> all;
    for (unsigned record = 0; record < textures.getTextureCount(); ++record) {
        all.emplace_back();
        if (textures.textureId(int(record)) == 0)
            continue;
        glBindTexture(GL_TEXTURE_2D, textures.textureId(int(record)));
        for (GLint level = 0;; ++level) {
            GLint width = 0, height = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
            if (width == 0 || height == 0)
                break;
            Bytes texels(std::size_t(width) * std::size_t(height) * 4);
            glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
            all.back().insert(all.back().end(), texels.begin(), texels.end());
        }
    }
    return all;
}

// The textures side by side, one tile each, read back from the window.
Bytes picture(const TextureManager& textures)
{
    constexpr int tiles = 4;
    const float side = 2.0f / tiles;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (unsigned record = 0; record < textures.getTextureCount(); ++record) {
        const GLuint texture = textures.textureId(int(record));
        if (texture == 0)
            continue;
        const float x = -1.0f + side * float(record % tiles);
        const float y = -1.0f + side * float(record / tiles);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0), glVertex2f(x, y);
        glTexCoord2f(1, 0), glVertex2f(x + side, y);
        glTexCoord2f(1, 1), glVertex2f(x + side, y + side);
        glTexCoord2f(0, 1), glVertex2f(x, y + side);
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
    Bytes pixels(std::size_t(testsupport::contextWidth) * testsupport::contextHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, testsupport::contextWidth, testsupport::contextHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

} // namespace

// Each image read and decoded on a worker before it is taken, several of them failing in
// different ways: taken in order, they give the serial decode's pixels, and every line the
// serial load says (the archive's, libjpeg's, the decoder's) comes in the same place.
TEST_F(ImageReadAheadTest, WorkersDecodeAsTheSerialLoadAndSayItsLinesInItsOrder)
{
    constexpr uint32_t maxSide = 64;
    std::vector<Pixels> serial, ahead;
    testing::internal::CaptureStderr();
    {
        const DataRoot root(folder.path(), true, std::cerr);
        const TextureResolver resolver(root, nullptr);
        for (const std::string& path : paths()) {
            // As the serial load has it before its upload.
            const std::unique_ptr<DecodedImage> image = resolver.decodeImage(path, std::cerr, maxSide);
            if (image)
                TextureManager::prepareShownLevel(*image);
            serial.push_back(pixelsOf(image.get()));
        }
    }
    const std::string serialLines = testing::internal::GetCapturedStderr();
    EXPECT_EQ(serialLines, expectedLines());

    testing::internal::CaptureStderr();
    {
        const DataRoot root(folder.path(), true, std::cerr);
        ImageReadAhead reading(root, maxSide, paths());
        for (const std::string& path : paths()) {
            SCOPED_TRACE(path);
            reading.waitForWorkers();
            std::optional<std::unique_ptr<DecodedImage>> taken = reading.take(path, std::cerr);
            ASSERT_TRUE(taken) << "read and decoded on a worker";
            ahead.push_back(pixelsOf(taken->get()));
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), serialLines);
    ASSERT_EQ(ahead.size(), serial.size());
    for (std::size_t k = 0; k < serial.size(); ++k)
        EXPECT_TRUE(ahead[k] == serial[k]) << paths()[k];
    EXPECT_EQ(ahead[8].width, 64u) << "big.jpg within the side, as the serial decode has it";
}

// A path asked for out of the planned order is read on the spot; those planned before it are
// let go and read on the spot too when they are asked for after all, still saying their lines.
TEST_F(ImageReadAheadTest, AnImageAskedForOutOfOrderIsReadOnTheSpot)
{
    testing::internal::CaptureStderr();
    std::vector<bool> fromWorkers;
    {
        const DataRoot root(folder.path(), true, std::cerr);
        const TextureResolver resolver(root, nullptr);
        ImageReadAhead reading(root, 64, paths());
        reading.waitForWorkers();
        for (const char* path : {"textures/t/rgb.tga", "textures/t/first.jpg", "textures/t/missing.jpg",
                                        "textures/t/crc.jpg", "textures/t/notjpeg.jpg"}) {
            std::optional<std::unique_ptr<DecodedImage>> taken = reading.take(path, std::cerr);
            fromWorkers.push_back(bool(taken));
            if (!taken)
                resolver.decodeImage(path, std::cerr, 64);
        }
    }
    EXPECT_EQ(fromWorkers, (std::vector<bool>{true, false, false, false, true}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "images.pk3: textures/t/crc.jpg: entry data is corrupt (CRC error)\n"
              "textures/t/notjpeg.jpg: Not a JPEG file: starts with 0x6e 0x6f\n");
}

// A level's records loaded with their images read ahead and without: the same textures, texel
// for texel at every mipmap level, the same picture, and the same lines in the same order,
// the cache's own (an image shown smaller, the budget spent) among them.
TEST_F(ImageReadAheadTest, TheLevelsTexturesAndPictureAreTheSameReadAheadOrNot)
{
    LevelData level;
    for (const std::string& path : paths())
        level.textureNames.push_back(path.substr(0, path.size() - 4));
    level.textureNames.insert(level.textureNames.begin() + 3, "textures/t/missing");
    level.textureNames.push_back("TEXTURES/T/FIRST"); // the same image in another case: shared
    level.textureFlags.assign(level.textureNames.size(), 0);
    const std::vector<bool> inUse(level.textureNames.size(), true);
    const ImageCache::Limits limits{32, 12000}; // the last image is past it

    struct Load {
        std::string lines;
        std::vector<Bytes> texels;
        Bytes picture;
        std::optional<TextureReport> report;
    };
    const auto load = [&](bool readAhead) {
        Load made;
        const DataRoot root(folder.path(), true, std::cerr);
        const TextureResolver resolver(root, nullptr);
        DataRootImages images(resolver, limits, readAhead);
        testing::internal::CaptureStderr();
        EXPECT_TRUE(images.beginImages(level, inUse)) << "no face's rows wait for its image";
        const std::unique_ptr<TextureManager> textures = images.loadTextures(level, inUse, 0);
        made.lines = testing::internal::GetCapturedStderr();
        made.texels = texelsOf(*textures);
        made.picture = picture(*textures);
        made.report = images.report(level, nullptr);
        return made;
    };
    const Load serial = load(false);
    const Load ahead = load(true);
    EXPECT_EQ(ahead.lines, serial.lines);
    EXPECT_NE(serial.lines.find("textures/t/first.jpg: 64 x 32 is larger than 32 on a side; shown at 32 x 16\n"),
              std::string::npos)
        << serial.lines;
    EXPECT_NE(serial.lines.find("textures/t/last.tga: past the texture budget of "), std::string::npos) << serial.lines;
    EXPECT_EQ(ahead.texels, serial.texels);
    EXPECT_EQ(ahead.picture, serial.picture);
    EXPECT_NE(serial.picture, Bytes(serial.picture.size(), 0)) << "something was drawn";
    ASSERT_TRUE(ahead.report && serial.report);
    std::vector<bool> shownAhead, shownSerially;
    for (const TextureReport::Entry& entry : ahead.report->textures)
        shownAhead.push_back(entry.hasImage);
    for (const TextureReport::Entry& entry : serial.report->textures)
        shownSerially.push_back(entry.hasImage);
    EXPECT_EQ(shownAhead, shownSerially);
}
