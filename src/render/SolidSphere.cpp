#include "render/SolidSphere.h"

#include <GL/glut.h>

SolidSphere::~SolidSphere()
{
    if (list != 0)
        glDeleteLists(list, 1);
}

void SolidSphere::draw()
{
    if (list == 0) {
        list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        glutSolidSphere(radius, slices, stacks);
        glEndList();
    }
    glCallList(list);
}
