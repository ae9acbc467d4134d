#include "camera/MouseLook.h"

#include "camera/Camera.h"

#include <cstdlib>

bool MouseLook::hold(int x, int y, int width, int height)
{
    held = true;
    warpPending = false;
    lastX = x;
    lastY = y;
    // Off centre by even a pixel: a warp to where the pointer already is would bring no motion.
    if (x == width / 2 && y == height / 2)
        return false;
    warpPending = true;
    return true;
}

bool MouseLook::moved(int x, int y, int width, int height, Camera& camera)
{
    if (!held)
        return false;
    if (warpPending && x == width / 2 && y == height / 2) {
        warpPending = false;
        lastX = x;
        lastY = y;
        return false;
    }
    camera.turnRight((x - lastX) * degreesPerPixel);
    camera.lookDown((y - lastY) * degreesPerPixel); // window y grows downwards
    lastX = x;
    lastY = y;
    return asksForWarp(x, y, width, height);
}

bool MouseLook::asksForWarp(int x, int y, int width, int height)
{
    if (warpPending)
        return false;
    const int reach = (width < height ? width : height) / 4;
    if (std::abs(x - width / 2) <= reach && std::abs(y - height / 2) <= reach)
        return false;
    warpPending = true;
    return true;
}
