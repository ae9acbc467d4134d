#pragma once

// The GLUT callbacks and the program-wide state they share. Everything runs on the one
// thread that calls glutMainLoop, so nothing here is locked.
class Friendlies;

extern Friendlies* friendlies; // set from the configuration; null without a "players" entry

void initGL();
void onDisplay();
void onReshape(int width, int height);
void onKeyboard(unsigned char key, int x, int y);
void onSpecialKey(int key, int x, int y);
void onMouse(int button, int state, int x, int y);
void onPassiveMotion(int x, int y);
void shutdown();
