#pragma once

#include <cstdint>

// A placeholder for a level lightmap. Lightmap names are reserved by the texture manager,
// but no lightmap is ever read, uploaded or drawn, so nothing creates one of these.
struct Lightmap {
    virtual ~Lightmap() = default;

    int32_t textureId = 0;
};
