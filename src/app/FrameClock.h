#pragma once

// The frame's time: the seconds since the frame before, and the frames per second the status
// line shows, counted over each second and 0 within the first. A stopped clock (a snapshot's)
// gives every frame no time, so a picture depends on nothing but its options.
class FrameClock {
public:
    // A frame drawn at `now`, milliseconds on GLUT's elapsed-time clock.
    void tick(int now);
    void stop() { stopped = true; }
    bool isStopped() const { return stopped; }

    int lastFrameTime() const { return lastFrame; } // milliseconds, where a stopped clock stays
    float frameSeconds() const { return seconds; }
    int framesPerSecond() const { return fps; }

private:
    bool stopped = false;
    int frameCount = 0;  // frames since the last frames-per-second update
    int lastFrame = 0;   // milliseconds since glutInit
    float seconds = 0;   // between the last two frames
    int lastFpsTime = 0; // milliseconds since glutInit
    int fps = 0;
};
