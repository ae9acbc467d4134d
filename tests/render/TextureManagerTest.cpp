#include "render/TextureManager.h"

#include "image/DecodedImage.h"

#include "GLContext.h"
#include "TestFiles.h"
#include "../image/TestImages.h"

#include <gtest/gtest.h>

#include <set>

using testimages::Bytes;
using testimages::tgaHeader;
using testimages::operator+;

namespace {
GLint textureParameter(GLenum name)
{
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint levelParameter(GLint level, GLenum name)
{
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

GLint integer(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

class TextureManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        testsupport::ensureGLContext();
        testimages::writeRedOverBlueJpeg(dir.path() + "both.jpg");
        dir.write("both.tga", tgaHeader(2, 1, 1, 24) + Bytes{0, 0, 0});
        // Bottom row first: blue-green-red pixel values 1 2 3 then 4 5 6.
        dir.write("onlytga.tga", tgaHeader(2, 2, 1, 24) + Bytes{1, 2, 3, 4, 5, 6});
    }

    testsupport::TempDir dir;
};
} // namespace

TEST_F(TextureManagerTest, ReservesOneNamePerTextureAndLightmap)
{
    const TextureManager manager(10, 3);
    EXPECT_EQ(manager.getTextureCount(), 10u);
    EXPECT_EQ(manager.getLightmapCount(), 3u);
    std::set<GLuint> names;
    for (int i = 0; i < 10; ++i)
        names.insert(manager.textureId(i));
    for (int i = 0; i < 3; ++i) {
        names.insert(manager.lightmapId(i));
        EXPECT_FALSE(glIsTexture(manager.lightmapId(i))) << "lightmap names are never bound";
    }
    EXPECT_EQ(names.size(), 13u);
    EXPECT_EQ(names.count(0), 0u);
    EXPECT_FALSE(manager.isTextureLoaded(0)) << "no texture created yet";

    const TextureManager empty(0, 0);
    EXPECT_EQ(empty.getTextureCount(), 0u);
    EXPECT_FALSE(empty.isTextureLoaded(0));
}

TEST_F(TextureManagerTest, PrefersJPEGThenTGAAndPrintsTheTranscript)
{
    TextureManager manager(3, 0);
    testsupport::CerrCapture cerr;
    manager.createTexture(dir.path().c_str(), "both");
    manager.createTexture(dir.path().c_str(), "onlytga");
    manager.createTexture(dir.path().c_str(), "missing");

    const std::string& d = dir.path();
    EXPECT_EQ(cerr.text(), d + "both.jpg\ntexture Number 0Texture Created \n" + d + "onlytga.jpg\n" + d
                               + "onlytga.tga\ntexture Number 1Texture Created \n" + d + "missing.jpg\n" + d
                               + "missing.tga\n");
    EXPECT_EQ(manager.textureKind(0), TextureManager::kindJPEG);
    EXPECT_EQ(manager.textureKind(1), TextureManager::kindTGA);
    EXPECT_EQ(manager.textureKind(2), TextureManager::kindTGA);
    EXPECT_TRUE(manager.isTextureLoaded(0));
    EXPECT_TRUE(manager.isTextureLoaded(1)) << "pixels are dropped after upload, the answer is not";
    EXPECT_FALSE(manager.isTextureLoaded(2));
    EXPECT_FALSE(manager.isTextureLoaded(3));
    EXPECT_FALSE(manager.isTextureLoaded(-1));
    EXPECT_FALSE(glIsTexture(manager.textureId(2))) << "a missing image leaves its name unbound";
}

TEST_F(TextureManagerTest, UploadsWithLinearFilteringRepeatAndMipmaps)
{
    TextureManager manager(2, 0);
    // State the upload must override.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    testsupport::CerrCapture cerr;
    manager.createTexture(dir.path().c_str(), "both");
    manager.createTexture(dir.path().c_str(), "onlytga");

    EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 1);
    GLint envMode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(envMode, GL_MODULATE);

