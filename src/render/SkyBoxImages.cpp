#include "render/SkyBoxImages.h"

#include "render/PassState.h"
#include "render/Skybox.h"

namespace {
// World coordinates (Y up; the file's +X is world +X, the file's +Y is world -Z). Corners in
// the order top-left, top-right, bottom-right, bottom-left as seen from inside the cube, so
// texture coordinates (0,0) (1,0) (1,1) (0,1) put each image's top row up.
constexpr float sideCorners[6][4][3] = {
    {{2, 2, -2}, {2, 2, 2}, {2, -2, 2}, {2, -2, -2}},     // _ft: file +X, world +X
    {{-2, 2, 2}, {-2, 2, -2}, {-2, -2, -2}, {-2, -2, 2}}, // _bk: file -X
    {{-2, 2, -2}, {2, 2, -2}, {2, -2, -2}, {-2, -2, -2}}, // _lf: file +Y, world -Z
    {{2, 2, 2}, {-2, 2, 2}, {-2, -2, 2}, {2, -2, 2}},     // _rt: file -Y, world +Z
    {{-2, 2, -2}, {2, 2, -2}, {2, 2, 2}, {-2, 2, 2}},     // _up: top row toward file +Y
    {{-2, -2, 2}, {2, -2, 2}, {2, -2, -2}, {-2, -2, -2}}, // _dn: top row toward file -Y
};
constexpr float cornerTexCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
} // namespace

void SkyBoxImages::draw() const
{
    if (layer == Layer::far) {
        Skybox::beginSkyPass();
        drawSides();
        Skybox::endSkyPass();
        return;
    }
    PassState::beginSkyLayers();
    PassState::applyBlend({true, BlendFactor::sourceAlpha, BlendFactor::oneMinusSourceAlpha});
    PassState::applyAlphaFunction(AlphaFunction::always);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawSides();
    PassState::endSkyLayers();
}

void SkyBoxImages::drawSides() const
{
    for (std::size_t side = 0; side < 6; ++side) {
        if (sideTextures[side] == 0) // a missing image shows what lies below it, never white
            continue;
        glBindTexture(GL_TEXTURE_2D, sideTextures[side]);
        glBegin(GL_QUADS);
        for (int corner = 0; corner < 4; ++corner) {
            glTexCoord2fv(cornerTexCoords[corner]);
            glVertex3fv(sideCorners[side][corner]);
        }
        glEnd();
    }
}
