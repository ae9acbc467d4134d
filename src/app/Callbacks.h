#pragma once

#include <memory>

// The GLUT callbacks and the program-wide state they share. Everything runs on the one
// thread that calls glutMainLoop, so nothing here is locked.
class BSPMap;
class Camera;
class Friendlies;
class Frustum;
class OnScreenDisplay;

extern std::unique_ptr<BSPMap> levelMap;
extern std::unique_ptr<Camera> camera;
extern std::unique_ptr<OnScreenDisplay> screenDisplay;
extern Friendlies* friendlies; // from the configuration; null without a "players" entry
extern Frustum frustum;        // the one view frustum, given to the camera

extern bool texturesEnabled;     // 't'
extern bool lightingEnabled;     // 'l'
extern bool patchTessellationOn; // 'b', mirrors the level's patchesTessellated
extern int tessellationLevel;    // kept within 2..20 by '<' and '>'
extern int lastMouseX;           // window pixels at the previous passive motion
extern int lastMouseY;

void initGL();
void onDisplay();
void onReshape(int width, int height);
void onKeyboard(unsigned char key, int x, int y);
void onSpecialKey(int key, int x, int y);
void onMouse(int button, int state, int x, int y);
void onPassiveMotion(int x, int y);
void shutdown(); // releases the display, the camera and the level, in that order
