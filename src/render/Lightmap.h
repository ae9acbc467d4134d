#pragma once

#include <cstdint>

// A placeholder for a level lightmap, kept for the texture manager's record of them: the
// designed frame uploads the pages straight into the manager's reserved names, so nothing
// creates one of these.
struct Lightmap {
    virtual ~Lightmap() = default;

    int32_t textureId = 0;
};
