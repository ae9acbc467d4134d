#include "render/ScreenTint.h"

#include "render/SavedGLState.h"
#include "render/TextureManager.h"

#include <GL/glew.h>

void ScreenTint::draw(const std::array<float, 4>& color)
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    draw(color, 0, 0, viewport[2], viewport[3]);
}

void ScreenTint::draw(const std::array<float, 4>& color, int left, int bottom, int right, int top)
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const SavedGLState saved(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_TRANSFORM_BIT | GL_TEXTURE_BIT,
                             GL_CLIENT_VERTEX_ARRAY_BIT);
    TextureManager::switchOffLightmapUnit();
    for (const GLenum capability : {GL_TEXTURE_2D, GL_LIGHTING, GL_DEPTH_TEST, GL_CULL_FACE, GL_ALPHA_TEST, GL_FOG})
        glDisable(capability);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, viewport[2], 0, viewport[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(color[0], color[1], color[2], color[3]);
    glRecti(left, bottom, right, top);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
