#include "app/OffscreenContext.h"

// EGL's headers would otherwise pull in Xlib for a window system this class never uses.
#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glew.h>

#include <cstring>
#include <vector>

namespace {

bool hasExtension(const char* extensions, const char* name)
{
    if (extensions == nullptr)
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at != nullptr; at = std::strstr(at + length, name))
        if ((at == extensions || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
            return true;
    return false;
}

template <typename Function>
Function eglFunction(const char* name)
{
    return reinterpret_cast<Function>(eglGetProcAddress(name));
}

EGLDisplay initialised(EGLDisplay display)
{
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr) == EGL_TRUE)
        return display;
    return EGL_NO_DISPLAY;
}

// The first device whose display initialises (the device platform, for EGL without Mesa's
// surfaceless one).
EGLDisplay firstDeviceDisplay(PFNEGLGETPLATFORMDISPLAYEXTPROC platformDisplay)
{
    const auto queryDevices = eglFunction<PFNEGLQUERYDEVICESEXTPROC>("eglQueryDevicesEXT");
    EGLint count = 0;
    if (queryDevices == nullptr || queryDevices(0, nullptr, &count) != EGL_TRUE || count <= 0)
        return EGL_NO_DISPLAY;
    std::vector<EGLDeviceEXT> devices(static_cast<std::size_t>(count));
    if (queryDevices(count, devices.data(), &count) != EGL_TRUE)
        return EGL_NO_DISPLAY;
    for (EGLint index = 0; index < count; ++index)
        if (EGLDisplay display = initialised(platformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[index], nullptr));
            display != EGL_NO_DISPLAY)
            return display;
    return EGL_NO_DISPLAY;
}

} // namespace

OffscreenContext::OffscreenContext(int width, int height)
{
    try {
        open(width, height);
    } catch (...) {
        release();
        throw;
    }
}

OffscreenContext::~OffscreenContext() { release(); }

void OffscreenContext::open(int width, int height)
{
    openDisplay();
    createContext();
    initialiseExtensions();
    createFramebuffer(width, height);
    described += std::string(", ") + reinterpret_cast<const char*>(glGetString(GL_RENDERER));
}

void OffscreenContext::openDisplay()
{
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const auto platformDisplay = eglFunction<PFNEGLGETPLATFORMDISPLAYEXTPROC>("eglGetPlatformDisplayEXT");
    if (!hasExtension(clientExtensions, "EGL_EXT_platform_base") || platformDisplay == nullptr)
        throw OffscreenUnavailable("EGL has no platform displays");
    if (hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        display = initialised(platformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr));
        described = "EGL surfaceless";
    }
    if (display == EGL_NO_DISPLAY && hasExtension(clientExtensions, "EGL_EXT_platform_device")) {
        display = firstDeviceDisplay(platformDisplay);
        described = "EGL device";
    }
    if (display == EGL_NO_DISPLAY)
        throw OffscreenUnavailable("no EGL display without a window system");
}

// The frame is OpenGL 1.x with buffer objects: a compatibility profile, whatever its version.
void OffscreenContext::createContext()
{
    const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
    if (!hasExtension(extensions, "EGL_KHR_surfaceless_context"))
        throw OffscreenUnavailable("EGL cannot make a context current without a surface");
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE)
        throw OffscreenUnavailable("EGL offers no desktop OpenGL");
    EGLConfig config = EGL_NO_CONFIG_KHR;
    if (!hasExtension(extensions, "EGL_KHR_no_config_context")) {
        const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_NONE};
        EGLint found = 0;
        if (eglChooseConfig(display, wanted, &config, 1, &found) != EGL_TRUE || found == 0)
            throw OffscreenUnavailable("EGL has no configuration for desktop OpenGL");
    }
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                 EGL_NONE};
    context = eglCreateContext(display, config, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT)
        throw OffscreenUnavailable("EGL cannot create a desktop OpenGL context");
    if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) != EGL_TRUE)
        throw OffscreenUnavailable("EGL cannot make its context current");
}

// GLEW 2.2 as Debian builds it loads the GL entry points first, then GLX's, which fail without
// an X display: that failure is GLX's alone, so the entry points the frame needs are checked
// instead.
void OffscreenContext::initialiseExtensions() const
{
    const GLenum status = glewInit();
    if (status != GLEW_OK && status != GLEW_ERROR_NO_GLX_DISPLAY)
        throw OffscreenUnavailable(std::string("cannot load OpenGL extensions: ")
                                   + reinterpret_cast<const char*>(glewGetErrorString(status)));
    if (!GLEW_VERSION_2_1 || glGenFramebuffers == nullptr || glBindFramebuffer == nullptr
        || glRenderbufferStorage == nullptr || glFramebufferRenderbuffer == nullptr
        || glCheckFramebufferStatus == nullptr)
        throw OffscreenUnavailable("the OpenGL context lacks OpenGL 2.1 or framebuffer objects");
}

// The formats of the window's buffers: no alpha (GLUT_RGBA asks for none), 24-bit depth.
void OffscreenContext::createFramebuffer(int width, int height)
{
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width, height);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glGenFramebuffers(1, &framebuffer);
    // Stays bound: every draw and read of the pictures goes to it.
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        throw OffscreenUnavailable("the framebuffer for " + std::to_string(width) + "x" + std::to_string(height)
                                   + " pixels is incomplete");
    glViewport(0, 0, width, height);
}

void OffscreenContext::release()
{
    if (context != EGL_NO_CONTEXT) {
        if (framebuffer != 0) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glDeleteFramebuffers(1, &framebuffer);
        }
        const GLuint renderbuffers[] = {colour, depth};
        if (colour != 0 || depth != 0)
            glDeleteRenderbuffers(2, renderbuffers);
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context);
    }
    if (display != EGL_NO_DISPLAY)
        eglTerminate(display);
    context = EGL_NO_CONTEXT;
    display = EGL_NO_DISPLAY;
}
