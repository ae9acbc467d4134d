#pragma once

#include <cstddef>

// Light stored at half range (lightmaps and vertex colours keep headroom that way) brought back
// up: every channel doubled, and where the brightest channel of a texel would pass 255 all its
// channels are scaled together so that it reaches exactly 255, so a bright light keeps its hue
// instead of turning white.
struct Overbright {
    // `count` texels of R, G, B, `stride` bytes apart, changed in place.
    static void brighten(unsigned char* rgb, std::size_t count, std::size_t stride);
    // The same from tightly packed R, G, B into B, G, R, A (255) texels, the layout GL copies
    // into a texture without converting it.
    static void brightenToBGRA(const unsigned char* rgb, unsigned char* bgra, std::size_t count);
};
