#include "render/Skybox.h"

#include "GLContext.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {
using testsupport::contextHeight;
using testsupport::contextWidth;

// A texture without mipmaps, filtered linearly, from rgb rows bottom (t = 0) first.
GLuint makeTexture(int width, int height, const std::vector<unsigned char>& rgb)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

void setUpView()
{
    testsupport::ensureGLContext();
    glViewport(0, 0, contextWidth, contextHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, 1.25, 4000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDepthFunc(GL_LEQUAL);
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<unsigned char> readWindow()
{
    std::vector<unsigned char> pixels(contextWidth * contextHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, contextWidth, contextHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::vector<unsigned char> skyPicture(const Skybox& sky, GLuint texture)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    sky.draw(texture);
    return readWindow();
}

void expectColor(int x, int y, int r, int g, int b)
{
    const auto pixel = testsupport::readPixel(x, y);
    EXPECT_NEAR(pixel.r, r, 2) << "at " << x << "," << y;
    EXPECT_NEAR(pixel.g, g, 2) << "at " << x << "," << y;
    EXPECT_NEAR(pixel.b, b, 2) << "at " << x << "," << y;
}
} // namespace

TEST(SkyboxTest, LeavesTheFrameStateTheRestOfTheFrameReliesOn)
{
    setUpView();
    glRotatef(30.0f, 0.0f, 1.0f, 0.0f);
    glTranslatef(-100.0f, -20.0f, 50.0f);
    float view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    const GLuint texture = makeTexture(1, 1, {10, 20, 30});
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);

    Skybox().draw(texture);

    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    GLint activeUnit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    EXPECT_EQ(activeUnit, GL_TEXTURE0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), texture);
    float texCoord[4] = {-1, -1, -1, -1};
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texCoord);
    EXPECT_EQ(texCoord[0], 0.0f);
    EXPECT_EQ(texCoord[1], 1.0f);
    glActiveTexture(GL_TEXTURE1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "unit 1 is switched off";
    glActiveTexture(GL_TEXTURE0);

    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
    float after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after[i], view[i]) << "modelview element " << i;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &texture);
}

TEST(SkyboxTest, ShowsItsImageEverywhereAndLevelGeometryCoversIt)
{
    setUpView();
    const GLuint texture = makeTexture(1, 1, {200, 60, 120});
    Skybox().draw(texture);
    expectColor(32, 32, 200, 60, 120);
    expectColor(0, 0, 200, 60, 120);
    expectColor(63, 63, 200, 60, 120);

    // Geometry beyond and within the cube's 2 units both cover the sky: it wrote no depth.
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glColor3f(1, 0, 0);
    glBegin(GL_QUADS); // far, over the left half
    glVertex3f(-500, -500, -100);
    glVertex3f(0, -500, -100);
    glVertex3f(0, 500, -100);
    glVertex3f(-500, 500, -100);
    glEnd();
    glColor3f(0, 0, 1);
    glBegin(GL_QUADS); // near, over the right half
    glVertex3f(0, -5, -1.5f);
    glVertex3f(5, -5, -1.5f);
    glVertex3f(5, 5, -1.5f);
    glVertex3f(0, 5, -1.5f);
    glEnd();
    expectColor(10, 32, 255, 0, 0);
    expectColor(54, 32, 0, 0, 255);
    glDeleteTextures(1, &texture);
}

TEST(SkyboxTest, TurnsWithTheViewButIgnoresTheEyePosition)
{
    setUpView();
    // Four texels of clearly different colours so any shift of the picture shows.
    const GLuint texture = makeTexture(2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0});
    const Skybox sky;

    glLoadIdentity();
    glRotatef(20.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(10.0f, 1.0f, 0.0f, 0.0f);
    const auto turned = skyPicture(sky, texture);

    glTranslatef(-500.0f, 30.0f, 2000.0f);
    EXPECT_EQ(skyPicture(sky, texture), turned) << "moving the eye changed the sky";

    glLoadIdentity();
    glRotatef(110.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(10.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_NE(skyPicture(sky, texture), turned) << "turning the view did not turn the sky";

    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &texture);
}
