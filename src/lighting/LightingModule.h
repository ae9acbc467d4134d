#pragma once

#include "math/Point.h"

#include <array>
#include <istream>
#include <string>
#include <vector>

// Reads the lights file and drives the four fixed-function lights GL_LIGHT0..GL_LIGHT3 from
// its first four entries: light 0 directional, lights 1 to 3 spotlights aimed straight down.
// Positions are world coordinates (Y up), re-specified every frame under the view so the
// lights stay fixed in the world. A file with fewer than four lights leaves the missing GL
// lights switched off.
class LightingModule {
public:
    static constexpr unsigned int glLightCount = 4;

    // Needs a current GL context. Throws std::runtime_error naming the file (and the light)
    // when the file cannot be opened, its count cannot be read or a light entry is malformed.
    explicit LightingModule(const std::string& path);
    virtual ~LightingModule() = default;

    void applyLights();     // once per frame, after the view is loaded
    void disableLighting(); // after the lit geometry; the individual lights stay enabled

    const std::vector<Point>& getLightPositions() const { return lightPositions; }
    unsigned int getLightCount() const { return lightCount; } // as declared by the file

    using Color = std::array<float, 3>; // r, g, b as given in the file

    // What a lights file holds, one position and one colour per light in file order.
    struct Lights {
        std::vector<Point> positions;
        std::vector<Color> diffuseColors;
        unsigned int lightCount = 0; // as declared by the file
    };

    // The reading half of construction, free of GL: prints a "placed light at " line per
    // light and throws std::runtime_error naming `name` when the count or a light is malformed.
    static Lights readLights(std::istream& in, const std::string& name);

private:
    void setUpGLLights();
    unsigned int usableLights() const; // lights read that feed a GL light

    std::vector<Point> lightPositions;
    std::vector<Color> diffuseColors;
    unsigned int lightCount = 0;
    float lightPosition[4] = {0.0f, 0.0f, 0.0f, 1.0f}; // w is 1 between calls
    float ambientColor[4] = {0.2f, 0.2f, 0.2f, 0.0f};
};
