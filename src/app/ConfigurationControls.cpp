#include "app/ConfigurationControls.h"

#include "app/Callbacks.h"
#include "camera/Camera.h"

#include <GL/glut.h>

#include <cstdlib>

void ConfigurationControls::listen() const { registerCallbacks(true); }

void ConfigurationControls::run(Viewer&) const
{
    glutMainLoop();
    std::exit(0); // freeglut returns only when asked to; the window's close ends the program
}

bool ConfigurationControls::pressKey(unsigned char key, const Scene& scene)
{
    Camera& camera = scene.camera;
    switch (key) {
    case 'w': camera.moveForward(5.0f); return true;
    case 's': camera.moveBackward(5.0f); return true;
    case 'a': camera.turnLeft(2); return true;
    case 'd': camera.turnRight(2); return true;
    case 'e': camera.lookUp(5); return true;
    case 'r': camera.lookDown(5); return true;
    case '=': camera.moveUp(7.0f); return true;
    case '-': camera.moveDown(7.0f); return true;
    default: return false;
    }
}

void ConfigurationControls::pressSpecialKey(int key, Camera& camera)
{
    if (key == GLUT_KEY_LEFT)
        camera.strafeLeft(5.0f);
    else if (key == GLUT_KEY_RIGHT)
        camera.strafeRight(5.0f);
}

void ConfigurationControls::movePointer(int x, int y, Camera& camera)
{
    const int dx = std::abs(x - lastMouseX);
    if (x > lastMouseX)
        camera.turnRight(dx);
    else
        camera.turnLeft(dx);
    const int dy = std::abs(y - lastMouseY);
    if (y > lastMouseY)
        camera.lookDown(dy);
    else
        camera.lookUp(dy);
    lastMouseX = x;
    lastMouseY = y;
}
