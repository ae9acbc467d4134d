#pragma once

#include "config/LightsFile.h"
#include "math/Point.h"

#include <string>
#include <vector>

// Drives the four fixed-function lights GL_LIGHT0..GL_LIGHT3 from the first four entries of a
// lights file: light 0 directional, lights 1 to 3 spotlights aimed straight down.
// Positions are world coordinates (Y up), re-specified every frame under the view so the
// lights stay fixed in the world. A file with fewer than four lights leaves the missing GL
// lights switched off.
class LightingModule {
public:
    static constexpr unsigned int glLightCount = 4;

    // Needs a current GL context. Throws std::runtime_error naming the file (and the light)
    // when the file cannot be opened, its count cannot be read or a light entry is malformed.
    explicit LightingModule(const std::string& path);
    explicit LightingModule(const LightsFile& lights); // lights already read
    virtual ~LightingModule() = default;

    void applyLights();     // once per frame, after the view is loaded
    void disableLighting(); // after the lit geometry; the individual lights stay enabled

    const std::vector<Point>& getLightPositions() const { return lightPositions; }
    unsigned int getLightCount() const { return lightCount; } // as declared by the file

private:
    void setUpGLLights();
    unsigned int usableLights() const; // lights read that feed a GL light

    std::vector<Point> lightPositions;
    std::vector<LightsFile::Color> diffuseColors;
    unsigned int lightCount = 0;
    float lightPosition[4] = {0.0f, 0.0f, 0.0f, 1.0f}; // w is 1 between calls
    float ambientColor[4] = {0.2f, 0.2f, 0.2f, 0.0f};
};
