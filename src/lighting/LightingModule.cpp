#include "lighting/LightingModule.h"

#include <GL/glew.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <utility>

namespace {
constexpr float spotCutoffDegrees = 30.0f;
constexpr float noCutoffDegrees = 180.0f;
constexpr float spotDirection[4] = {0.0f, -1.0f, 0.0f, 0.0f}; // straight down in the world
constexpr float diffuseAlpha = 1.0f; // the lit alpha comes from the material, not from here
} // namespace

LightingModule::LightingModule(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        throw std::runtime_error(path + ": cannot open the lights file");
    Lights lights = readLights(file, path);
    lightPositions = std::move(lights.positions);
    diffuseColors = std::move(lights.diffuseColors);
    lightCount = lights.lightCount;
    setUpGLLights();
}

LightingModule::Lights LightingModule::readLights(std::istream& in, const std::string& name)
{
    Lights lights;
    if (!(in >> lights.lightCount))
        throw std::runtime_error(name + ": cannot read the number of lights");

    // Grown entry by entry: a huge declared count must not reserve memory up front.
    for (unsigned int light = 0; light < lights.lightCount; ++light) {
        std::string firstWord;
        std::string secondWord;
        int x = 0, y = 0, z = 0;
        Color color{};
        if (!(in >> firstWord >> secondWord >> x >> y >> z >> color[0] >> color[1] >> color[2])) {
            throw std::runtime_error(name + ": cannot read light " + std::to_string(light + 1) + " of "
                                     + std::to_string(lights.lightCount)
                                     + " (expected two words, whole numbers x y z, then colour r g b)");
        }
        lights.positions.emplace_back(float(x), float(y), float(z));
        lights.diffuseColors.push_back(color);
        std::cerr << "placed light at " << x << "," << y << "," << z << "\n";
    }
    return lights;
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
