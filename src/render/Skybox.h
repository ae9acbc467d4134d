#pragma once

// The sky: a textured cube of half-size 2 drawn around the eye before any level geometry,
// with depth testing and depth writes off so everything drawn later covers it.
class Skybox {
public:
    Skybox() = default;
    virtual ~Skybox() = default;

    // Leaves unit 0 texturing on with `texture` bound and texture coordinate (0, 1), and
    // blending, alpha test, depth test, depth writes and culling on: the rest of the frame
    // (gun, shots, players and untextured faces) is drawn with that state.
    void draw(unsigned int texture) const;

    // Pushes the model-view matrix and loads the view's rotation alone, so a sky turns with the
    // eye but never moves; the caller pops it.
    static void pushRotationOnly();

    // Every sky is drawn between these two: the first sets unit 0 texturing alone, modulating
    // white, no blending, alpha test, depth test, depth writes or culling, and pushes the
    // rotation-only view; the second pops it and leaves the state described at draw().
    static void beginSkyPass();
    static void endSkyPass();
    // What every sky layer, first or drawn over the faces later, sets: unit 0 texturing alone,
    // modulating, with an identity texture matrix; no culling or depth writes; the rotation-only
    // view pushed.
    static void beginSkyTexturing();
};
