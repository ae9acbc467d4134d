#pragma once

class BSPMap;
class Camera;
class FrameClock;
class StatusLine;

// What the keyboard and the mouse do in one mode: configuration mode's step-a-press keys and
// free pointer (ConfigurationControls), or level mode's held keys, held pointer and start jumps
// (LevelControls). The viewer makes one, where the mode is decided, and passes every event to
// it first; a key it does not take means what it means in both modes (Viewer::pressKey).
class Controls {
public:
    // What an event may act on: the running viewer's camera and level.
    struct Scene {
        Camera& camera;
        BSPMap& level;
    };

    virtual ~Controls();

    // Registers the GLUT callbacks this mode's events come through, for the current window.
    virtual void listen() const = 0;

    // Moves the camera by what is held, over a frame of `seconds`.
    virtual void advance(Camera& camera, double seconds) = 0;
    // Starts the status line: "FPS:60 X:320 Y:48 Z:-96", the frame rate and the eye as the
    // configuration mode's contract writes them (floats in the stream's default format).
    virtual void beginStatus(StatusLine& text, const Camera& camera, const FrameClock& clock) const;
    // Appends what this mode shows after the position on the status line.
    virtual void appendStatus(StatusLine& text, const Camera& camera) const = 0;
    // False when the key is not this mode's own.
    virtual bool pressKey(unsigned char key, const Scene& scene) = 0;
    virtual void releaseKey(unsigned char key) = 0;
    virtual void pressSpecialKey(int key, Camera& camera) = 0;
    virtual void releaseSpecialKey(int key) = 0;
    // False when the button means what it means in both modes (the left one fires).
    virtual bool pressMouseButton(int state, int x, int y) = 0;
    virtual void movePointer(int x, int y, Camera& camera) = 0;
    // The pointer left the window, or the window was hidden or covered.
    virtual void loseFocus() = 0;
};
