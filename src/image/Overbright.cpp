#include "image/Overbright.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

// The factor, in 1/65536ths, by which a texel whose brightest channel is m is scaled: 2 below
// 128, and 255 / m for the channels that saturate when doubled (2c scaled by 255 / 2m is c
// scaled by 255 / m). One table for both, so a texel costs no branch: a level holds millions,
// dark and bright mixed, and no division.
const std::array<uint32_t, 256> brighteningScale = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t m = 0; m < 256; ++m)
        table[m] = m < 128 ? 2u * 65536u : (255u * 65536u + m / 2) / m;
    return table;
}();

inline void brightenTexel(unsigned r, unsigned g, unsigned b, unsigned char out[3])
{
    const uint32_t scale = brighteningScale[std::max({r, g, b})];
    out[0] = static_cast<unsigned char>((r * scale + 32768) >> 16);
    out[1] = static_cast<unsigned char>((g * scale + 32768) >> 16);
    out[2] = static_cast<unsigned char>((b * scale + 32768) >> 16);
}

void brightenToBGRAOneByOne(const unsigned char* rgb, unsigned char* bgra, std::size_t count)
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

} // namespace

void Overbright::brighten(unsigned char* rgb, std::size_t count, std::size_t stride)
{
    for (std::size_t i = 0; i < count; ++i, rgb += stride)
        brightenTexel(rgb[0], rgb[1], rgb[2], rgb);
}

// Lightmaps are mostly dark: a run of texels with no channel at 128 or more is just doubled,
// with no per-texel lookup, so the common case runs as plain shifts and copies.
void Overbright::brightenToBGRA(const unsigned char* rgb, unsigned char* bgra, std::size_t count)
{
    constexpr std::size_t run = 16;
    std::size_t i = 0;
    for (; i + run <= count; i += run, rgb += 3 * run, bgra += 4 * run) {
        unsigned char channels = 0;
        for (std::size_t k = 0; k < 3 * run; ++k)
            channels |= rgb[k];
        if ((channels & 0x80) != 0) {
            brightenToBGRAOneByOne(rgb, bgra, run);
            continue;
        }
        for (std::size_t k = 0; k < run; ++k) {
            bgra[4 * k] = static_cast<unsigned char>(rgb[3 * k + 2] << 1);
            bgra[4 * k + 1] = static_cast<unsigned char>(rgb[3 * k + 1] << 1);
            bgra[4 * k + 2] = static_cast<unsigned char>(rgb[3 * k] << 1);
            bgra[4 * k + 3] = 255;
        }
    }
    brightenToBGRAOneByOne(rgb, bgra, count - i);
}
