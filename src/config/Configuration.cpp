#include "config/Configuration.h"

#include "config/CommandLine.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

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

// Reads the two counts of "level_players"; false when one is not a whole number.
bool readPlayerCounts(std::istream& in, Configuration& configuration)
{
    unsigned friends = 0, enemies = 0;
    if (!(in >> friends >> enemies))
        return false;
    configuration.levelPlayers = std::make_pair(friends, enemies);
    std::cerr << "setting " << friends << " " << enemies << std::endl;
    return true;
}

// The switches of the extensions: one token, on when it reads as a non-zero number.
bool readSwitch(std::istream& in, const std::string& key, Configuration& configuration)
{
    bool* const setting = key == "archives"         ? &configuration.archives
                        : key == "default_lights" ? &configuration.defaultLights
                        : key == "screenshots"    ? &configuration.screenshots
                                                  : nullptr;
    if (setting == nullptr)
        return false;
    std::string value;
    in >> value;
    *setting = std::atoi(value.c_str()) != 0;
    echoSetting(value);
    return true;
}

// An angle's token: its leading number, 0 where there is none (or it is not finite).
double readAngle(std::istream& in)
{
    std::string value;
    in >> value;
    echoSetting(value);
    const double degrees = std::strtod(value.c_str(), nullptr);
    return std::isfinite(degrees) ? degrees : 0.0;
}

// A factor within the range --brightness takes, all of the token; anything else is kept to be
// refused, since a level drawn at a brightness nobody asked for would look like a fault.
void readBrightness(std::istream& in, Configuration& configuration)
{
    std::string value;
    in >> value;
    echoSetting(value);
    char* end = nullptr;
    const double factor = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !(factor >= CommandLine::minBrightness && factor <= CommandLine::maxBrightness)) {
        configuration.unreadableBrightness = value;
        return;
    }
    configuration.brightness = factor;
    configuration.unreadableBrightness.reset();
}

// Reads the value of one extension key; false when the key is not one.
bool readExtensionValue(std::istream& in, const std::string& key, Configuration& configuration)
{
    if (key == "start_angle" || key == "start_pitch") {
        (key == "start_angle" ? configuration.startAngle : configuration.startPitch) = readAngle(in);
        return true;
    }
    if (key == "look") {
        std::string look;
        in >> look;
        configuration.designedLook = look == "designed";
        configuration.unknownLook = configuration.designedLook ? "" : look;
        echoSetting(look);
        return true;
    }
    if (key == "brightness") {
        readBrightness(in, configuration);
        return true;
    }
    if (key == "level_players") {
        if (!readPlayerCounts(in, configuration))
            configuration.unreadableKey = key;
        return true;
    }
    return readSwitch(in, key, configuration);
}

// Reads the value of one known key; false when the key is unknown.
bool readValue(std::istream& in, const std::string& key, Configuration& configuration,
               const FriendliesMaker& makeFriendlies)
{
    std::string value;
    if (key == "width" || key == "height") {
        if (!(in >> value))
            configuration.missingValues.insert(key);
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
        configuration.playersFile = value;
    } else {
        return readExtensionValue(in, key, configuration);
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

bool namesWindowSize(std::istream& in)
{
    for (std::string word; in >> word;)
        if (word == "width" || word == "height")
            return true;
    return false;
}

std::optional<std::string> configurationProblem(const Configuration& configuration, const std::string& path)
{
    if (!configuration.opened)
        return path + ": cannot open the configuration file";
    if (!configuration.unknownLook.empty())
        return path + ": \"look\" can only be designed, not " + configuration.unknownLook;
    if (const auto& brightness = configuration.unreadableBrightness)
        return path + ": \"brightness\" needs a factor from " + decimalText(CommandLine::minBrightness) + " to "
             + decimalText(CommandLine::maxBrightness) + (brightness->empty() ? "" : ", not " + *brightness);
    if (configuration.unreadableKey == "level_players")
        return path + ": the value of \"level_players\" is not two whole numbers (friends, enemies)";
    if (!configuration.unreadableKey.empty())
        return path + ": the value of \"" + configuration.unreadableKey + "\" is not three whole numbers";
    for (const auto& [key, value] : {std::pair{"width", configuration.windowWidth},
                                     std::pair{"height", configuration.windowHeight}}) {
        if (!value)
            return path + ": \"" + key + "\" is missing";
        if (configuration.missingValues.count(key) != 0)
            return path + ": the value of \"" + key + "\" is missing at the end of the file";
        if (*value <= 0)
            return path + ": \"" + key + "\" must be a positive whole number, not " + std::to_string(*value);
    }
    return std::nullopt;
}

std::string configurationText(const Configuration& configuration)
{
    std::ostringstream text;
    text << "width = " << configuration.windowWidth.value_or(0) << "\n"
         << "height = " << configuration.windowHeight.value_or(0) << "\n"
         << "datapath = " << configuration.dataPath << "\n"
         << "level = " << configuration.levelPath << "\n";
    if (configuration.defaultLights)
        text << "default_lights = 1\n";
    else
        text << "lights = " << configuration.lightsFile << "\n";
    const Point& start = configuration.startPoint;
    text << "start_vec = " << std::lround(start.getX()) << " " << std::lround(start.getY()) << " "
         << std::lround(start.getZ()) << "\n";
    if (configuration.startAngle)
        text << "start_angle = " << decimalText(*configuration.startAngle) << "\n";
    if (configuration.startPitch)
        text << "start_pitch = " << decimalText(*configuration.startPitch) << "\n";
    if (!configuration.playersFile.empty())
        text << "players = " << configuration.playersFile << "\n";
    if (configuration.levelPlayers)
        text << "level_players = " << configuration.levelPlayers->first << " " << configuration.levelPlayers->second
             << "\n";
    if (configuration.archives)
        text << "archives = 1\n";
    if (configuration.designedLook)
        text << "look = designed\n";
    if (configuration.brightness)
        text << "brightness = " << decimalText(*configuration.brightness) << "\n";
    if (configuration.screenshots)
        text << "screenshots = 1\n";
    return text.str();
}
