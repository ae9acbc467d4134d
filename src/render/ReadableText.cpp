#include "render/ReadableText.h"

#include "render/SavedGLState.h"

#include <GL/glut.h>
#include <GL/freeglut_ext.h>

namespace {
constexpr float backingOpacity = 0.55f;
constexpr int padding = 3; // pixels of backing around the text
} // namespace

ReadableText::Size ReadableText::sizeFor(int height)
{
    if (height < 300)
        return {GLUT_BITMAP_HELVETICA_12, 10};
    if (height < 600)
        return {GLUT_BITMAP_HELVETICA_18, 20};
    return {GLUT_BITMAP_TIMES_ROMAN_24, 35};
}

ReadableText::ReadableText()
    : small(GLUT_BITMAP_HELVETICA_12), medium(GLUT_BITMAP_HELVETICA_18), large(GLUT_BITMAP_TIMES_ROMAN_24)
{
}

const OnScreenDisplay& ReadableText::displayFor(void* font) const
{
    if (font == GLUT_BITMAP_HELVETICA_12)
        return small;
    return font == GLUT_BITMAP_HELVETICA_18 ? medium : large;
}

void ReadableText::draw(const char* text) const
{
    if (*text == '\0')
        return;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const Size size = sizeFor(viewport[3]);
    const OnScreenDisplay& display = displayFor(size.font);
    const int width = display.textWidth(text);
    const int height = display.lineHeight();
    // The bitmap fonts' line height holds a descent of about a quarter below the baseline.
    const int left = size.margin - padding;
    const int bottom = size.margin - height / 4 - padding;
    const int right = size.margin + width + padding;
    const int top = size.margin + height * 3 / 4 + padding;
    {
        const SavedGLState saved(GL_ENABLE_BIT | GL_TRANSFORM_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_FOG);
        glDisable(GL_CULL_FACE);
        glDisable(GL_ALPHA_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, viewport[2], 0, viewport[3], -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glColor4f(0.0f, 0.0f, 0.0f, backingOpacity);
        glRecti(left, bottom, right, top);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    displayFor(size.font).drawText(float(size.margin), float(size.margin), text);
}
