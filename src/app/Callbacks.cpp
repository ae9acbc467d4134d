#include "app/Callbacks.h"

#include "app/Viewer.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include <cstdlib>

namespace {
Viewer* viewer = nullptr;
constexpr unsigned char escapeKey = 27;
} // namespace

void setCallbackViewer(Viewer* newViewer) { viewer = newViewer; }

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
    viewer->drawFrame();
    glutSwapBuffers();
}

void onKeyboard(unsigned char key, int, int)
{
    if (key == escapeKey) {
        viewer->shutdown();
        std::exit(0);
    }
    viewer->pressKey(key);
}

void onSpecialKey(int key, int, int) { viewer->pressSpecialKey(key); }

void onMouse(int button, int state, int, int) { viewer->pressMouseButton(button, state); }

void onPassiveMotion(int x, int y) { viewer->movePointer(x, y); }

void registerCallbacks()
{
    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutKeyboardFunc(onKeyboard);
    glutSpecialFunc(onSpecialKey);
    glutMouseFunc(onMouse);
    glutPassiveMotionFunc(onPassiveMotion);
    glutIdleFunc(onDisplay);
}
