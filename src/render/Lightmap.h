#pragma once

#include <cstdint>

// The record TextureManager's `lightmaps` list is declared with. The list stays empty: the
// designed frame uploads the lightmap pages straight into the manager's reserved GL names, and
// the plain frame draws none, so nothing creates one.
struct Lightmap {
    virtual ~Lightmap() = default;

    int32_t textureId = 0;
};
