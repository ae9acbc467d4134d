#pragma once

class Viewer;

// The GLUT callbacks. They reach the running viewer through one pointer, set once by
// start-up; everything runs on the one thread that calls glutMainLoop, so nothing is locked.
void setCallbackViewer(Viewer* viewer);

void initGL();
void onDisplay();
void onReshape(int width, int height);
void onKeyboard(unsigned char key, int x, int y);
void onSpecialKey(int key, int x, int y);
void onMouse(int button, int state, int x, int y);
void onPassiveMotion(int x, int y);
void registerCallbacks(); // in start-up's order; display doubles as idle
