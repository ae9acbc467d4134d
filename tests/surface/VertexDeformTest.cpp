#include "surface/VertexDeform.h"

#include <gtest/gtest.h>

namespace {
Material::Deform deform(DeformKind kind, Material::Wave wave = {}, float spread = 0.0f,
                        std::array<float, 3> vector = {})
{
    Material::Deform result;
    result.kind = kind;
    result.wave = wave;
    result.spread = spread;
    result.vector = vector;
    return result;
}

Material::Deform bulge(float width, float height, float speed)
{
    Material::Deform result = deform(DeformKind::bulge);
    result.bulgeWidth = width;
    result.bulgeHeight = height;
    result.bulgeSpeed = speed;
    return result;
}
} // namespace

TEST(VertexDeformTest, HowFarAVertexMoves)
{
    using K = DeformKind;
    const Material::Wave sine{Waveform::sine, 0.0f, 4.0f, 0.0f, 1.0f};
    const Material::Wave square{Waveform::square, 0.0f, 1.0f, 0.0f, 1.0f};
    const std::array<float, 3> up{0, 1, 0};
    struct Case {
        const char* name;
        Material::Deform deform;
        std::array<float, 3> position;
        float s;
        double seconds;
        std::array<float, 3> offset;
    };
    const Case cases[] = {
        {"wave along the normal", deform(K::wave, sine), {5, 6, 7}, 0, 0.25, {0, 4, 0}},
        {"wave without spread at its start", deform(K::wave, sine), {5, 6, 7}, 0, 0.0, {0, 0, 0}},
        {"spread by file x", deform(K::wave, sine, 64.0f), {16, 0, 0}, 0, 0.0, {0, 4, 0}},
        {"spread by file z, world y", deform(K::wave, sine, 64.0f), {0, 16, 0}, 0, 0.0, {0, 4, 0}},
        {"spread by file y, world -z", deform(K::wave, sine, 64.0f), {0, 0, -16}, 0, 0.0, {0, 4, 0}},
        {"spread the other way", deform(K::wave, sine, 64.0f), {0, 0, 16}, 0, 0.0, {0, -4, 0}},
        {"move by the vector", deform(K::move, square, 0, {0, 8, 0}), {1, 2, 3}, 0, 0.0, {0, 8, 0}},
        {"move back half a cycle later", deform(K::move, square, 0, {0, 8, 0}), {1, 2, 3}, 0, 0.5, {0, -8, 0}},
        {"bulge at its crest", bulge(3.14159265f, 3.0f, 0.0f), {0, 0, 0}, 0.5f, 0.0, {0, 3, 0}},
        {"bulge moving with time", bulge(0.0f, 3.0f, 3.14159265f), {0, 0, 0}, 0.5f, 1.5, {0, -3, 0}},
        {"normal moves nothing", deform(K::normal, sine), {1, 2, 3}, 0, 0.25, {0, 0, 0}},
        {"sprites are whole quads", deform(K::autosprite, sine), {1, 2, 3}, 0, 0.25, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::array<float, 3> offset = VertexDeform::offset(c.deform, c.position, up, c.s, c.seconds);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(offset[i], c.offset[i], 1e-5f) << "axis " << i;
    }
}

TEST(VertexDeformTest, TheNormalAfterADeform)
{
    using K = DeformKind;
    struct Case {
        const char* name;
        Material::Deform deform;
        std::array<float, 3> position;
        double seconds;
        std::array<float, 3> normal;
    };
    const float half = 0.70710678f;
    const Case cases[] = {
        {"no amplitude", deform(K::normal, {Waveform::sine, 0, 0, 0, 1}), {64, 0, 0}, 0.0, {0, 1, 0}},
        {"tilted toward x a quarter ripple along x",
         deform(K::normal, {Waveform::sine, 0, 1, 0, 0}), {64, 0, 0}, 0.0, {half, half, 0}},
        {"tilted on every axis by time", deform(K::normal, {Waveform::sine, 0, 1, 0, 0.25f}), {0, 0, 0}, 1.0,
         {0.40824829f, 0.81649658f, 0.40824829f}},
        {"other deforms keep it", deform(K::wave, {Waveform::sine, 0, 1, 0, 1}), {64, 0, 0}, 0.0, {0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::array<float, 3> normal = VertexDeform::normal(c.deform, c.position, {0, 1, 0}, c.seconds);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(normal[i], c.normal[i], 1e-5f) << "axis " << i;
    }
}
