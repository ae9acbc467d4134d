#include "app/Callbacks.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include <cstdlib>
#include <sstream>

Friendlies* friendlies = nullptr;

namespace {
int frameCount = 0;
int lastFrameTime = 0;  // milliseconds since glutInit
float frameSeconds = 0; // time between the last two frames
int lastFpsTime = 0;    // milliseconds since glutInit
int fps = 0;
} // namespace

void initGL()
{
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_COLOR_MATERIAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

void onReshape(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(width) / double(height), 1.25, 4000.0);
    // Every frame pushes this identity and loads the camera's view on top of it.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void onDisplay()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    frameCount += 1;
    const int now = glutGet(GLUT_ELAPSED_TIME);
    frameSeconds = float((now - lastFrameTime) / 1000.0);
    lastFrameTime = now;
    if (now - lastFpsTime > 1000) {
        fps = int(frameCount * 1000.0 / (now - lastFpsTime));
        lastFpsTime = now;
        frameCount = 0;
    }
    std::ostringstream text;
    text << "FPS:" << fps;
    glutSwapBuffers();
}

void onKeyboard(unsigned char key, int, int)
{
    if (key == 27) {
        shutdown();
        std::exit(0);
    }
}

void onSpecialKey(int, int, int) {}

void onMouse(int, int, int, int) {}

void onPassiveMotion(int, int) {}

void shutdown() {}
