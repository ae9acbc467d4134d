#pragma once

#include "camera/PlayerStarts.h"
#include "simulation/PlayerMovement.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class BSPMap;
class Camera;
struct LevelData;
class FrameClock;
class MaterialLibrary;
class StatusLine;
class Viewer;
class World;

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
        const MaterialLibrary* materials; // null without scripts
    };

    virtual ~Controls();

    // Registers the GLUT callbacks this mode's events come through, for the current window.
    virtual void listen() const = 0;
    // Runs this mode's loop over `viewer` (whose controls these are) until the program ends.
    [[noreturn]] virtual void run(Viewer& viewer) const = 0;

    // Moves the camera by what is held, over a frame of `seconds`; what a walker asks of the
    // world's step that follows.
    virtual WalkInput advance(Camera& camera, double seconds) = 0;
    // The world has stepped: the camera goes where the walker went.
    virtual void worldStepped(Camera& camera) = 0;
    // Starts the status line: "FPS:60 X:320 Y:48 Z:-96", the frame rate and the eye as the
    // configuration mode's contract writes them (floats in the stream's default format).
    virtual void beginStatus(StatusLine& text, const Camera& camera, const FrameClock& clock) const;
    // Appends what this mode shows after the position on the status line.
    virtual void appendStatus(StatusLine& text, const Camera& camera) const = 0;
    // False when the key is not this mode's own. Escape comes here only while escapeCloses().
    virtual bool pressKey(unsigned char key, const Scene& scene) = 0;
    // Whether Escape closes something of this mode's (level mode's search line) rather than
    // ending the program.
    virtual bool escapeCloses() const = 0;
    virtual void releaseKey(unsigned char key) = 0;
    virtual void pressSpecialKey(int key, Camera& camera) = 0;
    virtual void releaseSpecialKey(int key) = 0;
    // False when the button means what it means in both modes (the left one fires). GLUT's
    // button number: the wheel's turns come as 3 (away) and 4 (toward the user), pressed and released.
    virtual bool pressMouseButton(int button, int state, int x, int y) = 0;
    virtual void movePointer(int x, int y, Camera& camera) = 0;
    // The pointer left the window, or the window was hidden or covered.
    virtual void loseFocus() = 0;

    // ---- when frames are drawn -----------------------------------------------------------------
    // Whether the held keys still move the camera.
    virtual bool isMoving() const = 0;
    // An event at `now` (milliseconds on GLUT's clock) may have changed the picture.
    virtual void changed(int now) = 0;
    // A frame was drawn at `now`; `moving`, something in view changes by itself.
    virtual void frameShown(int now, bool moving) = 0;
    // Milliseconds from `now` until a frame is due: 0 when one is asked for already, -1 for none.
    virtual int untilNextFrame(int now) const = 0;
    // The event loop woke at `now`.
    virtual void wake(int now) = 0;
    virtual void windowShown(bool shown, int now) = 0;
    // Whether the window has the keyboard.
    virtual void setFocused(bool focused) = 0;
    // A colour laid over the whole view (RGBA, 0..1), or none.
    virtual std::optional<std::array<float, 4>> viewTint() const = 0;
    // The level was opened again: `level` replaces the old one (whose starts were `starts`), and
    // `world` its world; both outlive the controls or the next replacement.
    virtual void levelReplaced(const LevelData& level, PlayerStarts starts, Camera& camera, World& world) = 0;
    // The class of the marker under the centre of the view, to be written beside it; null when
    // markers are hidden or none is there.
    virtual const char* centreLabel(const Camera& camera) const = 0;
    // Lines shown over the view, top first, for `camera` as it is now (none once it moved).
    virtual const std::vector<std::string>& panel(const Camera& camera) = 0;
};
