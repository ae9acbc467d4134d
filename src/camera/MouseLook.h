#pragma once

class Camera;

// Level mode's mouse look. While the pointer is held, every motion turns the camera by the
// pixels moved since the last one; once it strays a quarter of the window from the centre it is
// to be warped back there, so turning never runs out of screen. The warp arrives as one more
// motion, to the centre, which must not turn the camera: it is recognised as the first motion
// that lands on the centre after a warp was asked for. Motions already queued before the warp
// still count from where the pointer was, so none is lost or counted twice. GL-free: the caller
// does the warping and hides the pointer.
class MouseLook {
public:
    static constexpr double defaultDegreesPerPixel = 0.15;

    explicit MouseLook(double degreesPerPixel = defaultDegreesPerPixel) : degreesPerPixel(degreesPerPixel) {}

    // Starts holding the pointer, which is at (x, y) in a window of that size; true when it
    // is to be warped to the centre now.
    bool hold(int x, int y, int width, int height);
    void release() { held = false; }
    bool isHeld() const { return held; }

    // A motion to (x, y), window pixels from the top left. Turns the camera while held; true
    // when the pointer is to be warped to the centre now.
    bool moved(int x, int y, int width, int height, Camera& camera);

private:
    bool asksForWarp(int x, int y, int width, int height);

    double degreesPerPixel;
    bool held = false;
    bool warpPending = false; // a warp was asked for and its motion has not arrived
    int lastX = 0;
    int lastY = 0;
};
