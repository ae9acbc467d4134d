#include "image/Overbright.h"

#include <algorithm>
#include <cmath>

Overbright::Overbright(float factor)
{
    const double kept = std::clamp(double(factor), double(minFactor), double(maxFactor));
    const auto fixed = uint32_t(std::lround(kept * 65536.0));
    for (uint32_t m = 0; m < 256; ++m)
        scale[m] = m * kept <= 255.0 ? fixed : (255u * 65536u + m / 2) / m;
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

void Overbright::brightenToBGRAOneByOne(const unsigned char* rgb, unsigned char* bgra, std::size_t count) const
{
    for (std::size_t i = 0; i < count; ++i, rgb += 3, bgra += 4) {
        unsigned char out[3];
        brightenTexel(rgb[0], rgb[1], rgb[2], out);
        bgra[0] = out[2];
        bgra[1] = out[1];
        bgra[2] = out[0];
        bgra[3] = 255;
    }
}

// Lightmaps are mostly dark: a run of texels none of whose channels would pass 255 is multiplied
// by the one factor, with no per-texel lookup, so the common case runs as plain arithmetic the
// compiler can vectorise.
void Overbright::brightenToBGRA(const unsigned char* rgb, unsigned char* bgra, std::size_t count) const
{
    constexpr std::size_t run = 16;
    const uint32_t factor = scale[0];
    std::size_t i = 0;
    for (; i + run <= count; i += run, rgb += 3 * run, bgra += 4 * run) {
        unsigned char brightest = 0;
        for (std::size_t k = 0; k < 3 * run; ++k)
            brightest = std::max(brightest, rgb[k]);
        if (scale[brightest] != factor) {
            brightenToBGRAOneByOne(rgb, bgra, run);
            continue;
        }
        for (std::size_t k = 0; k < run; ++k) {
            bgra[4 * k] = static_cast<unsigned char>((rgb[3 * k + 2] * factor + 32768) >> 16);
            bgra[4 * k + 1] = static_cast<unsigned char>((rgb[3 * k + 1] * factor + 32768) >> 16);
            bgra[4 * k + 2] = static_cast<unsigned char>((rgb[3 * k] * factor + 32768) >> 16);
            bgra[4 * k + 3] = 255;
        }
    }
    brightenToBGRAOneByOne(rgb, bgra, count - i);
}
