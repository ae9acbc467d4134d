#include "app/Callbacks.h"

#include "app/OnScreenDisplay.h"
#include "app/StatusLine.h"
#include "camera/Camera.h"
#include "level/BSPMap.h"
#include "render/Frustum.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include <cstdlib>

std::unique_ptr<BSPMap> levelMap;
std::unique_ptr<Camera> camera;
std::unique_ptr<OnScreenDisplay> screenDisplay;
Friendlies* friendlies = nullptr;
Frustum frustum;

bool texturesEnabled = true;
bool lightingEnabled = true;
bool patchTessellationOn = false;
int tessellationLevel = 10;
int lastMouseX = 0;
int lastMouseY = 0;

namespace {
constexpr int minTessellationLevel = 2;
constexpr int maxTessellationLevel = 20;

int frameCount = 0;
int lastFrameTime = 0;  // milliseconds since glutInit
float frameSeconds = 0; // seconds between the last two frames
int lastFpsTime = 0;    // milliseconds since glutInit
int fps = 0;

StatusLine statusLine; // kept between frames so composing the line never allocates

void togglePatchTessellation()
{
    patchTessellationOn = !patchTessellationOn;
    if (patchTessellationOn) {
        levelMap->enablePatchTessellation();
        levelMap->retessellatePatches(tessellationLevel);
    } else {
        levelMap->disablePatchTessellation();
    }
}

void changeTessellationLevel(int step)
{
    const int level = tessellationLevel + step;
    if (level < minTessellationLevel || level > maxTessellationLevel)
        return;
    tessellationLevel = level;
    levelMap->retessellatePatches(tessellationLevel);
}
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
    statusLine.reset();
    const Point& eye = camera->getPosition();
    statusLine << "FPS:" << fps << " X:" << eye.getX() << " Y:" << eye.getY() << " Z:" << eye.getZ();
    levelMap->render(statusLine, frameSeconds, texturesEnabled, lightingEnabled);
    glutSwapBuffers();
}

void onKeyboard(unsigned char key, int, int)
{
    switch (key) {
    case 27:
        shutdown();
        std::exit(0);
    case 'w': camera->moveForward(5.0f); break;
    case 's': camera->moveBackward(5.0f); break;
    case 'a': camera->turnLeft(2); break;
    case 'd': camera->turnRight(2); break;
    case 'e': camera->lookUp(5); break;
    case 'r': camera->lookDown(5); break;
    case '=': camera->moveUp(7.0f); break;
    case '-': camera->moveDown(7.0f); break;
    case 'f': camera->fire(); break;
    case 'v':
        if (camera->isCullingEnabled())
            camera->disableCulling();
        else
            camera->enableCulling();
        break;
    case 't': texturesEnabled = !texturesEnabled; break;
    case 'l': lightingEnabled = !lightingEnabled; break;
    case 'b': togglePatchTessellation(); break;
    case '<': changeTessellationLevel(-1); break;
    case '>': changeTessellationLevel(+1); break;
    default: break;
    }
}

void onSpecialKey(int key, int, int)
{
    if (key == GLUT_KEY_LEFT)
        camera->strafeLeft(5.0f);
    else if (key == GLUT_KEY_RIGHT)
        camera->strafeRight(5.0f);
}

void onMouse(int button, int state, int, int)
{
    if (button == GLUT_LEFT_BUTTON && state == GLUT_DOWN)
        camera->fire();
}

void onPassiveMotion(int x, int y)
{
    const int dx = std::abs(x - lastMouseX);
    if (x > lastMouseX)
        camera->turnRight(dx);
    else
        camera->turnLeft(dx);
    const int dy = std::abs(y - lastMouseY);
    if (y > lastMouseY)
        camera->lookDown(dy);
    else
        camera->lookUp(dy);
    lastMouseX = x;
    lastMouseY = y;
}

void shutdown()
{
    screenDisplay.reset();
    camera.reset();
    levelMap.reset();
}
