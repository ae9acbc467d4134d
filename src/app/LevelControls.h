#pragma once

#include "app/Controls.h"
#include "app/EntitySearch.h"
#include "app/FramePacer.h"
#include "app/Walking.h"
#include "inspection/Inspection.h"
#include "camera/Flight.h"
#include "camera/MouseLook.h"
#include "camera/PlayerStarts.h"

#include <optional>

// Level mode's keys and mouse, as first-person programs have them: W, A, S and D move and
// strafe, Space rises (or jumps), X crouches (or sinks), the arrows turn and look, the held
// pointer looks around (MouseLook); held keys act by each frame's seconds (Flight), flying
// through everything or, after g, walking (Walking). The wheel and [ and ] halve or double the
// flying speed. j and J jump between the level's starts, c prints the view, h hides the gun and
// status line, n steps from the pickups to every marker to nothing, k shows the tool view (its
// legend on the status line), Tab lets the pointer go; /
// opens the search line (EntitySearch), which takes every key until Escape closes it: Enter and
// Down go to the next entity it names, Up to the previous. The status line adds heading, pitch,
// the flying speed, the start jumped to and the walk.
class LevelControls : public Controls {
public:
    // `camera` is given the free pitch level mode looks with; `level` and `world` outlive the
    // controls (or their replacement). With `walk`, the walk starts at once.
    LevelControls(double unitsPerSecond, double mouseDegreesPerPixel, PlayerStarts starts, Camera& camera,
                  const LevelData& level, World& world, bool walk);
    ~LevelControls() override;

    // Key releases too (auto-repeat ignored, so a held key is one press and one release), motion
    // with a button held, and leaving or losing the window.
    void listen() const override;
    // The loop that sleeps at rest (EventLoop).
    [[noreturn]] void run(Viewer& viewer) const override;
    WalkInput advance(Camera& camera, double seconds) override;
    void worldStepped(Camera& camera) override;
    // "FPS:60 X:320 Y:48 Z:-96": whole units, and no frame rate until one is measured (a
    // snapshot's stopped clock never measures one).
    void beginStatus(StatusLine& text, const Camera& camera, const FrameClock& clock) const override;
    // " H:90 P:-10", " speed 400" while flying, " start 3 of 12, team red" while the eye
    // stands at a start, and the tool view's legend while it is shown.
    void appendStatus(StatusLine& text, const Camera& camera) const override;
    bool pressKey(unsigned char key, const Scene& scene) override;
    bool escapeCloses() const override { return search.isOpen(); }
    void releaseKey(unsigned char key) override;
    void pressSpecialKey(int key, Camera& camera) override;
    void releaseSpecialKey(int key) override;
    // The click that takes hold of the pointer only does that; the wheel only steps the speed.
    bool pressMouseButton(int button, int state, int x, int y) override;
    void movePointer(int x, int y, Camera& camera) override;
    // The pointer is let go and held keys end, since their releases may go to another window.
    void loseFocus() override;
    bool isMoving() const override { return flight.isMoving() || (walking && walking->isMoving()); }
    // Under water, slime or lava while walking.
    std::optional<std::array<float, 4>> viewTint() const override;
    // The search line while it is open; else what i told of the view, until the view moves.
    const std::vector<std::string>& panel(const Camera& camera) override;
    const char* centreLabel(const Camera& camera) const override;
    static constexpr double labelDegrees = Inspection::entityDegrees; // how near the centre a marker is labelled
    // A walk goes on in the new level from where the eye is; the search line finds its text there.
    void levelReplaced(const LevelData& level, PlayerStarts starts, Camera& camera, World& world) override;
    void changed(int now) override { pacer.request(now); }
    void frameShown(int now, bool moving) override { pacer.frameShown(now, moving); }
    int untilNextFrame(int now) const override { return pacer.untilDue(now); }
    void wake(int now) override { pacer.wake(now); }
    void windowShown(bool shown, int now) override { pacer.setVisible(shown, now); }
    void setFocused(bool focused) override { pacer.setFocused(focused); }

private:
    void jumpToStart(Camera& camera, bool forward);
    void toggleMarkers(BSPMap& level);
    void holdPointer(int x, int y);
    void releasePointer();
    void updateFast();
    void toggleWalking(Camera& camera);
    void inspect(const Scene& scene);
    void searchKey(unsigned char key, Camera& camera);
    void visitMatch(bool forward, Camera& camera);
    static std::array<double, 5> poseOf(const Camera& camera); // position, yaw, pitch

    FramePacer pacer;
    Flight flight;
    MouseLook mouseLook;
    PlayerStarts starts;
    bool leftShiftDown = false;  // Shift makes held moves fast
    bool rightShiftDown = false;
    bool saidNoStarts = false;   // 'j' on a level without starts says so once
    bool saidNoMarkers = false;  // so does 'n' on a level without point entities
    bool markersShown = false;   // every marker, not only the pickups: the one ahead is labelled
    bool toolViewShown = false;  // the look's switch, which a reload keeps: its legend is shown
    const LevelData* level;
    World* world;
    std::unique_ptr<Walking> walking; // null while flying
    std::vector<std::string> inspected; // i's lines, shown while the view stays where they were asked
    std::array<double, 5> inspectedFrom{};
    EntitySearch search;
};
