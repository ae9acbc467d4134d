#pragma once

#include <string>

class Viewer;

// --snapshot: the level drawn from its start for a few frames and the last one written as a
// PNG, with no main loop and nobody at the window; --overview, a map of it, the same way. The
// picture is read from the back buffer before the swap, not from the screen, so a hidden or
// covered window gives the same picture; off-screen (app/OffscreenContext) it is read from the
// framebuffer drawn into, and nothing is swapped.
class Snapshot {
public:
    static constexpr int defaultFrames = 2;

    enum class Target { hiddenWindow, offscreen }; // where the current GL context draws

    // Draws `frames` (at least 1) frames at the window's size and writes the last to `path`.
    // Throws PNGWriteError when the file cannot be written; nothing is then left at `path`.
    static void take(Viewer& viewer, Target target, int width, int height, int frames, const std::string& path);

    // --overview: the viewer's level drawn as a map from straight above (render/OverviewRenderer)
    // and written to `path`, in place of a frame. Throws as take does.
    static void takeOverview(const Viewer& viewer, Target target, int width, int height, const std::string& path);
};
