#include "surface/Autosprite.h"

#include <cmath>

namespace {
using Vector = Autosprite::Vector;

Vector plus(const Vector& a, const Vector& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vector minus(const Vector& a, const Vector& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vector scaled(const Vector& v, float f) { return {v[0] * f, v[1] * f, v[2] * f}; }
float length(const Vector& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }
Vector cross(const Vector& a, const Vector& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float sign(float value) { return value > 0.0f ? 1.0f : value < 0.0f ? -1.0f : 0.0f; }

// The quad read through its texture coordinates: its centre, and for each corner which side of
// the centre it lies on across (+1 right, larger s) and up (+1 up, smaller t); `across` and
// `upward` are the quad's own directions, twice its width and height long.
struct Quad {
    Vector centre{};
    std::array<float, 4> sideAcross{};
    std::array<float, 4> sideUp{};
    Vector across{};
    Vector upward{};

    Quad(const Autosprite::Corners& corners, const Autosprite::TexCoords& texCoords)
    {
        float meanS = 0.0f;
        float meanT = 0.0f;
        for (std::size_t k = 0; k < 4; ++k) {
            centre = plus(centre, scaled(corners[k], 0.25f));
            meanS += texCoords[k][0] / 4.0f;
            meanT += texCoords[k][1] / 4.0f;
        }
        for (std::size_t k = 0; k < 4; ++k) {
            sideAcross[k] = sign(texCoords[k][0] - meanS);
            sideUp[k] = sign(meanT - texCoords[k][1]);
            const Vector fromCentre = minus(corners[k], centre);
            across = plus(across, scaled(fromCentre, sideAcross[k]));
            upward = plus(upward, scaled(fromCentre, sideUp[k]));
        }
    }

    float halfWidth() const { return length(across) / 4.0f; }
    float halfHeight() const { return length(upward) / 4.0f; }

    Autosprite::Corners placed(const Vector& right, const Vector& up) const
    {
        Autosprite::Corners result;
        for (std::size_t k = 0; k < 4; ++k)
            result[k] = plus(centre, plus(scaled(right, halfWidth() * sideAcross[k]), scaled(up, halfHeight() * sideUp[k])));
        return result;
    }
};

Vector unit(const Vector& v)
{
    const float l = length(v);
    return l > 0.0f ? scaled(v, 1.0f / l) : Vector{};
}
} // namespace

Autosprite::Corners Autosprite::facingEye(const Corners& corners, const TexCoords& texCoords, const Vector& right,
                                          const Vector& up)
{
    return Quad(corners, texCoords).placed(right, up);
}

// The short axis is the one across the long axis and the direction to the eye; right x up then
// points at the eye, so the picture's front faces it.
Autosprite::Corners Autosprite::aboutLongAxis(const Corners& corners, const TexCoords& texCoords, const Vector& eye)
{
    const Quad quad(corners, texCoords);
    const Vector toEye = minus(eye, quad.centre);
    if (quad.halfHeight() >= quad.halfWidth()) {
        const Vector up = unit(quad.upward);
        const Vector right = unit(cross(up, toEye));
        return length(right) > 0.0f ? quad.placed(right, up) : corners;
    }
    const Vector right = unit(quad.across);
    const Vector up = unit(cross(toEye, right));
    return length(up) > 0.0f ? quad.placed(right, up) : corners;
}
