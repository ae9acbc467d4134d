#include "app/FrameClock.h"

void FrameClock::tick(int now)
{
    frameCount += 1;
    seconds = float((now - lastFrame) / 1000.0);
    lastFrame = now;
    if (now - lastFpsTime > 1000) {
        fps = int(frameCount * 1000.0 / (now - lastFpsTime));
        lastFpsTime = now;
        frameCount = 0;
    }
}
