#include "level/BezierPatch.h"
#include "render/PatchRenderer.h"
#include "render/TextureManager.h"

#include "GLContext.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

namespace {

// A 3 x 3 grid in the plane z = 0 spanning x, y in [0, 20] with the middle control raised to
// z = 16; s, t run 0..1 across it, normals are (0, 2, 0) (not unit), colours differ per control.
std::array<Vertex, 9> raisedGrid(float scale = 10.0f, float offset = 0.0f)
{
    std::array<Vertex, 9> controls;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            controls[std::size_t(3 * r + c)] = Vertex(offset + scale * c, offset + scale * r,
                r == 1 && c == 1 ? 16.0f : 0.0f, c / 2.0f, r / 2.0f, 0.25f * c, 0.25f * r, 0.0f, 2.0f, 0.0f,
                {std::uint8_t(r * 3 + c), 100, 150, 200});
    return controls;
}

} // namespace

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
