#include "render/LightingModule.h"

#include <GL/glew.h>

#include <algorithm>

namespace {
constexpr float spotCutoffDegrees = 30.0f;
constexpr float noCutoffDegrees = 180.0f;
constexpr float spotDirection[4] = {0.0f, -1.0f, 0.0f, 0.0f}; // straight down in the world
constexpr float diffuseAlpha = 1.0f; // the lit alpha comes from the material, not from here
} // namespace

LightingModule::LightingModule(const std::string& path) : LightingModule(LightsFile::read(path)) {}

LightingModule::LightingModule(const LightsFile& lights)
    : lightPositions(lights.positions), diffuseColors(lights.diffuseColors), lightCount(lights.lightCount)
{
    setUpGLLights();
}

unsigned int LightingModule::usableLights() const
{
    return std::min(glLightCount, static_cast<unsigned int>(lightPositions.size()));
}

void LightingModule::setUpGLLights()
{
    glShadeModel(GL_SMOOTH);
    for (unsigned int i = 0; i < glLightCount; ++i) {
        const GLenum light = GL_LIGHT0 + i;
        if (i >= usableLights()) {
            glDisable(light); // no entry in the file: never fed an unset position
            continue;
        }
        lightPosition[0] = lightPositions[i].getX();
        lightPosition[1] = lightPositions[i].getY();
        lightPosition[2] = lightPositions[i].getZ();
        const float diffuse[4] = {diffuseColors[i][0], diffuseColors[i][1], diffuseColors[i][2], diffuseAlpha};
        glLightfv(light, GL_AMBIENT, ambientColor);
        glLightfv(light, GL_POSITION, lightPosition);
        glLightfv(light, GL_DIFFUSE, diffuse);
        glEnable(light);
        glLightf(light, GL_SPOT_CUTOFF, spotCutoffDegrees);
    }
}

void LightingModule::applyLights()
{
    // GL transforms positions and spot directions by the model-view matrix current now.
    for (unsigned int i = 0; i < usableLights(); ++i) {
        const GLenum light = GL_LIGHT0 + i;
        if (i == 0) {
            lightPosition[3] = 0.0f; // light 0 shines from the direction of its position
            glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, noCutoffDegrees);
        }
        lightPosition[0] = lightPositions[i].getX();
        lightPosition[1] = lightPositions[i].getY();
        lightPosition[2] = lightPositions[i].getZ();
        glLightfv(light, GL_POSITION, lightPosition);
        if (i != 0)
            glLightfv(light, GL_SPOT_DIRECTION, spotDirection);
        lightPosition[3] = 1.0f;
    }
    glEnable(GL_LIGHTING);
}

void LightingModule::disableLighting() { glDisable(GL_LIGHTING); }
