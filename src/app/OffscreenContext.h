#pragma once

#include <stdexcept>
#include <string>

// A desktop OpenGL compatibility context with no window and no X server, for pictures only:
// EGL's surfaceless Mesa platform (else its device platform), drawing into a framebuffer object
// of the picture's size (colour and depth renderbuffers) that stays bound, as the draw and the
// read target, for the context's life. GLEW is initialised on it. Owns the EGL display's
// initialisation, the context and the framebuffer; the context is current while it lives.
class OffscreenContext {
public:
    // Throws OffscreenUnavailable saying what is missing (no EGL platform, no context, ...).
    OffscreenContext(int width, int height); // pixels
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // "EGL surfaceless, llvmpipe (LLVM 15.0.6, 256 bits)": the platform and GL_RENDERER.
    const std::string& description() const { return described; }

private:
    void open(int width, int height);
    void openDisplay();
    void createContext();
    void initialiseExtensions() const;
    void createFramebuffer(int width, int height);
    void release();

    void* display = nullptr; // EGLDisplay, initialised
    void* context = nullptr; // EGLContext
    unsigned framebuffer = 0;
    unsigned colour = 0; // renderbuffers
    unsigned depth = 0;
    std::string described;
};

// No off-screen context here; the picture is then drawn in a hidden window instead.
class OffscreenUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
