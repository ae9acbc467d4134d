#pragma once

#include "level/Material.h"

#include <cstdint>
#include <vector>

// The draws a texture's faces take in the designed frame, one per pass, in order: a material's
// stages, except that an image stage and a $lightmap stage multiplied together (`blendFunc
// filter` on the second of the two) become one pass with the lightmap on a second texture unit,
// which is what a texture without a script gets too (its image lit by the lightmap, or by the
// vertex colours where there is none). GL-free: the renderer turns each pass into GL state.
class MaterialPasses {
public:
    enum class Image : uint8_t {
        record,   // the image the texture name resolves to (TextureResolver)
        stage,    // the stage's own image, or its animMap frames
        lightmap, // the face's lightmap; its vertex colours where it has none
        white,
    };
    enum class Color : uint8_t {
        constant,     // one colour per pass and frame (identity, const, wave and their alphas)
        vertexColors, // the vertex colours as the buffers hold them: brightened, alpha as stored
        computed,     // worked out per vertex and frame (surface/StageColor)
    };

    struct Pass {
        const Material::Stage* stage = nullptr; // null for the implicit stage of a texture without stages
        Image image = Image::record;
        // Multiplied by the face's light: the lightmap on a second unit, its vertex colours where
        // it has none. The implicit stage is lit so when its style takes the lightmap.
        bool lit = false;
        Color color = Color::constant;
        Material::Blend blend;
        AlphaFunction alphaFunction = AlphaFunction::always;
        bool depthWrite = true;
        DepthFunction depthFunction = DepthFunction::lessOrEqual;
    };

    // `material` may be null; `implicit` is the pass a texture without stages gets (its blend,
    // alpha test and lighting come from its surface style). Stages that show nothing (an
    // unknown $ image) are left out.
    static std::vector<Pass> of(const Material* material, const Pass& implicit);

    // Whether a stage shows anything: an image of its own, the lightmap or white. One that does
    // not (a $ name the viewer lacks, a stage without a map) is left out of the passes.
    static bool showsSomething(const Material::Stage& stage);
    // Whether a sky material's pass is drawn as one of its cloud layers: passes showing the
    // stage's own image or white (a flat colour under the clouds, from rgbGen) are.
    static bool isCloudLayer(const Pass& pass)
    {
        return pass.stage != nullptr && (pass.image == Image::stage || pass.image == Image::white);
    }

    // Whether faces of this material need their vertices worked out every frame: a vertex
    // deform, a stage whose texture coordinates follow the eye (tcGen environment), or a pass
    // whose colour is computed per vertex.
    static bool needsFrameVertices(const Material* material);

private:
    static Pass stagePass(const Material::Stage& stage);
    static bool multipliesLightmap(const Material::Stage& first, const Material::Stage& second);
    static Color colorOf(const Material::Stage& stage);
};
