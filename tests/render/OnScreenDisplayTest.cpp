#include "render/OnScreenDisplay.h"

#include "GLContext.h"

#include <GL/glew.h>
#include <GL/glut.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace {
using testsupport::contextHeight;
using testsupport::contextWidth;

struct Matrices {
    float projection[16];
    float modelview[16];
};

Matrices currentMatrices()
{
    Matrices matrices{};
    glGetFloatv(GL_PROJECTION_MATRIX, matrices.projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, matrices.modelview);
    return matrices;
}

// Clears to blue and fills the depth buffer almost at the near plane, like a finished scene
// whose nearest surface is right in front of the eye.
void drawNearBlueScene()
{
    glViewport(0, 0, contextWidth, contextHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthRange(0.0, 1.0);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(0, 0, 1);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, -0.999f);
    glVertex3f(1, -1, -0.999f);
    glVertex3f(1, 1, -0.999f);
    glVertex3f(-1, 1, -0.999f);
    glEnd();
    glColor4f(1, 1, 1, 1);
}

struct WhiteArea {
    int count = 0;
    int minX = INT_MAX, minY = INT_MAX, maxX = -1, maxY = -1;
};

std::vector<unsigned char> readWindow()
{
    std::vector<unsigned char> pixels(contextWidth * contextHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, contextWidth, contextHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The expected picture: the raster position set directly in window coordinates.
void drawReference(float x, float y, const char* text)
{
    glDisable(GL_DEPTH_TEST);
    glWindowPos2f(x, y);
    for (const char* character = text; *character != '\0'; ++character)
        glutBitmapCharacter(GLUT_BITMAP_TIMES_ROMAN_24, static_cast<unsigned char>(*character));
    glEnable(GL_DEPTH_TEST);
}

WhiteArea findWhite()
{
    WhiteArea area;
    for (int y = 0; y < contextHeight; ++y) {
        for (int x = 0; x < contextWidth; ++x) {
            const auto pixel = testsupport::readPixel(x, y);
            if (pixel.r > 200 && pixel.g > 200 && pixel.b > 200) {
                ++area.count;
                area.minX = std::min(area.minX, x);
                area.minY = std::min(area.minY, y);
                area.maxX = std::max(area.maxX, x);
                area.maxY = std::max(area.maxY, y);
            }
        }
    }
    return area;
}
} // namespace

TEST(OnScreenDisplayTest, DrawTextRestoresViewportDepthRangeAndMatrices)
{
    testsupport::ensureGLContext();
    glViewport(3, 4, 50, 40);
    glDepthRange(0.25, 0.75);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-3, 5, -7, 11, 1, 50);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(30, 0, 1, 0);
    glTranslatef(1, 2, 3);
    glMatrixMode(GL_TEXTURE);
    const Matrices before = currentMatrices();

    OnScreenDisplay(GLUT_BITMAP_TIMES_ROMAN_24).drawText(35, 35, "FPS:60 X:1 Y:2 Z:3");

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 3);
    EXPECT_EQ(viewport[1], 4);
    EXPECT_EQ(viewport[2], 50);
    EXPECT_EQ(viewport[3], 40);
    float depthRange[2] = {};
    glGetFloatv(GL_DEPTH_RANGE, depthRange);
    EXPECT_FLOAT_EQ(depthRange[0], 0.25f);
    EXPECT_FLOAT_EQ(depthRange[1], 0.75f);
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_TEXTURE);
    const Matrices after = currentMatrices();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(after.projection[i], before.projection[i]) << "projection element " << i;
        EXPECT_EQ(after.modelview[i], before.modelview[i]) << "modelview element " << i;
    }
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glMatrixMode(GL_MODELVIEW);
    glDepthRange(0.0, 1.0);
}

TEST(OnScreenDisplayTest, TextLandsAtItsWindowPositionInFrontOfTheScene)
{
    testsupport::ensureGLContext();
    const OnScreenDisplay display(GLUT_BITMAP_TIMES_ROMAN_24);

    drawNearBlueScene();
    display.drawText(35, 35, "FPS:60");
    const auto text = readWindow();
    const WhiteArea area = findWhite();
    EXPECT_GT(area.count, 20);
    EXPECT_GE(area.minX, 35);
    EXPECT_LE(area.minX, 38);
    EXPECT_GE(area.minY, 34);
    EXPECT_LE(area.minY, 36);
    EXPECT_LE(area.maxY, 55);

    // The same glyphs placed straight at window position (35, 35), drawn without depth.
    drawNearBlueScene();
    drawReference(35, 35, "FPS:60");
    EXPECT_EQ(text, readWindow()) << "the text is not at (35, 35) or not wholly in front";

    // After a resize the viewport is another one; the text stays 35 pixels from the corner.
    drawNearBlueScene();
    glViewport(0, 0, 20, 20);
    display.drawText(35, 35, "FPS:60");
    EXPECT_EQ(text, readWindow());

    // A fractional position is kept, not rounded through the viewport.
    drawNearBlueScene();
    display.drawText(30.75f, 33.5f, "FPS:60");
    const auto fractional = readWindow();
    drawNearBlueScene();
    drawReference(30.75f, 33.5f, "FPS:60");
    EXPECT_EQ(fractional, readWindow());

    // A line longer than the window is cut at the right edge, never wrapped to the left.
    drawNearBlueScene();
    display.drawText(35, 35, "WWWWWWWWWWWWWWWW");
    const WhiteArea longLine = findWhite();
    EXPECT_GT(longLine.count, 0);
    EXPECT_GE(longLine.minX, 35);
    EXPECT_GE(longLine.minY, 34);
}

TEST(OnScreenDisplayTest, EmptyTextDrawsNothing)
{
    testsupport::ensureGLContext();
    drawNearBlueScene();
    OnScreenDisplay(GLUT_BITMAP_TIMES_ROMAN_24).drawText(35, 35, "");
    EXPECT_EQ(findWhite().count, 0);
    const auto pixel = testsupport::readPixel(40, 40);
    EXPECT_EQ(pixel.b, 255);
}
