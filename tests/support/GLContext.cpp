#include "GLContext.h"

#include <GL/glew.h>
#include <GL/glut.h>

#include <cstdlib>
#include <stdexcept>

namespace testsupport {

void ensureGLContext()
{
    static int window = 0;
    if (window != 0) {
        glutSetWindow(window);
        return;
    }
    if (std::getenv("DISPLAY") == nullptr)
        throw std::runtime_error("GL tests need an X display (scripts/test starts Xvfb)");
    int argc = 1;
    char name[] = "verdanth-test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(contextWidth, contextHeight);
    window = glutCreateWindow("verdanth-test");
    glutHideWindow();
    if (glewInit() != GLEW_OK)
        throw std::runtime_error("glewInit failed");
    glViewport(0, 0, contextWidth, contextHeight);
}

Rgb readPixel(int x, int y)
{
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return {pixel[0], pixel[1], pixel[2]};
}

} // namespace testsupport
