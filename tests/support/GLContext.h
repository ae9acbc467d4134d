#pragma once

// A hidden GLUT window with a current OpenGL context for tests that need real GL.
// Created once per test process; under Xvfb it runs on Mesa's software renderer.
namespace testsupport {

constexpr int contextWidth = 64;
constexpr int contextHeight = 64;

// Creates the context on first use (glutInit, window, glewInit) and makes it current.
void ensureGLContext();

// Reads one RGB pixel of the back buffer (window coordinates, origin lower left).
struct Rgb {
    int r, g, b;
};
Rgb readPixel(int x, int y);

} // namespace testsupport
