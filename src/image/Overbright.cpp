#include "image/Overbright.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

// 65536 * 255 / m for the brightest channels m that saturate when doubled (128 to 255): 2c
// scaled by 255 / 2m is c scaled by 255 / m. A level holds millions of texels, so no division.
const std::array<uint32_t, 256> saturatingScale = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t m = 128; m < 256; ++m)
        table[m] = (255u * 65536u + m / 2) / m;
    return table;
}();

inline void brightenTexel(unsigned r, unsigned g, unsigned b, unsigned char out[3])
{
    const unsigned brightest = std::max({r, g, b});
    if (brightest < 128) {
        out[0] = static_cast<unsigned char>(r << 1);
        out[1] = static_cast<unsigned char>(g << 1);
        out[2] = static_cast<unsigned char>(b << 1);
        return;
    }
    const uint32_t scale = saturatingScale[brightest];
    out[0] = static_cast<unsigned char>((r * scale + 32768) >> 16);
    out[1] = static_cast<unsigned char>((g * scale + 32768) >> 16);
    out[2] = static_cast<unsigned char>((b * scale + 32768) >> 16);
}

} // namespace

void Overbright::brighten(unsigned char* rgb, std::size_t count, std::size_t stride)
{
    for (std::size_t i = 0; i < count; ++i, rgb += stride)
        brightenTexel(rgb[0], rgb[1], rgb[2], rgb);
}

void Overbright::brightenToBGRA(const unsigned char* rgb, unsigned char* bgra, std::size_t count)
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
