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
void onKeyboardUp(unsigned char key, int x, int y);
void onSpecialKeyUp(int key, int x, int y);
void onEntry(int state);
void onWindowStatus(int state);
// In start-up's order. Drawing when idle, display doubles as idle: every turn of the loop draws
// (configuration mode); otherwise a frame is drawn only when one is asked for (level mode).
void registerCallbacks(bool drawWhenIdle = true);
// Level mode adds, for the current window: key releases (auto-repeat ignored, so a held key is
// one press and one release), motion with a button held (look while firing), and leaving the
// window or having it hidden or covered, which lets the pointer and the held keys go.
void registerLevelModeCallbacks();
