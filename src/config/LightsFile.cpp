#include "config/LightsFile.h"

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
