#pragma once

#include <vector>

// The picture of the frame just drawn, read from the back buffer after drawing and before the
// swap: after a swap the back buffer's contents are undefined, and the front buffer of a window
// that is hidden or covered holds no pixels on some drivers. Off-screen (a framebuffer object
// bound for reading) it is read from that framebuffer's first colour attachment instead.
// Allocates; taken only on request.
class FrameCapture {
public:
    // The viewport's pixels (the whole window once the reshape callback has set it). Leaves the
    // read buffer and the pack alignment as it found them.
    static FrameCapture ofBackBuffer();

    int width = 0;  // pixels
    int height = 0; // pixels
    std::vector<unsigned char> rgb; // width * height * 3 bytes, rows from the top as a picture file wants
};
