#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

// Light stored at a fraction of its range (lightmaps and vertex colours keep headroom that way)
// brought back up: every channel multiplied by one factor, and where the brightest channel of a
// texel would pass 255 all its channels are scaled together so that it reaches exactly 255, so a
// bright light keeps its hue instead of turning white.
class Overbright {
public:
    // Levels store light at a quarter of its intended range: two bits of overbright.
    static constexpr float intendedFactor = 4.0f;
    static constexpr float minFactor = 1.0f, maxFactor = 16.0f;

    explicit Overbright(float factor); // kept within minFactor..maxFactor

    // One texel of R, G, B, changed in place; inline, so a loop that copies texels can brighten
    // them as it goes.
    void brighten(unsigned char rgb[3]) const { brightenTexel(rgb[0], rgb[1], rgb[2], rgb); }
    // `count` texels of R, G, B, `stride` bytes apart, changed in place.
    void brighten(unsigned char* rgb, std::size_t count, std::size_t stride) const;
    // The same from `count` tightly packed R, G, B texels into as many in `out`.
    void brightenPacked(const unsigned char* rgb, unsigned char* out, std::size_t count) const;

private:
    void brightenTexel(unsigned r, unsigned g, unsigned b, unsigned char out[3]) const
    {
        const uint32_t factor = scale[std::max({r, g, b})];
        out[0] = static_cast<unsigned char>(std::min<uint32_t>((r * factor + 32768) >> 16, 255));
        out[1] = static_cast<unsigned char>(std::min<uint32_t>((g * factor + 32768) >> 16, 255));
        out[2] = static_cast<unsigned char>(std::min<uint32_t>((b * factor + 32768) >> 16, 255));
    }
    void brightenPackedOneByOne(const unsigned char* rgb, unsigned char* out, std::size_t count) const;

    // By a texel's brightest channel m, the factor in 1/65536ths: the factor itself while m
    // times it stays within 255, else 255 / m. One table for both, so a texel costs no branch
    // and no division: a level holds millions, dark and bright mixed.
    std::array<uint32_t, 256> scale{};
    // The factor in 1/256ths when it is a whole number of them (the intended factor is), else 0:
    // below the point where a channel passes 255 a byte times it fits in 16 bits, so the common
    // case runs eight or sixteen bytes to an instruction.
    uint16_t byteFactor = 0;
    unsigned char darkest = 0; // the brightest channel the factor multiplies without passing 255
};
