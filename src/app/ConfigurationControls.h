#pragma once

#include "app/Controls.h"

// Configuration mode's keys and mouse, as its contract has them: each press moves the camera
// one step or turns it a few degrees, the arrows strafe, and the free pointer turns one degree
// per pixel it moves. Nothing is held, so a frame moves nothing by itself.
class ConfigurationControls : public Controls {
public:
    void listen() const override; // key repeat kept: a held key is many presses
    // GLUT's own loop, drawing at every turn.
    [[noreturn]] void run(Viewer& viewer) const override;
    WalkInput advance(Camera&, double) override { return {}; }
    void worldStepped(Camera&) override {}
    void appendStatus(StatusLine&, const Camera&) const override {}
    bool pressKey(unsigned char key, const Scene& scene) override;
    bool escapeCloses() const override { return false; }
    void releaseKey(unsigned char) override {}
    void pressSpecialKey(int key, Camera& camera) override;
    void releaseSpecialKey(int) override {}
    bool pressMouseButton(int, int, int, int) override { return false; }
    void movePointer(int x, int y, Camera& camera) override;
    void loseFocus() override {}
    // Every turn of the loop draws a frame: there is nothing to ask for.
    bool isMoving() const override { return false; }
    void changed(int) override {}
    void frameShown(int, bool) override {}
    int untilNextFrame(int) const override { return -1; }
    void wake(int) override {}
    void windowShown(bool, int) override {}
    void setFocused(bool) override {}
    std::optional<std::array<float, 4>> viewTint() const override { return std::nullopt; }
    const std::vector<std::string>& panel(const Camera&) override { return noLines; }
    const char* centreLabel(const Camera&) const override { return nullptr; }
    void levelReplaced(const LevelData&, PlayerStarts, Camera&, World&) override {}

    int lastPointerX() const { return lastMouseX; }
    int lastPointerY() const { return lastMouseY; }

private:
    const std::vector<std::string> noLines;
    int lastMouseX = 0; // window pixels at the previous passive motion; the first measures from 0
    int lastMouseY = 0;
};
