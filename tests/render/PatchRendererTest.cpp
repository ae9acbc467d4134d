#include "level/BezierPatch.h"
#include "render/PatchRenderer.h"
#include "render/TextureManager.h"

#include "../level/PatchGrids.h"
#include "GLContext.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

using patchtest::raisedGrid;

TEST(PatchRendererTest, BothDrawsCoverTheirSurfaceOnScreen)
{
    testsupport::ensureGLContext();
    // A grid across the whole clip square (identity matrices), drawn in flat red.
    BezierPatch patch(raisedGrid(1.0f, -1.0f));
    for (Vertex& control : patch.controls)
        control.position[2] = 0.0f;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glEnableClientState(GL_VERTEX_ARRAY);
    glColor3f(1.0f, 0.0f, 0.0f);
    const TextureManager noTextures(0, 0); // not touched while untextured

    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    PatchRenderer::drawControlGrid(patch, 0, noTextures, false);
    EXPECT_EQ(testsupport::readPixel(32, 32).r, 255);
    EXPECT_EQ(testsupport::readPixel(5, 58).r, 255);

    glClear(GL_COLOR_BUFFER_BIT);
    glFrontFace(GL_CW);
    PatchRenderer::drawTessellated(patch, 0, noTextures, false); // nothing tessellated yet: draws nothing
    EXPECT_EQ(testsupport::readPixel(32, 32).r, 0);
    patch.tessellate(4);
    PatchRenderer::drawTessellated(patch, 0, noTextures, false);
    EXPECT_EQ(testsupport::readPixel(32, 32).r, 255);
    EXPECT_EQ(testsupport::readPixel(58, 5).r, 255);
    GLint frontFace = 0;
    glGetIntegerv(GL_FRONT_FACE, &frontFace);
    EXPECT_EQ(frontFace, GL_CCW);
    glDisableClientState(GL_VERTEX_ARRAY);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
