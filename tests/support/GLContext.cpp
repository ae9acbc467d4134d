#include "GLContext.h"

#include <GL/glew.h>
#include <GL/glut.h>

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <stdexcept>

namespace testsupport {
namespace {
// Mesa unloads its driver at exit, before LeakSanitizer looks; the driver's own leaks then
// show up as "<unknown module>" and cannot be suppressed by name. Pinning every loaded
// driver library keeps them attributable to their libraries.
int pinDriverLibrary(dl_phdr_info* info, size_t, void*)
{
    const char* name = info->dlpi_name;
    if (name != nullptr && (std::strstr(name, "_dri.so") != nullptr || std::strstr(name, "gallium") != nullptr
                            || std::strstr(name, "LLVM") != nullptr))
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}
} // namespace


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
    dl_iterate_phdr(pinDriverLibrary, nullptr);
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
