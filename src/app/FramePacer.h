#pragma once

// When level mode draws: only when something changed (an event, or something in view that moves
// with time), at most once every `interval` milliseconds (`unfocusedInterval` while another
// window has the keyboard), and never while the window is hidden. Nothing polls: a frame wanted
// now is a redisplay; one wanted later is a time the event loop sleeps until (untilDue), and
// without either the program sleeps until the next event.
class FramePacer {
public:
    static constexpr int interval = 16;          // milliseconds: about 60 frames a second at most
    static constexpr int unfocusedInterval = 66; // about 15 frames a second

    // Something changed at `now` (milliseconds on GLUT's clock): a frame is drawn as soon as the
    // interval since the last one allows.
    void request(int now);
    // A frame was drawn at `now`; `moving`, something in view changes by itself, so the next is
    // asked for too.
    void frameShown(int now, bool moving);
    // Milliseconds from `now` until a frame is due: 0 for one asked of GLUT already, -1 for none.
    int untilDue(int now) const;
    // The loop woke at `now`: a frame due by then is asked of GLUT.
    void wake(int now);
    // The window was hidden or minimised (false) or shown again (true, which asks for a frame).
    void setVisible(bool shown, int now);
    // Whether the window has the keyboard: without it, animation slows to unfocusedInterval.
    void setFocused(bool focused) { hasFocus = focused; }

    bool isWaiting() const { return !redisplayPosted && dueAt < 0; } // at rest

private:
    void post();

    int lastFrame = -interval;
    int dueAt = -1; // when a frame is wanted later; -1 for none
    bool visible = true;
    bool hasFocus = true;
    bool redisplayPosted = false;
};
