#pragma once

#include "app/Controls.h"
#include "app/FrameClock.h"
#include "app/FramePacer.h"
#include "app/FrameLog.h"
#include "app/Launch.h"
#include "app/LevelWatch.h"
#include "app/Screenshots.h"
#include "config/Configuration.h"
#include "camera/Frustum.h"
#include "level/TextureReport.h"
#include "render/StatusLine.h"

#include <memory>
#include <optional>

class BSPMap;
class Camera;
class Friendlies;
class World;
class LightingModule;
class OnScreenDisplay;

// One running viewer: the program-wide state that start-up builds and the GLUT callbacks
// drive, in one object. The entry point, the benchmark and the tests all build it the same
// way, after a window with a current GL context exists.
class Viewer {
public:
    // What the keys switch for drawing: both modes have them.
    struct Switches {
        bool textures = true;            // 't'
        bool lighting = true;            // 'l'
        bool patchTessellation = false;  // 'b', mirrors the level's patchesTessellated
        int tessellationLevel = 10;      // kept within 2..20 by '<' and '>'
    };

    // The display, the lighting module, the level, the camera (with this viewer's frustum),
    // the camera handed to the level, and the configuration's players handed to the level,
    // in that order. Raises the loaders' errors.
    explicit Viewer(Launch launch);
    explicit Viewer(Configuration configuration); // configuration mode, as a file would give it
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    void drawFrame(); // one frame: clear, timing, the frame's step, status line, the level's render (no swap)
    // The same at a given time, milliseconds on GLUT's elapsed-time clock: level mode's held
    // keys move the camera by the seconds since the previous frame.
    void drawFrameAt(int elapsedMilliseconds);
    // What a frame does before it draws, over `seconds`: the material clock moves on, the held
    // keys move the camera or ask the walker, the world takes its one step, and the camera goes
    // where the walker went.
    void step(double seconds);
    // Every key but an Escape that ends the program, which the callback handles (one the mode's
    // controls close something with comes here). --help lists each key (app/Help.cpp) and
    // docs/man/verdanth.1 describes it.
    void pressKey(unsigned char key);
    void releaseKey(unsigned char key);
    void pressSpecialKey(int key);
    void releaseSpecialKey(int key);
    void pressMouseButton(int button, int state, int x, int y);
    void movePointer(int x, int y); // passive motion, and in level mode motion with a button held
    void loseFocus();               // the pointer left the window, or the window was hidden or covered
    void shutdown();                // releases the display, the camera and the level, in that order
    void frameDrawn();              // after drawing, before the swap: takes a screenshot 'p' asked for
    void frameShown();              // after the buffers are swapped
    // Level mode draws only when something changes: after an event, while something in view
    // moves by itself (held keys, shots, players, materials that change with time), and never
    // while the window is hidden; configuration mode draws every turn of the loop.
    void changed();
    void windowShown(bool shown);
    // Level mode's event loop: how long it may sleep from `now` before a frame or a settled
    // change of the level's files is due (-1: until an event or a change), and the descriptor a
    // change wakes it through (-1: not watching).
    int untilWake(int now) const;
    int watchDescriptor() const;
    // The loop woke at `now`: the watch's queue read, a settled change reloaded, a frame that is
    // due asked for.
    void wake(int now);
    void setFocused(bool focused) { input->setFocused(focused); }
    bool somethingMoves() const;
    // Level mode: the level opened again from its files (after F5, or once its files changed and
    // settled), the view, its modes and toggles kept; one line says so. When it cannot be opened
    // the level shown stays, with one line. False where there is nothing to reopen.
    bool reload();
    void checkForChanges(int now); // reloads when the files changed and settled by `now`
    bool isWatching() const { return watch != nullptr; }
    // A snapshot's frames all take no time.
    void stopClock() { clock.stop(); }

    // Level mode: which textures have an image. Nothing in configuration mode, whose transcript
    // already says so texture by texture (LevelImages::report).
    std::optional<TextureReport> textureReport() const;

    // Null after shutdown.
    BSPMap* level() const { return levelMap.get(); }
    World& world() const { return *play; }
    Camera* camera() const { return eye.get(); }
    const OnScreenDisplay* display() const { return screenDisplay.get(); }
    const MaterialLibrary* materialLibrary() const { return materials.get(); }
    Frustum& viewFrustum() { return frustum; }
    const StatusLine& status() const { return statusLine; }
    const Switches& switches() const { return drawing; }
    const Controls& controls() const { return *input; }
    Controls& controls() { return *input; }

private:
    void writeStatus();
    void drawPanel();
    std::unique_ptr<LightingModule> makeLighting(const Launch& launch) const;
    std::unique_ptr<BSPMap> makeLevel(Launch& launch, const TextureResolver* images);
    static std::unique_ptr<World> makeWorld(BSPMap& level);
    void startWatching(const Launch& launch);
    LevelWatch::Files watchedFiles() const;
    void togglePatchTessellation();
    void changeTessellationLevel(int step);
    bool retessellate(int level); // false, with one line and the patches unchanged, when memory runs out

    // Level mode: where the level's images are found; outlives the level.
    std::unique_ptr<DataRoot> dataRoot;
    std::unique_ptr<MaterialLibrary> materials;
    std::unique_ptr<TextureResolver> resolver;

    Frustum frustum; // the one view frustum, given to the camera
    std::unique_ptr<Friendlies> friendlies; // null without players
    std::unique_ptr<OnScreenDisplay> screenDisplay;
    std::unique_ptr<LightingModule> lighting;
    std::unique_ptr<BSPMap> levelMap;
    std::unique_ptr<World> play; // the level's; goes before it
    std::unique_ptr<Camera> eye;
    std::unique_ptr<Controls> input; // the mode's keys and mouse

    FrameClock clock;
    Switches drawing;
    StatusLine statusLine; // kept between frames so composing the line never allocates
    std::unique_ptr<FrameLog> frameLog; // --frame-log: null unless asked for
    std::unique_ptr<Screenshots> screenshots; // 'p': null in configuration mode without "screenshots = 1"
    std::optional<CommandLine> relaunch;      // level mode: how the level was opened
    std::unique_ptr<LevelWatch> watch;        // null: not watching
};
