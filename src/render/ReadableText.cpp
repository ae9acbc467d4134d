#include "render/ReadableText.h"

#include "render/ScreenTint.h"

#include <GL/glut.h>
#include <GL/freeglut_ext.h>

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
    ScreenTint::draw({0.0f, 0.0f, 0.0f, backingOpacity}, left, bottom, right, top);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    displayFor(size.font).drawText(float(size.margin), float(size.margin), text);
}
