#pragma once

#include <string>

// The pictures the 'p' key asks for. The key only marks one as wanted; it is taken after the
// next frame is drawn and before the buffers are swapped (render/FrameCapture.h says why), so
// a frame with no picture wanted costs the test of a flag and allocates nothing.
class Screenshots {
public:
    explicit Screenshots(std::string folder); // where the pictures go; "" is the current folder

    void request();
    // After drawing, before the swap. Prints "screenshot PATH" on stderr, or one line saying why
    // the picture could not be written; either way the viewer goes on.
    void takePending();

private:
    std::string nextPath(); // verdanth-YYYYMMDD-HHMMSS-N.png, local time, N from 1 within the run

    std::string folder;
    int named = 0; // pictures named in this run, written or not, so no two share a name
    bool wanted = false;
};
