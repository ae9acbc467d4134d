#include "render/FrameCapture.h"

#include "image/RowOrder.h"

#include <GL/glew.h>

#include <algorithm>

FrameCapture FrameCapture::ofBackBuffer()
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    FrameCapture frame;
    frame.width = viewport[2];
    frame.height = viewport[3];
    frame.rgb.resize(std::size_t(frame.width) * std::size_t(frame.height) * 3);

    GLint readBuffer = GL_BACK;
    GLint packAlignment = 4;
    GLint framebuffer = 0;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &framebuffer);
    // An off-screen context draws into a framebuffer object, which has no back buffer.
    glReadBuffer(framebuffer == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1); // rows of width * 3 bytes, unpadded
    glReadPixels(viewport[0], viewport[1], frame.width, frame.height, GL_RGB, GL_UNSIGNED_BYTE, frame.rgb.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glReadBuffer(GLenum(readBuffer));

    // GL gives the bottom row first.
    RowOrder::reverse(frame.rgb, std::size_t(frame.width) * 3, std::size_t(frame.height));
    return frame;
}