    glBindTexture(GL_TEXTURE_2D, manager.textureId(0));
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 64);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 32);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 32) << "mipmap levels are built";
    EXPECT_EQ(levelParameter(6, GL_TEXTURE_WIDTH), 1);

    // The TGA reaches GL as R, G, B in its stored row order.
    glBindTexture(GL_TEXTURE_2D, manager.textureId(1));
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 2);
    unsigned char texels[6] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(Bytes(texels, texels + 6), (Bytes{3, 2, 1, 6, 5, 4}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextureManagerTest, BindTextureLeavesUnitZeroTexturedWithItsArray)
{
    TextureManager manager(1, 0);
    {
        testsupport::CerrCapture cerr;
        manager.createTexture(dir.path().c_str(), "both");
    }
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glClientActiveTexture(GL_TEXTURE1);
    const float texCoords[8] = {};

    manager.bindTexture(0, 20, texCoords);

    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(integer(GL_CLIENT_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), manager.textureId(0));
    EXPECT_EQ(integer(GL_TEXTURE_COORD_ARRAY_SIZE), 2);
    EXPECT_EQ(integer(GL_TEXTURE_COORD_ARRAY_TYPE), GL_FLOAT);
    EXPECT_EQ(integer(GL_TEXTURE_COORD_ARRAY_STRIDE), 20);
    GLvoid* pointer = nullptr;
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, texCoords);

    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
}

TEST_F(TextureManagerTest, ReleasesItsNamesAndRefusesEntriesBeyondItsCount)
{
    GLuint uploaded = 0;
    {
        TextureManager manager(1, 0);
        testsupport::CerrCapture cerr;
        manager.createTexture(dir.path().c_str(), "both");
        uploaded = manager.textureId(0);
        ASSERT_TRUE(glIsTexture(uploaded));

        manager.createTexture(dir.path().c_str(), "onlytga");
        EXPECT_FALSE(manager.isTextureLoaded(1));
        EXPECT_EQ(cerr.text(), dir.path() + "both.jpg\ntexture Number 0Texture Created \n"
                                   + "onlytga: no texture name left, all 1 are in use\n");
    }
    EXPECT_FALSE(glIsTexture(uploaded));
}

// The level the frame samples is the same whether the levels below it are built or not: for
// sides that are powers of two the image as it is, for others the mipmap builder's rescaling.
TEST_F(TextureManagerTest, TheShownLevelIsWhatTheMipmapBuilderMakesOfIt)
{
    const struct {
        unsigned width, height, depth;
        bool onlyLevelZero; // what the cheaper upload leaves
    } cases[] = {{8, 4, 24, true}, {16, 16, 32, true}, {6, 5, 24, false}, {3, 7, 32, false}};
    for (const auto& test : cases) {
        SCOPED_TRACE(std::to_string(test.width) + " x " + std::to_string(test.height));
        Bytes pixels(test.width * test.height * test.depth / 8);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<unsigned char>(i * 37 + 11);
        const DecodedImage image(tgaHeader(2, test.width, test.height, test.depth) + pixels, DecodedImage::FileType::tga);
        ASSERT_TRUE(image.isLoaded()) << image.getError();
        // The cheaper upload takes the image as a load prepares it: as it is where its sides are
        // not powers of two, else with an opaque alpha, which GL copies rather than converts.
        DecodedImage prepared = image;
        TextureManager::prepareShownLevel(prepared);
        std::vector<Bytes> shown;
        for (const bool everyLevel : {true, false}) {
            GLuint texture = 0;
            glGenTextures(1, &texture);
            glBindTexture(GL_TEXTURE_2D, texture);
            EXPECT_EQ(everyLevel ? TextureManager::uploadToBoundTexture(image)
                                 : TextureManager::uploadShownLevelToBoundTexture(prepared), 0);
            const GLint width = levelParameter(0, GL_TEXTURE_WIDTH);
            const GLint height = levelParameter(0, GL_TEXTURE_HEIGHT);
            if (!everyLevel) {
                EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH) == 0, test.onlyLevelZero);
            }
            Bytes texels(std::size_t(width) * std::size_t(height) * 4);
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
            shown.push_back(texels);
            glDeleteTextures(1, &texture);
        }
        EXPECT_EQ(shown[1], shown[0]);
    }
}
