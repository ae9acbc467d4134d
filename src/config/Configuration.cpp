#include "config/Configuration.h"

#include <cstdlib>
#include <fstream>
#include <iostream>

namespace {
void echoSetting(const std::string& value) { std::cerr << "setting " << value << std::endl; }

// Reads the three whole numbers of "start_vec"; false when one is not a whole number.
bool readStartPoint(std::istream& in, Point& startPoint)
{
    int x = 0, y = 0, z = 0;
    if (!(in >> x))
        return false;
    startPoint.setX(float(x));
    if (!(in >> y))
        return false;
    startPoint.setY(float(y));
    if (!(in >> z))
        return false;
    startPoint.setZ(float(z));
    std::cerr << "starting at " << x << "," << y << "," << z << std::endl;
    return true;
}

// Reads the value of one known key; false when the key is unknown.
bool readValue(std::istream& in, const std::string& key, Configuration& configuration,
               const FriendliesMaker& makeFriendlies)
{
    std::string value;
    if (key == "width" || key == "height") {
        in >> value;
        (key == "width" ? configuration.windowWidth : configuration.windowHeight) = std::atoi(value.c_str());
        echoSetting(value);
    } else if (key == "bpp" || key == "vsync") {
        in >> value;
        (key == "bpp" ? configuration.bpp : configuration.vsync) = value;
        echoSetting(value);
    } else if (key == "datapath" || key == "level") {
        in >> value;
        (key == "datapath" ? configuration.dataPath : configuration.levelPath) = value;
        echoSetting(value);
    } else if (key == "lights") {
        in >> configuration.lightsFile;
        std::cerr << "lighting file " << configuration.lightsFile << std::endl;
    } else if (key == "start_vec") {
        if (!readStartPoint(in, configuration.startPoint))
            configuration.unreadableKey = key;
    } else if (key == "players") {
        in >> value;
        std::cerr << "reading players from " << value;
        configuration.friendlies = makeFriendlies(value);
    } else {
        return false;
    }
    return true;
}
} // namespace

Configuration readConfiguration(const std::string& path)
{
    std::ifstream in(path);
    return readConfiguration(in, [](const std::string& fileName) { return std::make_unique<Friendlies>(fileName); });
}

Configuration readConfiguration(std::istream& in, const FriendliesMaker& makeFriendlies)
{
    Configuration configuration;
    configuration.opened = bool(in);
    std::string key;
    std::string separator;
    while (in >> key) {
        in >> separator;
        if (!readValue(in, key, configuration, makeFriendlies))
            std::cerr << "unknown property" << key << std::endl;
        if (!configuration.unreadableKey.empty())
            break; // a value that cannot be read ends reading; it is never retried
    }
    return configuration;
}

std::optional<std::string> configurationProblem(const Configuration& configuration, const std::string& path)
{
    if (!configuration.opened)
        return path + ": cannot open the configuration file";
    if (!configuration.unreadableKey.empty())
        return path + ": the value of \"" + configuration.unreadableKey + "\" is not three whole numbers";
    for (const auto& [key, value] : {std::pair{"width", configuration.windowWidth},
                                     std::pair{"height", configuration.windowHeight}}) {
        if (!value)
            return path + ": \"" + key + "\" is missing";
        if (*value <= 0)
            return path + ": \"" + key + "\" must be a positive whole number, not " + std::to_string(*value);
    }
    return std::nullopt;
}
