#include "app/FramePacer.h"

#include "app/Callbacks.h"

#include <GL/glut.h>

void FramePacer::request(int now)
{
    if (!visible || redisplayPosted || timerArmed)
        return;
    const int wait = lastFrame + interval - now;
    if (wait <= 0) {
        post();
        return;
    }
    timerArmed = true;
    glutTimerFunc(unsigned(wait), onFrameTimer, 0);
}

void FramePacer::frameShown(int now, bool moving)
{
    lastFrame = now;
    redisplayPosted = false;
    if (moving)
        request(now);
}

void FramePacer::timerDue()
{
    timerArmed = false;
    if (visible)
        post();
}

void FramePacer::setVisible(bool shown, int now)
{
    visible = shown;
    if (shown)
        request(now);
}

void FramePacer::post()
{
    redisplayPosted = true;
    glutPostRedisplay();
}
