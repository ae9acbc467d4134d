#include "render/ReadableText.h"

#include "GLContext.h"

#include <GL/glew.h>
#include <GL/glut.h>

#include <gtest/gtest.h>

#include <vector>

namespace {
using testsupport::contextHeight;
using testsupport::contextWidth;

struct Backing {
    int rows = 0;        // rows holding a dark pixel
    int darkPixels = 0;  // the backing: well below the white behind it
    int textPixels = 0;  // white pixels between dark ones in a row
};

// The text over a white scene in a window `height` pixels high, of which the test's context shows
// the lowest 64 rows.
Backing drawOverWhite(int height)
{
    glViewport(0, 0, contextWidth, height);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    ReadableText().draw("XXXXXXXX");
    std::vector<unsigned char> pixels(contextWidth * contextHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, contextWidth, contextHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    Backing backing;
    for (int y = 0; y < contextHeight; ++y) {
        int dark = 0, whiteSinceDark = 0;
        for (int x = 0; x < contextWidth; ++x) {
            const unsigned char red = pixels[std::size_t(y * contextWidth + x) * 3];
            if (red < 160) {
                dark += 1;
                backing.textPixels += dark > 1 ? whiteSinceDark : 0;
                whiteSinceDark = 0;
            }
            whiteSinceDark += red == 255 ? 1 : 0;
        }
        backing.rows += dark > 0 ? 1 : 0;
        backing.darkPixels += dark;
    }
    return backing;
}
} // namespace

// White text on a dark band reads over white; a lower window gets a lower band.
TEST(ReadableTextTest, DarkBackingUnderWhiteTextSizedToTheWindow)
{
    testsupport::ensureGLContext();
    int previousRows = 0;
    for (const int height : {180, 480, 720}) {
        SCOPED_TRACE(height);
        const Backing backing = drawOverWhite(height);
        EXPECT_GT(backing.darkPixels, 100);
        EXPECT_GT(backing.textPixels, 10);
        EXPECT_GT(backing.rows, previousRows);
        previousRows = backing.rows;
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[3], height);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f) << "white, as the frame leaves it";
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
