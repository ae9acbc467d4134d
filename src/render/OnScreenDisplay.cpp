#include "render/OnScreenDisplay.h"

#include <GL/glew.h>
#include <GL/glut.h>

#include <cstring>
#include <utility>

// freeglut's glyph tables, with the layout of its SFG_Font. Its bitmap-text functions refuse to
// run before glutInit, which needs an X display, and an off-screen picture has none; drawing the
// same glyphs with the same glBitmap calls here gives the same pixels with or without GLUT.
struct FreeglutGlyphTable {
    const char* name;
    int quantity;
    int height; // pixels
    const GLubyte** characters; // per character: its width and advance in pixels, then its rows
    float originX, originY;
};
extern "C" const FreeglutGlyphTable fgFontTimesRoman24, fgFontTimesRoman10, fgFontHelvetica10,
    fgFontHelvetica12, fgFontHelvetica18, fgFontFixed8x13, fgFontFixed9x15;

namespace {
const FreeglutGlyphTable& glyphTable(void* font)
{
    const std::pair<void*, const FreeglutGlyphTable*> tables[] = {
        {GLUT_BITMAP_TIMES_ROMAN_10, &fgFontTimesRoman10}, {GLUT_BITMAP_HELVETICA_10, &fgFontHelvetica10},
        {GLUT_BITMAP_HELVETICA_12, &fgFontHelvetica12},    {GLUT_BITMAP_HELVETICA_18, &fgFontHelvetica18},
        {GLUT_BITMAP_8_BY_13, &fgFontFixed8x13},           {GLUT_BITMAP_9_BY_15, &fgFontFixed9x15},
    };
    for (const auto& [handle, table] : tables)
        if (font == handle)
            return *table;
    return fgFontTimesRoman24;
}

// As glutBitmapCharacter draws them: rows of whole bytes, unpadded, most significant bit first.
void drawGlyphs(const FreeglutGlyphTable& table, const char* text, std::size_t count)
{
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const char* character = text; character != text + count; ++character) {
        const GLubyte* glyph = table.characters[static_cast<unsigned char>(*character)];
        glBitmap(glyph[0], table.height, table.originX, table.originY, float(glyph[0]), 0.0f, glyph + 1);
    }
    glPopClientAttrib();
}
} // namespace

int OnScreenDisplay::textWidth(const char* text) const { return textWidth(text, std::strlen(text)); }

int OnScreenDisplay::textWidth(const char* text, std::size_t count) const
{
    const FreeglutGlyphTable& table = glyphTable(font);
    int width = 0;
    for (const char* character = text; character != text + count; ++character)
        width += table.characters[static_cast<unsigned char>(*character)][0];
    return width;
}

int OnScreenDisplay::lineHeight() const { return glyphTable(font).height; }

void OnScreenDisplay::drawText(float x, float y, const char* text) const { drawText(x, y, text, std::strlen(text)); }

void OnScreenDisplay::drawText(float x, float y, const char* text, std::size_t count) const
{
    glPushAttrib(GL_TRANSFORM_BIT | GL_VIEWPORT_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // Window depth 0 puts the text in front of the whole scene under GL_LEQUAL.
    glDepthRange(0.0, 0.0);
    // A two-pixel viewport around the target keeps the raster position valid anywhere,
    // even where (x, y) lies outside the window's own viewport.
    const int ix = static_cast<int>(x);
    const int iy = static_cast<int>(y);
    glViewport(ix - 1, iy - 1, 2, 2);
    glRasterPos4f(x - float(ix), y - float(iy), 0.0f, 1.0f);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    drawGlyphs(glyphTable(font), text, count);
}
