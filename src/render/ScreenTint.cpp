#include "render/ScreenTint.h"

#include "render/SavedGLState.h"
#include "render/TextureManager.h"

#include <GL/glew.h>

void ScreenTint::draw(const std::array<float, 4>& color)
{
    const SavedGLState saved(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT
                             | GL_TEXTURE_BIT | GL_TRANSFORM_BIT);
    TextureManager::switchOffLightmapUnit();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(color[0], color[1], color[2], color[3]);
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
