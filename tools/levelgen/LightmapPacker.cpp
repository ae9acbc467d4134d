#include "LightmapPacker.h"

#include <algorithm>
#include <stdexcept>
#include <string>

LightmapPlacement LightmapPacker::place(int width, int height)
{
    if (width < 1 || height < 1 || width > side || height > side)
        throw std::invalid_argument("a lightmap of " + std::to_string(width) + " x " + std::to_string(height) +
                                    " texels does not fit a page of " + std::to_string(side));
    if (page >= 0 && cursor + width > side) {
        shelfTop += shelfHeight;
        shelfHeight = 0;
        cursor = 0;
    }
    if (page < 0 || shelfTop + std::max(shelfHeight, height) > side) {
        ++page;
        shelfTop = 0;
        shelfHeight = 0;
        cursor = 0;
    }
    const LightmapPlacement placement{page, cursor, shelfTop};
    cursor += width;
    shelfHeight = std::max(shelfHeight, height);
    return placement;
}
