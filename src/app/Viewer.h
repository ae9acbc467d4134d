#pragma once

#include "app/FrameLog.h"
#include "app/Launch.h"
#include "app/Screenshots.h"
#include "config/Configuration.h"
#include "game/Flight.h"
#include "game/Frustum.h"
#include "game/MouseLook.h"
#include "game/PlayerStarts.h"
#include "level/TextureReport.h"
#include "render/StatusLine.h"

#include <memory>
#include <optional>

class BSPMap;
class Camera;
class Friendlies;
class LightingModule;
class OnScreenDisplay;

// One running viewer: the program-wide state that start-up builds and the GLUT callbacks
// drive, in one object. The entry point, the benchmark and the tests all build it the same
// way, after a window with a current GL context exists.
class Viewer {
public:
    // The display, the lighting module, the level, the camera (with this viewer's frustum),
    // the camera handed to the level, and the configuration's players handed to the level,
    // in that order. Raises the loaders' errors.
    explicit Viewer(Launch launch);
    explicit Viewer(Configuration configuration); // configuration mode, as a file would give it
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    void drawFrame(); // one frame: clear, timing, status line, the level's render (no swap)
    // The same at a given time, milliseconds on GLUT's elapsed-time clock: level mode's held
    // keys move the camera by the seconds since the previous frame.
    void drawFrameAt(int elapsedMilliseconds);
    // Every key but Escape, which the callback handles. --help lists each key (app/Help.cpp) and
    // docs/man/verdanth.1 describes it.
    void pressKey(unsigned char key);
    void releaseKey(unsigned char key); // level mode: ends a held motion
    void pressSpecialKey(int key);
    void releaseSpecialKey(int key);
    void pressMouseButton(int button, int state, int x, int y);
    // Passive motion: configuration mode turns one degree per pixel; level mode turns by --mouse
    // while the pointer is held.
    void movePointer(int x, int y);
    // Level mode: the pointer left the window, or the window was hidden or covered. The pointer
    // is let go and held keys end, since their releases may go to another window.
    void loseFocus();
    void shutdown();                // releases the display, the camera and the level, in that order
    void frameDrawn();              // after drawing, before the swap: takes a screenshot 'p' asked for
    void frameShown();              // after the buffers are swapped

    // Level mode: which textures have an image. Nothing in configuration mode, whose transcript
    // already says so texture by texture (LevelImages::report).
    std::optional<TextureReport> textureReport() const;

    // Level mode: where the level's images are found; outlives the level.
    std::unique_ptr<DataRoot> dataRoot;
    std::unique_ptr<MaterialLibrary> materials;
    std::unique_ptr<TextureResolver> resolver;

    const bool levelMode; // held keys, mouse look, start jumps; heading and pitch on the status line
    Frustum frustum; // the one view frustum, given to the camera
    std::unique_ptr<Friendlies> friendlies; // null without a "players" entry
    std::unique_ptr<OnScreenDisplay> screenDisplay;
    std::unique_ptr<LightingModule> lighting;
    std::unique_ptr<BSPMap> levelMap;
    std::unique_ptr<Camera> camera;

    // A snapshot's clock stands still (no time passes between its frames, the frame rate stays
    // 0), so its picture depends on nothing but its options.
    bool clockStopped = false;
    int frameCount = 0;     // frames since the last frames-per-second update
    int lastFrameTime = 0;  // milliseconds since glutInit
    float frameSeconds = 0; // seconds between the last two frames
    int lastFpsTime = 0;    // milliseconds since glutInit
    int fps = 0;
    bool texturesEnabled = true;     // 't'
    bool lightingEnabled = true;     // 'l'
    bool patchTessellationOn = false; // 'b', mirrors the level's patchesTessellated
    int tessellationLevel = 10;      // kept within 2..20 by '<' and '>'
    int lastMouseX = 0;              // window pixels at the previous passive motion
    int lastMouseY = 0;
    StatusLine statusLine; // kept between frames so composing the line never allocates
    Flight flight;         // level mode: the keys held down
    MouseLook mouseLook;   // level mode: the pointer, held or free
    PlayerStarts starts;   // level mode: where j and J go
    std::unique_ptr<FrameLog> frameLog; // --frame-log: null unless asked for
    std::unique_ptr<Screenshots> screenshots; // 'p': null in configuration mode without "screenshots = 1"

private:
    bool pressLevelModeKey(unsigned char key); // false: the key means what it means in both modes
    void jumpToStart(bool forward);
    void toggleMarkers();
    void holdPointer(int x, int y);
    void releasePointer();
    void writeStatus();
    std::unique_ptr<LightingModule> makeLighting(const Launch& launch) const;
    std::unique_ptr<BSPMap> makeLevel(Launch& launch);
    void togglePatchTessellation();
    void changeTessellationLevel(int step);
    bool retessellate(int level); // false, with one line and the patches unchanged, when memory runs out

    bool leftShiftDown = false;  // level mode: Shift makes held moves fast
    bool rightShiftDown = false;
    bool saidNoStarts = false;   // 'j' on a level without starts says so once
    bool saidNoMarkers = false;  // so does 'n' on a level without point entities
};
