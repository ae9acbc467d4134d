#include "image/Overbright.h"

#include <algorithm>
#include <cmath>

Overbright::Overbright(float factor)
{
    const double kept = std::clamp(double(factor), double(minFactor), double(maxFactor));
    const auto fixed = uint32_t(std::lround(kept * 65536.0));
    for (uint32_t m = 0; m < 256; ++m)
        scale[m] = m * kept <= 255.0 ? fixed : (255u * 65536u + m / 2) / m;
    if (fixed % 256 == 0)
        byteFactor = static_cast<uint16_t>(fixed / 256);
}

inline void Overbright::brightenTexel(unsigned r, unsigned g, unsigned b, unsigned char out[3]) const
{
    const uint32_t factor = scale[std::max({r, g, b})];
    out[0] = static_cast<unsigned char>(std::min<uint32_t>((r * factor + 32768) >> 16, 255));
    out[1] = static_cast<unsigned char>(std::min<uint32_t>((g * factor + 32768) >> 16, 255));
    out[2] = static_cast<unsigned char>(std::min<uint32_t>((b * factor + 32768) >> 16, 255));
}

void Overbright::brighten(unsigned char* rgb, std::size_t count, std::size_t stride) const
{
    for (std::size_t i = 0; i < count; ++i, rgb += stride)
        brightenTexel(rgb[0], rgb[1], rgb[2], rgb);
}

void Overbright::brightenPackedOneByOne(const unsigned char* rgb, unsigned char* out, std::size_t count) const
{
    for (std::size_t i = 0; i < count; ++i, rgb += 3, out += 3)
        brightenTexel(rgb[0], rgb[1], rgb[2], out);
}

// Every byte times the one factor, none of them passing 255 (the caller knows).
void Overbright::multiplyBytes(const unsigned char* in, unsigned char* out, std::size_t count) const
{
    if (byteFactor == 4 * 256) { // the intended factor: a shift by a constant, sixteen bytes at a time
        for (std::size_t k = 0; k < count; ++k)
            out[k] = static_cast<unsigned char>(in[k] << 2);
        return;
    }
    if (byteFactor != 0) {
        for (std::size_t k = 0; k < count; ++k)
            out[k] = static_cast<unsigned char>(static_cast<uint16_t>(in[k] * byteFactor + 128u) >> 8);
        return;
    }
    const uint32_t factor = scale[0];
    for (std::size_t k = 0; k < count; ++k)
        out[k] = static_cast<unsigned char>((in[k] * factor + 32768u) >> 16);
}

// Lightmaps are mostly dark: a run of texels none of whose channels would pass 255 is multiplied
// byte by byte by the one factor, with no per-texel lookup, so the common case runs as plain
// arithmetic the compiler vectorises.
void Overbright::brightenPacked(const unsigned char* rgb, unsigned char* out, std::size_t count) const
{
    constexpr std::size_t runBytes = 3 * 32;
    const std::size_t bytes = 3 * count;
    std::size_t i = 0;
    for (; i + runBytes <= bytes; i += runBytes) {
        unsigned char brightest = 0;
        for (std::size_t k = 0; k < runBytes; ++k)
            brightest = std::max(brightest, rgb[i + k]);
        if (scale[brightest] == scale[0])
            multiplyBytes(rgb + i, out + i, runBytes);
        else
            brightenPackedOneByOne(rgb + i, out + i, runBytes / 3);
    }
    brightenPackedOneByOne(rgb + i, out + i, (bytes - i) / 3);
}
