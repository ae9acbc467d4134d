#include "render/FrameCapture.h"

#include "ColourFramebuffer.h"
#include "GLContext.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

TEST(FrameCapture, ReadsTheViewportTopRowFirstAndLeavesReadStateAlone)
{
    testsupport::ensureGLContext();
    // 63 x 61: rows of 189 bytes, which a 4-byte pack alignment would pad.
    constexpr int width = 63, height = 61;
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // A red block at the lower left corner of the window, 10 x 5 pixels.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 10, 5);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    glReadBuffer(GL_FRONT);

    const FrameCapture frame = FrameCapture::ofBackBuffer();

    std::vector<unsigned char> expected;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char red = x < 10 && y >= height - 5 ? 255 : 0;
            expected.insert(expected.end(), {red, 0, static_cast<unsigned char>(255 - red)});
        }
    EXPECT_EQ(frame.width, width);
    EXPECT_EQ(frame.height, height);
    EXPECT_EQ(frame.rgb, expected);
    GLint alignment = 0, readBuffer = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    EXPECT_EQ(alignment, 8);
    EXPECT_EQ(readBuffer, GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glViewport(0, 0, testsupport::contextWidth, testsupport::contextHeight);
}

// Off-screen, the frame is drawn into a framebuffer object, which has no back buffer: the
// capture reads its colour attachment, not the window's back buffer behind it.
TEST(FrameCapture, ReadsTheBoundFramebufferInsteadOfTheBackBuffer)
{
    testsupport::ensureGLContext();
    constexpr int width = 8, height = 4;
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT); // the window's back buffer: blue
    const testsupport::ColourFramebuffer target(width, height);
    ASSERT_TRUE(target.complete());
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT); // the framebuffer: green

    const FrameCapture frame = FrameCapture::ofBackBuffer();

    std::vector<unsigned char> green;
    for (int pixel = 0; pixel < width * height; ++pixel)
        green.insert(green.end(), {0, 255, 0});
    EXPECT_EQ(frame.rgb, green);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
