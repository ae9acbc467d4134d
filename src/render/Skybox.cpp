#include "render/Skybox.h"

#include "render/TextureManager.h"

#include <GL/glew.h>

namespace {
struct SkyQuad {
    float corners[4][3];
};

// One image on every side; each quad's corners take texture coordinates (0,0) (1,0) (1,1) (0,1).
constexpr SkyQuad skyQuads[6] = {
    {{{-2, -2, -2}, {2, -2, -2}, {2, 2, -2}, {-2, 2, -2}}},
    {{{2, -2, -2}, {2, -2, 2}, {2, 2, 2}, {2, 2, -2}}},
    {{{2, -2, 2}, {-2, -2, 2}, {-2, 2, 2}, {2, 2, 2}}},
    {{{-2, -2, 2}, {-2, -2, -2}, {-2, 2, -2}, {-2, 2, 2}}},
    {{{-2, 2, -2}, {2, 2, -2}, {2, 2, 2}, {-2, 2, 2}}},
    {{{-2, -2, 2}, {2, -2, 2}, {2, -2, -2}, {-2, -2, -2}}},
};
constexpr float quadTexCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
} // namespace

void Skybox::draw(unsigned int texture) const
{
    beginSkyPass();
    glBindTexture(GL_TEXTURE_2D, texture);
    for (const SkyQuad& quad : skyQuads) {
        glBegin(GL_QUADS);
        for (int corner = 0; corner < 4; ++corner) {
            glTexCoord2fv(quadTexCoords[corner]);
            glVertex3fv(quad.corners[corner]);
        }
        glEnd();
    }
    endSkyPass();
}

void Skybox::beginSkyPass()
{
    beginSkyTexturing();
    glPolygonMode(GL_FRONT, GL_FILL);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1.0f, 1.0f, 1.0f);
}

void Skybox::beginSkyTexturing()
{
    TextureManager::switchOffLightmapUnit();
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    pushRotationOnly();
}

// Blending, alpha test, depth and culling come back on: the gun, shots and players drawn
// next rely on them.
void Skybox::endSkyPass()
{
    glColor3f(1.0f, 1.0f, 1.0f);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
}

void Skybox::pushRotationOnly()
{
    float view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    view[12] = view[13] = view[14] = 0.0f;
    view[3] = view[7] = view[11] = 0.0f;
    glPushMatrix();
    glLoadMatrixf(view);
}
