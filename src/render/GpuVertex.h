#pragma once

#include <cstddef>

// One vertex as the designed frame draws it, from a buffer object or from memory: the arrays
// are pointed at its fields by offsetof, so this is the one statement of the layout. World
// coordinates, Y up.
struct GpuVertex {
    float position[3];
    float texCoord[2];
    float lightmapCoord[2];
    unsigned char color[4]; // brightened from the stored range; alpha as stored
};
static_assert(sizeof(GpuVertex) == 32);
