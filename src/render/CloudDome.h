#pragma once

#include "level/Material.h"
#include "render/StagePass.h"

#include <GL/glew.h>

#include <array>
#include <vector>

class DataRootImages;

// A sky material's cloud layers: each of its stages with an image, drawn in order on a dome
// around the eye (SkyDome) at the material's cloud height, blended as the stage says (the first
// over the far box, if any, the later ones over the layers before) and moved by its tcMods and
// rgbGen on the material clock. Drawn like every sky: before the level, rotation only, without
// depth.
class CloudDome {
public:
    // `sky` must outlive this. Needs a GL context.
    CloudDome(const Material& sky, DataRootImages& images);

    bool empty() const { return layers.empty(); }
    // Leaves the state the plain sky leaves, with blending back at (one, zero).
    void draw(double seconds) const;

private:
    std::vector<StagePass> layers;
    std::vector<std::array<float, 3>> positions; // directions at the sky's distance
    std::vector<std::array<float, 2>> texCoords;
    std::vector<GLuint> indices;
};
