#include "surface/TextureMatrix.h"

#include "surface/Oscillator.h"

#include <cmath>

namespace {
constexpr double twoPi = 6.283185307179586;
constexpr float largestStretch = 1000.0f;

TextureMatrix translation(double s, double t)
{
    TextureMatrix matrix;
    matrix.rows[0][2] = float(s);
    matrix.rows[1][2] = float(t);
    return matrix;
}

// s' = a s + b t + c and t' = d s + e t + f about the picture's centre (0.5, 0.5).
TextureMatrix aboutCentre(float a, float b, float d, float e)
{
    TextureMatrix matrix;
    matrix.rows[0] = {a, b, 0.5f - 0.5f * (a + b)};
    matrix.rows[1] = {d, e, 0.5f - 0.5f * (d + e)};
    return matrix;
}

double withinOneRepeat(double offset) { return offset - std::floor(offset); }
} // namespace

std::array<float, 2> TextureMatrix::apply(float s, float t) const
{
    return {s * rows[0][0] + t * rows[0][1] + rows[0][2], s * rows[1][0] + t * rows[1][1] + rows[1][2]};
}

TextureMatrix TextureMatrix::then(const TextureMatrix& next) const
{
    TextureMatrix product;
    for (int r = 0; r < 2; ++r) {
        const auto& n = next.rows[std::size_t(r)];
        for (int c = 0; c < 3; ++c)
            product.rows[std::size_t(r)][std::size_t(c)] = n[0] * rows[0][std::size_t(c)] + n[1] * rows[1][std::size_t(c)];
        product.rows[std::size_t(r)][2] += n[2];
    }
    return product;
}

std::array<float, 16> TextureMatrix::columnMajor() const
{
    return {rows[0][0], rows[1][0], 0.0f, 0.0f, rows[0][1], rows[1][1], 0.0f, 0.0f,
            0.0f,       0.0f,       1.0f, 0.0f, rows[0][2], rows[1][2], 0.0f, 1.0f};
}

TextureMatrix TextureMatrix::of(const Material::TexCoordMod& mod, double seconds)
{
    const auto& v = mod.values;
    switch (mod.kind) {
    case TexCoordModKind::scroll:
        return translation(withinOneRepeat(v[0] * seconds), withinOneRepeat(v[1] * seconds));
    case TexCoordModKind::scale: {
        TextureMatrix matrix;
        matrix.rows[0][0] = v[0];
        matrix.rows[1][1] = v[1];
        return matrix;
    }
    case TexCoordModKind::rotate: {
        const double radians = std::fmod(double(v[0]) * seconds, 360.0) * twoPi / 360.0;
        const float c = float(std::cos(radians));
        const float s = float(std::sin(radians));
        return aboutCentre(c, -s, s, c);
    }
    case TexCoordModKind::turbulence: {
        const double phase = double(mod.wave.phase) + seconds * double(mod.wave.frequency);
        const double amplitude = mod.wave.amplitude;
        return translation(amplitude * Oscillator::shape(Waveform::sine, phase),
                           amplitude * Oscillator::shape(Waveform::sine, phase + 0.25));
    }
    case TexCoordModKind::stretch: {
        const float value = Oscillator::value(mod.wave, seconds);
        const float scale = std::fabs(value) * largestStretch < 1.0f ? std::copysign(largestStretch, value) : 1.0f / value;
        return aboutCentre(scale, 0.0f, 0.0f, scale);
    }
    case TexCoordModKind::transform: {
        TextureMatrix matrix;
        matrix.rows[0] = {v[0], v[2], v[4]};
        matrix.rows[1] = {v[1], v[3], v[5]};
        return matrix;
    }
    }
    return {};
}

TextureMatrix TextureMatrix::of(const std::vector<Material::TexCoordMod>& mods, double seconds)
{
    TextureMatrix matrix;
    for (const Material::TexCoordMod& mod : mods)
        matrix = matrix.then(of(mod, seconds));
    return matrix;
}
