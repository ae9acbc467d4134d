#include "app/EventLoop.h"

#include "app/Callbacks.h"
#include "app/Viewer.h"

#include <GL/glut.h>
#include <GL/freeglut_ext.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <poll.h>

#include <cerrno>
#include <cstdlib>

namespace {

// Whether the window has the keyboard: without a window manager (focus on the root, or
// following the pointer) every window counts as having it.
bool hasFocus(Display* display, Window window)
{
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus == window || focus == PointerRoot || focus == None;
}
} // namespace

void EventLoop::run()
{
    Display* const display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    for (;;) {
        glutMainLoopEvent(); // the events queued, then any frame asked for
        int timeout = -1;
        int descriptor = -1;
        if (!runGuarded(&viewer, [&] {
                const int now = glutGet(GLUT_ELAPSED_TIME);
                viewer.setFocused(display == nullptr || hasFocus(display, window));
                viewer.wake(now);
                timeout = viewer.untilWake(now);
                descriptor = viewer.watchDescriptor();
            }))
            std::exit(1);
        if (display != nullptr && XPending(display) > 0)
            continue; // events already read from the connection wait in Xlib's queue
        if (timeout == 0)
            continue;
        if (display != nullptr)
            XFlush(display);
        pollfd waits[2] = {{display != nullptr ? ConnectionNumber(display) : -1, POLLIN, 0}, {descriptor, POLLIN, 0}};
        while (poll(waits, 2, timeout) < 0 && errno == EINTR) {
        }
    }
}
