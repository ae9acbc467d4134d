#pragma once

// When level mode draws: only when something changed (an event, or something in view that moves
// with time), at most once every `interval` milliseconds, and never while the window is hidden.
// Nothing polls: a frame is asked of GLUT by a redisplay or a timer, and without either the
// program waits for the next event.
class FramePacer {
public:
    static constexpr int interval = 16; // milliseconds: about 60 frames a second at most

    // Something changed at `now` (milliseconds on GLUT's clock): a frame is drawn as soon as the
    // interval since the last one allows.
    void request(int now);
    // A frame was drawn at `now`; `moving`, something in view changes by itself, so the next is
    // asked for too.
    void frameShown(int now, bool moving);
    // The timer armed by request came due.
    void timerDue();
    // The window was hidden or minimised (false) or shown again (true, which asks for a frame).
    void setVisible(bool shown, int now);

    bool isWaiting() const { return !redisplayPosted && !timerArmed; } // at rest

private:
    void post();

    int lastFrame = -interval;
    bool visible = true;
    bool timerArmed = false;
    bool redisplayPosted = false;
};
