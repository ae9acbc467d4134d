#include "render/OnScreenDisplay.h"

#include <GL/glut.h>

void OnScreenDisplay::drawText(float x, float y, const char* text) const
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
    for (const char* character = text; *character != '\0'; ++character)
        glutBitmapCharacter(font, static_cast<unsigned char>(*character));
}
