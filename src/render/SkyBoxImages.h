#pragma once

#include <GL/glew.h>

#include <array>

// A sky made of six images around the eye, as a material's skyParms names them: BASE_ft, _bk,
// _lf, _rt, _up and _dn look toward the level file's +X, -X, +Y, -Y, +Z (up) and -Z, each image
// upright with its top row toward the zenith on the four sides. The far box is drawn like the
// plain sky cube: before the level, rotation only, without depth. The near box is the same cube
// laid over the sky after its cloud layers, blended by its images' alpha, only where no face
// covers the window (PassState::beginSkyLayers).
class SkyBoxImages {
public:
    static constexpr const char* sideSuffixes[6] = {"_ft", "_bk", "_lf", "_rt", "_up", "_dn"};
    enum class Layer { far, near };

    // One GL texture per side in sideSuffixes order, clamped to the edge so the seams do not
    // pick up the opposite edge, owned by whoever made them; 0 leaves that side of a far box
    // plain white, and a near box's side, an overlay, not drawn.
    explicit SkyBoxImages(const std::array<GLuint, 6>& sides, Layer layer = Layer::far)
        : sideTextures(sides), layer(layer)
    {
    }

    // The far box, in the sky's step, leaves the same state as the plain sky: unit 0 texturing
    // on, blending, alpha test, depth test, depth writes and culling on. The near box, after the
    // cloud layers, leaves what PassState::endSkyLayers leaves.
    void draw() const;

private:
    void drawSides() const;

    std::array<GLuint, 6> sideTextures{};
    Layer layer;
};
