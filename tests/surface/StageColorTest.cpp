#include "surface/StageColor.h"

#include <gtest/gtest.h>

namespace {
Material::Stage colored(ColorSource rgb, AlphaSource alpha = AlphaSource::identity)
{
    Material::Stage stage;
    stage.rgbGen = rgb;
    stage.alphaGen = alpha;
    stage.constantColor = {0.5f, 0.25f, 1.0f};
    stage.constantAlpha = 0.3f;
    stage.colorWave = {Waveform::sine, 0.5f, 0.5f, 0.0f, 1.0f};
    stage.alphaWave = {Waveform::square, 0.0f, 1.0f, 0.0f, 1.0f};
    stage.portalRange = 100.0f;
    return stage;
}
} // namespace

TEST(StageColorTest, ColourAndAlphaOfOneVertexAtATime)
{
    using C = ColorSource;
    using A = AlphaSource;
    StageColor::Inputs vertex;
    vertex.storedColor = {0.2f, 0.4f, 0.6f, 0.8f};
    vertex.litColor = {0.4f, 0.8f, 1.0f};
    vertex.eye = {0, 0, 50};
    StageColor::Inputs far = vertex;
    far.eye = {0, 0, 300};
    StageColor::Inputs later = vertex;
    later.seconds = 0.75;
    StageColor::Inputs quarter = vertex;
    quarter.seconds = 0.25;
    // The eye straight along the fixed light's direction, the normal too: the highlight's peak.
    StageColor::Inputs highlight = vertex;
    highlight.eye = {10, 20, 10};
    highlight.normal = {1, 2, 1};
    StageColor::Inputs turnedAway = highlight;
    turnedAway.normal = {-1, -2, -1};

    struct Case {
        const char* name;
        Material::Stage stage;
        StageColor::Inputs inputs;
        std::array<float, 4> color;
    };
    const Case cases[] = {
        {"identity", colored(C::identity), vertex, {1, 1, 1, 1}},
        {"identityLighting", colored(C::identityLighting), vertex, {1, 1, 1, 1}},
        {"vertex, brightened", colored(C::vertex, A::vertex), vertex, {0.4f, 0.8f, 1, 0.8f}},
        {"lightingDiffuse, from the vertex", colored(C::lightingDiffuse), vertex, {0.4f, 0.8f, 1, 1}},
        {"exactVertex, as stored", colored(C::exactVertex, A::oneMinusVertex), vertex, {0.2f, 0.4f, 0.6f, 0.2f}},
        {"oneMinusVertex", colored(C::oneMinusVertex), vertex, {0.8f, 0.6f, 0.4f, 1}},
        {"const", colored(C::constant, A::constant), vertex, {0.5f, 0.25f, 1, 0.3f}},
        {"waves at a quarter cycle", colored(C::wave, A::wave), quarter, {1, 1, 1, 1}},
        {"waves at three quarters", colored(C::wave, A::wave), later, {0, 0, 0, 0}},
        {"portal halfway to its range", colored(C::identity, A::portal), vertex, {1, 1, 1, 0.5f}},
        {"portal past its range", colored(C::identity, A::portal), far, {1, 1, 1, 1}},
        {"specular at its peak", colored(C::identity, A::lightingSpecular), highlight, {1, 1, 1, 1}},
        {"specular turned away", colored(C::identity, A::lightingSpecular), turnedAway, {1, 1, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::array<float, 4> color = StageColor::of(c.stage, c.inputs);
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(color[i], c.color[i], 1e-5f) << "channel " << i;
    }
}
