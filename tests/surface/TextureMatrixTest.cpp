#include "surface/TextureMatrix.h"

#include <gtest/gtest.h>

namespace {
Material::TexCoordMod mod(TexCoordModKind kind, std::array<float, 6> values, Material::Wave wave = {})
{
    Material::TexCoordMod result;
    result.kind = kind;
    result.values = values;
    result.wave = wave;
    return result;
}
} // namespace

TEST(TextureMatrixTest, EachModAndTheirOrderAtATime)
{
    using K = TexCoordModKind;
    struct Case {
        const char* name;
        std::vector<Material::TexCoordMod> mods;
        double seconds;
        std::array<float, 2> from, to;
    };
    const Case cases[] = {
        {"none", {}, 5.0, {0.3f, 0.7f}, {0.3f, 0.7f}},
        {"scroll, the offset within one repeat", {mod(K::scroll, {0.5f, -0.25f})}, 1.0, {0, 0}, {0.5f, 0.75f}},
        {"scroll later", {mod(K::scroll, {0.5f, -0.25f})}, 3.0, {0.1f, 0.1f}, {0.6f, 0.35f}},
        {"scale about the origin", {mod(K::scale, {2, 3})}, 9.0, {0.5f, 0.5f}, {1.0f, 1.5f}},
        {"rotate a quarter turn about the centre", {mod(K::rotate, {90})}, 1.0, {1.0f, 0.5f}, {0.5f, 1.0f}},
        {"rotate, still at time 0", {mod(K::rotate, {90})}, 0.0, {1.0f, 0.5f}, {1.0f, 0.5f}},
        {"rotate, whole turns later", {mod(K::rotate, {90})}, 401.0, {1.0f, 0.5f}, {0.5f, 1.0f}},
        {"stretch by the wave's inverse", {mod(K::stretch, {}, {Waveform::sine, 2, 0, 0, 1})}, 0.0, {1, 1},
         {0.75f, 0.75f}},
        {"stretch through zero is bounded", {mod(K::stretch, {}, {Waveform::sine, 0, 0, 0, 1})}, 0.0,
         {0.5009765625f, 0.5f}, {1.4765625f, 0.5f}},
        {"transform", {mod(K::transform, {0, 1, 1, 0, 0.5f, 0})}, 0.0, {0.25f, 0.75f}, {1.25f, 0.25f}},
        {"turb at the start of its cycle", {mod(K::turbulence, {}, {Waveform::sine, 0, 0.1f, 0, 1})}, 0.0, {0, 0},
         {0.0f, 0.1f}},
        {"turb a quarter cycle on", {mod(K::turbulence, {}, {Waveform::sine, 0, 0.1f, 0, 1})}, 0.25, {0, 0},
         {0.1f, 0.0f}},
        {"scale, then scroll", {mod(K::scale, {2, 2}), mod(K::scroll, {0.5f, 0})}, 1.0, {0.25f, 0}, {1.0f, 0}},
        {"scroll, then scale", {mod(K::scroll, {0.5f, 0}), mod(K::scale, {2, 2})}, 1.0, {0.25f, 0}, {1.5f, 0}},
        {"rotate, then translate", {mod(K::rotate, {90}), mod(K::transform, {1, 0, 0, 1, 0, 2})}, 1.0,
         {1.0f, 0.5f}, {0.5f, 3.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::array<float, 2> to = TextureMatrix::of(c.mods, c.seconds).apply(c.from[0], c.from[1]);
        EXPECT_NEAR(to[0], c.to[0], 1e-5f);
        EXPECT_NEAR(to[1], c.to[1], 1e-5f);
    }
}

TEST(TextureMatrixTest, TheColumnMajorFormKeepsTheOffsetInTheLastColumn)
{
    TextureMatrix matrix;
    matrix.rows = {{{1, 2, 3}, {4, 5, 6}}};
    EXPECT_EQ(matrix.columnMajor(), (std::array<float, 16>{1, 4, 0, 0, 2, 5, 0, 0, 0, 0, 1, 0, 3, 6, 0, 1}));
}
