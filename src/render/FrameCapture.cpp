#include "render/FrameCapture.h"

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
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1); // rows of width * 3 bytes, unpadded
    glReadPixels(viewport[0], viewport[1], frame.width, frame.height, GL_RGB, GL_UNSIGNED_BYTE, frame.rgb.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glReadBuffer(GLenum(readBuffer));

    // GL gives the bottom row first.
    const std::size_t rowBytes = std::size_t(frame.width) * 3;
    for (int top = 0, bottom = frame.height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(frame.rgb.begin() + std::ptrdiff_t(top * rowBytes),
                         frame.rgb.begin() + std::ptrdiff_t((top + 1) * rowBytes),
                         frame.rgb.begin() + std::ptrdiff_t(bottom * rowBytes));
    return frame;
}
