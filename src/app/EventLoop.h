#pragma once

class Viewer;

// Level mode's loop in place of GLUT's, so that a viewer at rest sleeps: GLUT's events are
// handled as they come (glutMainLoopEvent), and between them the program waits in poll() on the
// display connection and the level's watch together, with no timeout unless a frame the viewer
// asked for, or a change of its files settling, is due. Each time it wakes it tells the viewer
// whether the window has the keyboard, as the display says.
class EventLoop {
public:
    explicit EventLoop(Viewer& viewer) : viewer(viewer) {}
    [[noreturn]] void run();

private:
    Viewer& viewer;
};
