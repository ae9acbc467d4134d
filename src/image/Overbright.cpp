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
    while (darkest < 255 && scale[darkest + 1u] == fixed)
        ++darkest;
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

namespace {

// Each run of texels multiplied as if no channel passed 255, its brightest byte found in the
// same sweep; a run that was not dark is done again texel by texel. Returns the bytes done.
template <typename Multiply, typename Redo>
std::size_t multiplyDarkRuns(const unsigned char* in, unsigned char* out, std::size_t bytes, unsigned char darkest,
                             Multiply multiply, Redo redo)
{
    constexpr std::size_t runBytes = 3 * 64;
    std::size_t i = 0;
    for (; i + runBytes <= bytes; i += runBytes) {
        unsigned char brightest = 0;
        for (std::size_t k = 0; k < runBytes; ++k) {
            brightest = std::max(brightest, in[i + k]);
            out[i + k] = multiply(in[i + k]);
        }
        if (brightest > darkest)
            redo(in + i, out + i, runBytes / 3);
    }
    return i;
}

} // namespace

// Lightmaps are mostly dark: runs of texels are multiplied byte by byte by the one factor in
// one sweep the compiler vectorises, and only a run with a channel that would pass 255 takes
// the per-texel lookup.
void Overbright::brightenPacked(const unsigned char* rgb, unsigned char* out, std::size_t count) const
{
    const std::size_t bytes = 3 * count;
    const auto redo = [this](const unsigned char* in, unsigned char* to, std::size_t texels) {
        brightenPackedOneByOne(in, to, texels);
    };
    std::size_t done = 0;
    if (byteFactor == 4 * 256) // the intended factor: a shift by a constant
        done = multiplyDarkRuns(rgb, out, bytes, darkest, [](unsigned v) { return static_cast<unsigned char>(v << 2); },
                                redo);
    else if (byteFactor != 0) // a dark byte times a whole number of 256ths fits in 16 bits
        done = multiplyDarkRuns(rgb, out, bytes, darkest, [f = byteFactor](unsigned v) {
            return static_cast<unsigned char>(static_cast<uint16_t>(v * f + 128u) >> 8);
        }, redo);
    else
        done = multiplyDarkRuns(rgb, out, bytes, darkest, [f = scale[0]](unsigned v) {
            return static_cast<unsigned char>((v * f + 32768u) >> 16);
        }, redo);
    brightenPackedOneByOne(rgb + done, out + done, (bytes - done) / 3);
}
