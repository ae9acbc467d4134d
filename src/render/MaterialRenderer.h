#pragma once

#include "level/LevelData.h"
#include "level/SurfaceStyle.h"
#include "render/BatchedLevel.h"
#include "render/FrameVertices.h"
#include "render/StagePass.h"

#include <GL/glew.h>

#include <cstddef>
#include <vector>

class DataRootImages;
class TextureManager;

// Draws the designed frame's groups of faces as their materials say: each group once per pass
// (MaterialPasses), one draw each, setting per pass the image (a stage's, an animMap frame by
// the material clock, the lightmap or white), texture coordinates (the surface's, the
// lightmap's, environment-mapped per vertex, or from tcGen vector planes) through the stage's
// texture matrix (tcMod), colour (rgbGen, alphaGen), blending, alpha test and depth state; per
// group the culling and polygon offset. A stage's image is loaded through the ImageCache; a
// first pass whose image is missing shows the texture's own image (or grey), a later one is
// left out.
class MaterialRenderer {
public:
    struct Switches {
        bool textures = true;  // off: every face plain grey, still lit
        bool lighting = true;  // off: every face at full brightness
        bool lightmaps = true; // off: faces are lit by their vertex colours
    };
    struct Frame {
        double seconds = 0.0; // the material clock
        FrameVertices::Eye eye;
        Switches switches;
    };

    // `styles` by texture record; the images of the records faces use. Needs a GL context.
    MaterialRenderer(const LevelData& level, const std::vector<SurfaceStyle>& styles, DataRootImages& images,
                     const TextureManager& textures);
    ~MaterialRenderer();
    MaterialRenderer(const MaterialRenderer&) = delete;
    MaterialRenderer& operator=(const MaterialRenderer&) = delete;

    // begin sets what every pass shares (lighting off, the vertex array on, unit 0 texturing);
    // drawGroups draws groups [first, end) of `batches`, gathered for this frame; end leaves
    // lighting off, depth writes on with the less-or-equal test, blending and alpha testing with
    // their pass-everything functions, no culling or polygon offset, an identity texture matrix,
    // the colour and texture-coordinate arrays off, unit 1 texturing off and no buffer bound;
    // unit 0 texturing stays on for the frame to switch off.
    void begin(const Frame& frame);
    void drawGroups(BatchedLevel& batches, std::size_t first, std::size_t end);
    void end();
    // While GL's fog is on for blended groups (FogPass): each pass sets the fog colour its blend
    // fades toward under fog of `color`; null while the fog is off. `color` outlives the draws.
    void fogPassesToward(const std::array<float, 3>* color) { fogColor = color; }

    std::size_t drawCalls() const { return lastDrawCalls; } // since begin
    std::size_t passCount(int texture) const { return passes[std::size_t(texture)].size(); }

private:
    enum class Light { none, lightmap, vertexColours };

    std::vector<StagePass> passesOf(const Material* material, const SurfaceStyle& style, DataRootImages& images) const;
    void drawGroup(BatchedLevel& batches, std::size_t g);
    void drawPass(BatchedLevel& batches, std::size_t g, const StagePass& stagePass);
    void applyDepthAndBlend(const MaterialPasses::Pass& pass) const;
    GLuint bindImage(const BatchedLevel::Group& group, const StagePass& stagePass, Light& light) const;
    void applyTexCoords(BatchedLevel& batches, std::size_t g, const MaterialPasses::Pass& pass, bool lightmapImage);
    void applyColour(BatchedLevel& batches, std::size_t g, const MaterialPasses::Pass& pass, Light light);
    void applyLightmapUnit(const BatchedLevel::Group& group, bool on) const;

    const TextureManager& textures;
    std::vector<std::vector<StagePass>> passes; // by texture record: as its material says
    std::vector<std::vector<StagePass>> plain;  // by texture record: grey, for textures off
    std::vector<const Material*> materials;     // by texture record; null without one
    GLuint whiteTexture = 0;
    GLuint greyTexture = 0;
    Frame frame;
    std::size_t lastDrawCalls = 0;
    bool textureMatrixSet = false; // unit 0's texture matrix is not the identity
    const std::array<float, 3>* fogColor = nullptr;
};
