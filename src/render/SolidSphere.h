#pragma once

#include <GL/glew.h>

// A GLUT solid sphere compiled once into a display list. GLUT builds a sphere's vertex
// arrays on the heap at every call; replaying the list draws the same ball each frame
// without that allocation. Compiled at the first draw, when a GL context is current.
class SolidSphere {
public:
    SolidSphere(double radius, int slices, int stacks) : radius(radius), slices(slices), stacks(stacks) {}
    ~SolidSphere();
    SolidSphere(const SolidSphere&) = delete;
    SolidSphere& operator=(const SolidSphere&) = delete;

    void draw(); // at the current model-view position, in the current colour

private:
    double radius;
    int slices;
    int stacks;
    GLuint list = 0;
};
