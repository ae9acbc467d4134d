#include "render/SkyFarBox.h"

#include "image/DecodedImage.h"
#include "render/Skybox.h"
#include "render/TextureManager.h"

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

SkyFarBox::SkyFarBox(const std::array<std::unique_ptr<DecodedImage>, 6>& sides)
{
    glGenTextures(6, sideTextures.data());
    for (std::size_t side = 0; side < 6; ++side) {
        glBindTexture(GL_TEXTURE_2D, sideTextures[side]);
        if (sides[side] == nullptr)
            continue;
        TextureManager::uploadToBoundTexture(*sides[side]);
        // Clamped, so the seams between sides do not pick up the opposite edge.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
}

SkyFarBox::~SkyFarBox() { glDeleteTextures(6, sideTextures.data()); }

void SkyFarBox::draw() const
{
    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);

    Skybox::pushRotationOnly();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (std::size_t side = 0; side < 6; ++side) {
        glBindTexture(GL_TEXTURE_2D, sideTextures[side]);
        glBegin(GL_QUADS);
        for (int corner = 0; corner < 4; ++corner) {
            glTexCoord2fv(cornerTexCoords[corner]);
            glVertex3fv(sideCorners[side][corner]);
        }
        glEnd();
    }
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
}
