#pragma once

#include <functional>

class Viewer;

// The GLUT callbacks. They reach the running viewer through one pointer, set once by
// start-up; everything runs on the one thread that calls glutMainLoop, so nothing is locked.
void setCallbackViewer(Viewer* viewer);

// Runs one callback body. An exception that escapes it is printed as "verdanth: <what>",
// the running viewer (if any) is shut down, and the answer is false: the caller then ends
// the program with status 1. Nothing escapes into GLUT.
bool runGuarded(Viewer* running, const std::function<void()>& body);

void initGL();
void onDisplay();
void onReshape(int width, int height);
void onKeyboard(unsigned char key, int x, int y);
void onSpecialKey(int key, int x, int y);
void onMouse(int button, int state, int x, int y);
void onPassiveMotion(int x, int y);
void registerCallbacks(); // in start-up's order; display doubles as idle
