#include "app/Callbacks.h"

#include "app/Viewer.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include <cstdlib>
#include <exception>
#include <functional>
#include <iostream>

namespace {
Viewer* viewer = nullptr;
constexpr unsigned char escapeKey = 27;

// Runs a callback body; whatever escapes it ends the program with status 1, the reason printed
// and the level released first, since an exception must not cross GLUT's C frames.
template <typename Body>
void guarded(Body&& body)
{
    if (!runGuarded(viewer, body))
        std::exit(1);
}

// An input event: whatever it changed is drawn.
template <typename Body>
void handled(Body&& body)
{
    guarded([&body] {
        body();
        viewer->changed();
    });
}

void reshapeProjection(int width, int height)
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
} // namespace

void setCallbackViewer(Viewer* newViewer) { viewer = newViewer; }

bool runGuarded(Viewer* running, const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        std::cerr << "verdanth: " << error.what() << std::endl;
    } catch (...) {
        std::cerr << "verdanth: unexpected error" << std::endl;
    }
    if (running != nullptr)
        running->shutdown();
    return false;
}

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
    guarded([width, height] { reshapeProjection(width, height); }); // GLUT redraws after it
}

void onDisplay()
{
    guarded([] {
        viewer->drawFrame();
        viewer->frameDrawn();
        glutSwapBuffers();
        viewer->frameShown();
    });
}

void onKeyboard(unsigned char key, int, int)
{
    handled([key] {
        if (key != escapeKey || viewer->controls().escapeCloses()) {
            viewer->pressKey(key);
            return;
        }
        viewer->shutdown();
        std::exit(0);
    });
}

void onSpecialKey(int key, int, int)
{
    handled([key] { viewer->pressSpecialKey(key); });
}

void onMouse(int button, int state, int x, int y)
{
    handled([button, state, x, y] { viewer->pressMouseButton(button, state, x, y); });
}

void onPassiveMotion(int x, int y)
{
    handled([x, y] { viewer->movePointer(x, y); });
}

void onKeyboardUp(unsigned char key, int, int)
{
    handled([key] { viewer->releaseKey(key); });
}

void onSpecialKeyUp(int key, int, int)
{
    handled([key] { viewer->releaseSpecialKey(key); });
}

void onEntry(int state)
{
    guarded([state] {
        if (state == GLUT_LEFT)
            viewer->loseFocus();
    });
}

void onWindowStatus(int state)
{
    guarded([state] {
        if (state != GLUT_FULLY_RETAINED)
            viewer->loseFocus();
        viewer->windowShown(state == GLUT_FULLY_RETAINED || state == GLUT_PARTIALLY_RETAINED);
    });
}

void registerLevelModeCallbacks()
{
    glutIgnoreKeyRepeat(1);
    glutKeyboardUpFunc(onKeyboardUp);
    glutSpecialUpFunc(onSpecialKeyUp);
    glutMotionFunc(onPassiveMotion);
    glutEntryFunc(onEntry);
    glutWindowStatusFunc(onWindowStatus);
}

void registerCallbacks(bool drawWhenIdle)
{
    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutKeyboardFunc(onKeyboard);
    glutSpecialFunc(onSpecialKey);
    glutMouseFunc(onMouse);
    glutPassiveMotionFunc(onPassiveMotion);
    if (drawWhenIdle)
        glutIdleFunc(onDisplay);
}
