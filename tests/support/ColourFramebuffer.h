#pragma once

#include <GL/glew.h>

namespace testsupport {

// A framebuffer with one RGBA colour attachment of the given size, bound and made the viewport
// while it lives; afterwards the window's framebuffer and viewport are back. Needs the test
// context (ensureGLContext).
class ColourFramebuffer {
public:
    ColourFramebuffer(int width, int height);
    ~ColourFramebuffer();
    ColourFramebuffer(const ColourFramebuffer&) = delete;
    ColourFramebuffer& operator=(const ColourFramebuffer&) = delete;

    bool complete() const { return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE; }

private:
    GLuint colour = 0;
    GLuint framebuffer = 0;
};

} // namespace testsupport
