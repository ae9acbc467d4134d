#pragma once

#include <GL/glew.h>

#include <array>

// A sky made of six images around the eye, as a material's skyParms names them: BASE_ft, _bk,
// _lf, _rt, _up and _dn look toward the level file's +X, -X, +Y, -Y, +Z (up) and -Z, each image
// upright with its top row toward the zenith on the four sides. Drawn like the plain sky cube:
// before the level, rotation only, without depth.
class SkyFarBox {
public:
    static constexpr const char* sideSuffixes[6] = {"_ft", "_bk", "_lf", "_rt", "_up", "_dn"};

    // One GL texture per side in sideSuffixes order, clamped to the edge so the seams do not
    // pick up the opposite edge, owned by whoever made them; 0 leaves that side plain white.
    explicit SkyFarBox(const std::array<GLuint, 6>& sides) : sideTextures(sides) {}

    // Leaves the same state as the plain sky: unit 0 texturing on, blending, alpha test, depth
    // test, depth writes and culling on.
    void draw() const;

private:
    std::array<GLuint, 6> sideTextures{};
};
