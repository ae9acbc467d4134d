#include "app/FramePacer.h"

#include <GL/glut.h>

void FramePacer::request(int now)
{
    if (!visible || redisplayPosted || dueAt >= 0)
        return;
    const int wait = lastFrame + (hasFocus ? interval : unfocusedInterval) - now;
    if (wait <= 0)
        post();
    else
        dueAt = now + wait;
}

void FramePacer::frameShown(int now, bool moving)
{
    lastFrame = now;
    redisplayPosted = false;
    if (moving)
        request(now);
}

int FramePacer::untilDue(int now) const
{
    if (redisplayPosted)
        return 0;
    if (dueAt < 0)
        return -1;
    return dueAt > now ? dueAt - now : 0;
}

void FramePacer::wake(int now)
{
    if (dueAt < 0 || dueAt > now)
        return;
    dueAt = -1;
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
