#pragma once

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

    // `count` texels of R, G, B, `stride` bytes apart, changed in place.
    void brighten(unsigned char* rgb, std::size_t count, std::size_t stride) const;
    // The same from `count` tightly packed R, G, B texels into as many in `out`.
    void brightenPacked(const unsigned char* rgb, unsigned char* out, std::size_t count) const;

private:
    void brightenTexel(unsigned r, unsigned g, unsigned b, unsigned char out[3]) const;
    void brightenPackedOneByOne(const unsigned char* rgb, unsigned char* out, std::size_t count) const;
    void multiplyBytes(const unsigned char* in, unsigned char* out, std::size_t count) const;

    // By a texel's brightest channel m, the factor in 1/65536ths: the factor itself while m
    // times it stays within 255, else 255 / m. One table for both, so a texel costs no branch
    // and no division: a level holds millions, dark and bright mixed.
    std::array<uint32_t, 256> scale{};
    // The factor in 1/256ths when it is a whole number of them (the intended factor is), else 0:
    // below the point where a channel passes 255 a byte times it fits in 16 bits, so the common
    // case runs eight or sixteen bytes to an instruction.
    uint16_t byteFactor = 0;
};
