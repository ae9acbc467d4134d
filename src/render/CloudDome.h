#pragma once

#include "level/Material.h"
#include "render/StagePass.h"

#include <GL/glew.h>

#include <array>
#include <vector>

class DataRootImages;

// A sky material's cloud layers: each of its stages with an image (or $whiteimage, a flat colour
// from its rgbGen and alphaGen), drawn in order on a dome
// around the eye (SkyDome) at the material's cloud height, blended as the stage says (the first
// over the far box, if any, the later ones over the layers before) and moved by its tcMods and
// rgbGen on the material clock. Turned with the view but never moved, like every sky; but drawn
// after the opaque faces, at the far end of the depth range with the depth test on, so that only
// the pixels no face covers are filled: a dome drawn first would fill the whole window once per
// layer.
class CloudDome {
public:
    // `sky` must outlive this. Needs a GL context.
    CloudDome(const Material& sky, DataRootImages& images);
    ~CloudDome();
    CloudDome(const CloudDome&) = delete;
    CloudDome& operator=(const CloudDome&) = delete;

    bool empty() const { return layers.empty(); }
    // In the sky's step, where no far box is drawn: the state the plain sky leaves, with the first
    // layer's image bound in its place.
    void leaveSkyState(double seconds) const;
    // After the opaque faces. Leaves unit 0 texturing on with its coordinate array and an identity
    // texture matrix, no colour array, the depth test on without writes, the full depth range;
    // blending and the alpha test as the next pass sets them.
    void draw(double seconds) const;

private:
    GLuint whiteImage();

    GLuint white = 0; // owned; 0 until a $whiteimage layer needs it
    std::vector<StagePass> layers;
    std::vector<std::array<float, 3>> positions; // directions at the sky's distance
    std::vector<std::array<float, 2>> texCoords;
    std::vector<GLuint> indices;
};
