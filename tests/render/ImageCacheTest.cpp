#include "render/ImageCache.h"

#include "files/DataRoot.h"
#include "level/TextureResolver.h"

#include "GLContext.h"
#include "TestFiles.h"
#include "../image/TestImages.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {
GLint boundParameter(GLuint texture, GLenum name)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

GLint boundWidth(GLuint texture)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &value);
    return value;
}

class ImageCacheTest : public testing::Test {
protected:
    void SetUp() override
    {
        testsupport::ensureGLContext();
        folder.write("a.jpg", testimages::encodeJpeg(64, 32, 3, JCS_RGB, testimages::redOverBlue()));
        for (const char* name : {"b.jpg", "c.jpg", "d.jpg"})
            folder.write(name, testimages::encodeJpeg(8, 8, 3, JCS_RGB, testimages::Bytes(8 * 8 * 3, 90)));
        folder.write("bad.jpg", std::string("not a jpeg"));
    }

    testsupport::TempDir folder;
    std::ostringstream log;
    DataRoot root{folder.path(), false, log};
    TextureResolver resolver{root, nullptr};
};

constexpr std::size_t eightByEightBytes = 8 * 8 * 4 * 4 / 3; // RGBA and its mipmaps
} // namespace

TEST_F(ImageCacheTest, EachImageIsDecodedOnceAndSharedPerWrapping)
{
    GLuint kept = 0;
    {
        ImageCache cache(resolver, {}, log);
        kept = cache.texture("a.jpg");
        ASSERT_NE(kept, 0u);
        EXPECT_EQ(cache.texture("a.jpg"), kept) << "a second record naming it shares it";
        const GLuint clamped = cache.texture("a.jpg", ImageCache::Wrap::clampToEdge);
        EXPECT_NE(clamped, kept);
        EXPECT_EQ(boundParameter(kept, GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(boundParameter(clamped, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
        EXPECT_EQ(cache.bytesUsed(), 2 * std::size_t(64 * 32 * 4 * 4 / 3));

        EXPECT_EQ(cache.texture("missing.jpg"), 0u);
        EXPECT_EQ(cache.texture("bad.jpg"), 0u);
        EXPECT_EQ(cache.texture("bad.jpg"), 0u);
        const std::string lines = log.str();
        EXPECT_EQ(lines.find("bad.jpg: "), lines.rfind("bad.jpg: ")) << "one line, one decode: " << lines;
        EXPECT_NE(lines.find("bad.jpg: "), std::string::npos) << lines;
    }
    EXPECT_FALSE(glIsTexture(kept)) << "the cache deletes what it made";
}

TEST_F(ImageCacheTest, AnImageOverTheSideLimitIsShownSmallerWithOneLine)
{
    ImageCache cache(resolver, {16, ImageCache::Limits{}.budgetBytes}, log);
    EXPECT_EQ(cache.maxSide(), 16u);
    const GLuint texture = cache.texture("a.jpg");
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(boundWidth(texture), 16);
    EXPECT_EQ(log.str(), "a.jpg: 64 x 32 is larger than 16 on a side; shown at 16 x 8\n");
    EXPECT_EQ(boundWidth(cache.texture("b.jpg")), 8) << "within the limit, as it is";

    GLint glLimit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &glLimit);
    const ImageCache generous(resolver, {uint32_t(glLimit) * 2, 0}, log);
    EXPECT_EQ(generous.maxSide(), uint32_t(glLimit)) << "never past what GL takes";
}

TEST_F(ImageCacheTest, ImagesPastTheBudgetAreNotUploadedAndSaidOnce)
{
    ImageCache cache(resolver, {4096, 2 * eightByEightBytes + 10}, log);
    EXPECT_NE(cache.texture("b.jpg"), 0u);
    EXPECT_NE(cache.texture("c.jpg"), 0u);
    EXPECT_EQ(cache.texture("d.jpg"), 0u);
    EXPECT_EQ(cache.texture("a.jpg"), 0u);
    EXPECT_NE(cache.texture("b.jpg"), 0u) << "what fitted stays";
    EXPECT_EQ(cache.bytesUsed(), 2 * eightByEightBytes);
    const std::string lines = log.str();
    EXPECT_EQ(lines.rfind("d.jpg: past the texture budget of ", 0), 0u) << lines;
    EXPECT_EQ(lines.find('\n'), lines.size() - 1) << "one line: " << lines;
}
