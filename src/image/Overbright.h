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
    // The same from tightly packed R, G, B into B, G, R, A (255) texels, the layout GL copies
    // into a texture without converting it.
    void brightenToBGRA(const unsigned char* rgb, unsigned char* bgra, std::size_t count) const;

private:
    void brightenTexel(unsigned r, unsigned g, unsigned b, unsigned char out[3]) const;
    void brightenToBGRAOneByOne(const unsigned char* rgb, unsigned char* bgra, std::size_t count) const;

    // By a texel's brightest channel m, the factor in 1/65536ths: the factor itself while m
    // times it stays within 255, else 255 / m. One table for both, so a texel costs no branch
    // and no division: a level holds millions, dark and bright mixed.
    std::array<uint32_t, 256> scale{};
};
