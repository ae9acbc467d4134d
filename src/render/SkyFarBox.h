#pragma once

#include <GL/glew.h>

#include <array>
#include <memory>
#include <string>

class DecodedImage;

// A sky made of six images around the eye, as a material's skyParms names them: BASE_ft, _bk,
// _lf, _rt, _up and _dn look toward the level file's +X, -X, +Y, -Y, +Z (up) and -Z, each image
// upright with its top row toward the zenith on the four sides. Drawn like the plain sky cube:
// before the level, rotation only, without depth.
class SkyFarBox {
public:
    static constexpr const char* sideSuffixes[6] = {"_ft", "_bk", "_lf", "_rt", "_up", "_dn"};

    // One image per side in sideSuffixes order; a missing one leaves that side plain white.
    explicit SkyFarBox(const std::array<std::unique_ptr<DecodedImage>, 6>& sides);
    ~SkyFarBox();
    SkyFarBox(const SkyFarBox&) = delete;
    SkyFarBox& operator=(const SkyFarBox&) = delete;

    // Leaves the same state as the plain sky: unit 0 texturing on, blending, alpha test, depth
    // test, depth writes and culling on.
    void draw() const;

private:
    std::array<GLuint, 6> sideTextures{};
};
