#include "config/LightsFile.h"

#include <cmath>
#include <fstream>
#include <iostream>
#include <stdexcept>

LightsFile LightsFile::read(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        throw std::runtime_error(path + ": cannot open the lights file");
    return read(file, path);
}

LightsFile LightsFile::read(std::istream& in, const std::string& name)
{
    LightsFile lights;
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

LightsFile LightsFile::placedIn(const Point& low, const Point& high)
{
    LightsFile lights;
    lights.positions.emplace_back(1.0f, 3.0f, 2.0f); // a direction for the directional light 0
    lights.diffuseColors.push_back({0.75f, 0.75f, 0.7f});
    const bool alongX = high.getX() - low.getX() >= high.getZ() - low.getZ();
    const float hangY = std::round(high.getY() - 8.0f);
    for (const float fraction : {0.25f, 0.5f, 0.75f}) {
        const float x = alongX ? low.getX() + fraction * (high.getX() - low.getX()) : (low.getX() + high.getX()) / 2;
        const float z = alongX ? (low.getZ() + high.getZ()) / 2 : low.getZ() + fraction * (high.getZ() - low.getZ());
        lights.positions.emplace_back(std::round(x), hangY, std::round(z));
        lights.diffuseColors.push_back({0.8f, 0.8f, 0.75f});
    }
    lights.lightCount = unsigned(lights.positions.size());
    return lights;
}
