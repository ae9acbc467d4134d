#include "surface/StageColor.h"

#include "surface/Oscillator.h"

#include <algorithm>
#include <cmath>

namespace {
using Vector = std::array<float, 3>;

float unit(float value) { return std::clamp(value, 0.0f, 1.0f); }

float dot(const Vector& a, const Vector& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vector normalized(const Vector& v)
{
    const float length = std::sqrt(dot(v, v));
    return length > 0.0f ? Vector{v[0] / length, v[1] / length, v[2] / length} : Vector{};
}

Vector rgb(const Material::Stage& stage, const StageColor::Inputs& in)
{
    switch (stage.rgbGen) {
    case ColorSource::identity:
    case ColorSource::identityLighting:
        return {1.0f, 1.0f, 1.0f};
    case ColorSource::vertex:
    case ColorSource::lightingDiffuse:
        return {unit(in.litColor[0]), unit(in.litColor[1]), unit(in.litColor[2])};
    case ColorSource::exactVertex:
        return {unit(in.storedColor[0]), unit(in.storedColor[1]), unit(in.storedColor[2])};
    case ColorSource::oneMinusVertex:
        return {unit(1.0f - in.storedColor[0]), unit(1.0f - in.storedColor[1]), unit(1.0f - in.storedColor[2])};
    case ColorSource::constant:
        return stage.constantColor;
    case ColorSource::wave: {
        const float grey = unit(Oscillator::value(stage.colorWave, in.seconds));
        return {grey, grey, grey};
    }
    }
    return {1.0f, 1.0f, 1.0f};
}

float specular(const StageColor::Inputs& in)
{
    static const Vector light = normalized({1.0f, 2.0f, 1.0f});
    const Vector toEye = normalized({in.eye[0] - in.position[0], in.eye[1] - in.position[1], in.eye[2] - in.position[2]});
    const Vector half = normalized({light[0] + toEye[0], light[1] + toEye[1], light[2] + toEye[2]});
    const float facing = std::max(0.0f, dot(normalized(in.normal), half));
    return std::pow(facing, 8.0f);
}

float alpha(const Material::Stage& stage, const StageColor::Inputs& in)
{
    switch (stage.alphaGen) {
    case AlphaSource::identity:
        return 1.0f;
    case AlphaSource::constant:
        return stage.constantAlpha;
    case AlphaSource::wave:
        return unit(Oscillator::value(stage.alphaWave, in.seconds));
    case AlphaSource::vertex:
        return unit(in.storedColor[3]);
    case AlphaSource::oneMinusVertex:
        return unit(1.0f - in.storedColor[3]);
    case AlphaSource::portal: {
        const Vector away{in.position[0] - in.eye[0], in.position[1] - in.eye[1], in.position[2] - in.eye[2]};
        return unit(std::sqrt(dot(away, away)) / stage.portalRange);
    }
    case AlphaSource::lightingSpecular:
        return specular(in);
    }
    return 1.0f;
}
} // namespace

std::array<float, 4> StageColor::of(const Material::Stage& stage, const Inputs& inputs)
{
    const Vector color = rgb(stage, inputs);
    return {color[0], color[1], color[2], alpha(stage, inputs)};
}

bool StageColor::colorVariesPerVertex(const Material::Stage& stage)
{
    return stage.rgbGen == ColorSource::vertex || stage.rgbGen == ColorSource::exactVertex
           || stage.rgbGen == ColorSource::oneMinusVertex || stage.rgbGen == ColorSource::lightingDiffuse;
}

bool StageColor::alphaVariesPerVertex(const Material::Stage& stage)
{
    return stage.alphaGen == AlphaSource::vertex || stage.alphaGen == AlphaSource::oneMinusVertex
           || stage.alphaGen == AlphaSource::portal || stage.alphaGen == AlphaSource::lightingSpecular;
}
