#include "config/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

constexpr int maxWindowSide = 16384;
constexpr unsigned maxPlayersPerGroup = 10000;
constexpr long maxSnapshotFrames = 10000;
constexpr double maxAngle = 3600; // degrees either way

// A whole decimal number, all of the text, within [minimum, maximum].
std::optional<long> wholeNumber(const std::string& text, long minimum, long maximum)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

// A decimal number, all of the text, within [minimum, maximum].
std::optional<double> decimalNumber(const std::string& text, double minimum, double maximum)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value) || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

std::optional<float> realNumber(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value) || std::fabs(value) > 1.0e7f)
        return std::nullopt;
    return value;
}

class ArgumentReader {
public:
    explicit ArgumentReader(const std::vector<std::string>& arguments) : arguments(arguments) {}

    bool done() const { return next == arguments.size(); }
    const std::string& take() { return arguments[next++]; }

    // The value after an option; a missing one is a usage error naming the option.
    const std::string& value(const std::string& option, const std::string& what)
    {
        if (done())
            throw UsageError(option + " needs " + what);
        return take();
    }

private:
    const std::vector<std::string>& arguments;
    std::size_t next = 0;
};

Point readPoint(ArgumentReader& reader, const std::string& option)
{
    float coordinates[3];
    for (float& coordinate : coordinates) {
        const std::string& text = reader.value(option, "three numbers X Y Z");
        const std::optional<float> value = realNumber(text);
        if (!value)
            throw UsageError(option + " needs three numbers X Y Z, not " + text);
        coordinate = *value;
    }
    return Point(coordinates[0], coordinates[1], coordinates[2]);
}

std::pair<int, int> readSize(const std::string& option, const std::string& text)
{
    const std::size_t x = text.find('x');
    const auto width = x == std::string::npos ? std::nullopt : wholeNumber(text.substr(0, x), 1, maxWindowSide);
    const auto height = x == std::string::npos ? std::nullopt : wholeNumber(text.substr(x + 1), 1, maxWindowSide);
    if (!width || !height)
        throw UsageError(option + " needs WIDTHxHEIGHT in pixels (1 to " + std::to_string(maxWindowSide)
                         + "), not " + text);
    return {int(*width), int(*height)};
}

unsigned readCount(ArgumentReader& reader, const std::string& option)
{
    const std::string& text = reader.value(option, "two counts FRIENDS ENEMIES");
    const auto count = wholeNumber(text, 0, maxPlayersPerGroup);
    if (!count)
        throw UsageError(option + " needs two counts from 0 to " + std::to_string(maxPlayersPerGroup) + ", not "
                         + text);
    return unsigned(*count);
}

// "--pitch needs degrees from -89 to 89, not 90"
double readInRange(ArgumentReader& reader, const std::string& option, const std::string& unit, double minimum,
                   double maximum)
{
    std::ostringstream range;
    range << unit << " from " << minimum << " to " << maximum;
    const std::string& text = reader.value(option, range.str());
    const std::optional<double> value = decimalNumber(text, minimum, maximum);
    if (!value)
        throw UsageError(option + " needs " + range.str() + ", not " + text);
    return *value;
}

bool isDocumented(const std::string& argument)
{
    for (const OptionHelp& option : optionHelp())
        if (argument == option.name)
            return true;
    return false;
}

// Reads one option and its values; false when `argument` is not an option.
bool readOption(const std::string& argument, ArgumentReader& reader, CommandLine& line)
{
    if (argument == "--data") {
        line.dataRoot = reader.value(argument, "a folder");
    } else if (argument == "--list") {
        line.list = true;
    } else if (argument == "--at") {
        line.at = readPoint(reader, argument);
    } else if (argument == "--angle") {
        line.angle = readInRange(reader, argument, "degrees", -maxAngle, maxAngle);
    } else if (argument == "--pitch") {
        line.pitch = readInRange(reader, argument, "degrees", -CommandLine::maxPitch, CommandLine::maxPitch);
    } else if (argument == "--speed") {
        line.speed = readInRange(reader, argument, "units per second", CommandLine::minSpeed, CommandLine::maxSpeed);
    } else if (argument == "--mouse") {
        line.mouse = readInRange(reader, argument, "degrees per pixel", CommandLine::minMouse, CommandLine::maxMouse);
    } else if (argument == "--brightness") {
        line.brightness =
            readInRange(reader, argument, "a factor", CommandLine::minBrightness, CommandLine::maxBrightness);
    } else if (argument == "--size") {
        line.size = readSize(argument, reader.value(argument, "WIDTHxHEIGHT"));
    } else if (argument == "--lights") {
        line.lightsFile = reader.value(argument, "a lights file");
    } else if (argument == "--players") {
        const unsigned friends = readCount(reader, argument);
        line.players = std::make_pair(friends, readCount(reader, argument));
    } else if (argument == "--verbose") {
        line.verbose = true;
    } else if (argument == "--frame-log") {
        line.frameLog = reader.value(argument, "a file");
    } else if (argument == "--shots") {
        line.shots = reader.value(argument, "a folder");
    } else if (argument == "--snapshot") {
        line.snapshot = reader.value(argument, "a PNG file to write");
    } else if (argument == "--frames") {
        const std::string& text = reader.value(argument, "a frame count");
        const auto frames = wholeNumber(text, 1, maxSnapshotFrames);
        if (!frames)
            throw UsageError("--frames needs a count from 1 to " + std::to_string(maxSnapshotFrames) + ", not " + text);
        line.frames = int(*frames);
    } else if (argument == "--overview") {
        line.overview = reader.value(argument, "a PNG file to write");
    } else if (argument == "--time") {
        line.time = readInRange(reader, argument, "seconds", -CommandLine::maxTime, CommandLine::maxTime);
    } else if (argument == "--no-hud") {
        line.noHud = true;
    } else if (argument == "--help") {
        line.help = true;
    } else if (argument == "--version") {
        line.version = true;
    } else {
        return false;
    }
    return true;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    ArgumentReader reader(arguments);
    bool haveTarget = false;
    while (!reader.done()) {
        const std::string& argument = reader.take();
        if (argument.size() > 2 && argument.compare(0, 2, "--") == 0) {
            if (!isDocumented(argument))
                throw UsageError("unknown option " + argument);
            if (!readOption(argument, reader, line))
                throw std::logic_error("documented option not read: " + argument);
            continue;
        }
        if (haveTarget)
            throw UsageError("one level or configuration at a time, not both " + line.target + " and " + argument);
        line.target = argument;
        haveTarget = true;
    }
    if (line.help || line.version)
        return line;
    if (line.list && !line.dataRoot)
        throw UsageError("--list needs --data DIR");
    if (line.frames && !line.snapshot)
        throw UsageError("--frames needs --snapshot OUT.png");
    if (!line.list && !haveTarget)
        throw UsageError("no level or configuration file given");
    return line;
}

const std::vector<OptionHelp>& optionHelp()
{
    static const std::vector<OptionHelp> options = {
        {"--data", "DIR", "where levels, images, sky and scripts are: loose, or in *.pk3 and *.zip"},
        {"--list", "", "list the levels under --data DIR and where each comes from"},
        {"--at", "X Y Z", "start the eye there (world coordinates, Y up, as the status line shows)"},
        {"--angle", "DEG", "start heading, counterclockwise from the file's +X axis (-3600 to 3600)"},
        {"--pitch", "DEG", "start pitch, up positive (-89 to 89)"},
        {"--speed", "UNITS_PER_SECOND", "level mode's flying speed (default 400, 1 to 100000; Shift x3)"},
        {"--mouse", "DEG_PER_PIXEL", "level mode's mouse look (default 0.15, 0.001 to 10)"},
        {"--brightness", "F", "the designed frame's baked light times F (default 1, 0.25 to 4)"},
        {"--size", "WxH", "window size in pixels (default 1280x720)"},
        {"--lights", "FILE", "a lights file instead of four lights placed from the level's bounds"},
        {"--players", "FRIENDS ENEMIES", "players wandering in the level's box (default none)"},
        {"--verbose", "", "name every texture without an image"},
        {"--frame-log", "FILE", "write each frame's time in microseconds, one per line"},
        {"--shots", "DIR", "where p writes its pictures (a folder that exists; default: here)"},
        {"--snapshot", "OUT.png", "draw the start in a hidden window, write it as a PNG and exit"},
        {"--frames", "N", "the frame --snapshot writes (default 2, 1 to 10000)"},
        {"--overview", "OUT.png", "draw a map of the level from above, write it as a PNG and exit"},
        {"--no-hud", "", "start without the gun and the status line (h brings them back)"},
        {"--time", "SECONDS", "start the material clock there; --snapshot keeps it there (default 0)"},
        {"--help", "", "print this help and exit"},
        {"--version", "", "print the version and exit"},
    };
    return options;
}

const char* usageForms()
{
    return "usage: verdanth CONFIG_FILE\n"
           "       verdanth [OPTIONS] LEVEL_FILE\n"
           "       verdanth [OPTIONS] --data DIR NAME\n"
           "       verdanth --data DIR --list\n"
           "       verdanth --snapshot OUT.png [--frames N] [OPTIONS] LEVEL_FILE|CONFIG_FILE|--data DIR NAME\n"
           "       verdanth --overview OUT.png [--size WxH] LEVEL_FILE|CONFIG_FILE|--data DIR NAME\n";
}

const char* usageText()
{
    static const std::string text = std::string(usageForms()) +
           "options: --at X Y Z, --angle DEG, --pitch DEG, --size WxH, --lights FILE, --players FRIENDS ENEMIES,\n"
           "         --speed UNITS_PER_SECOND, --mouse DEG_PER_PIXEL, --verbose, --frame-log FILE, --shots DIR,\n"
           "         --brightness F, --no-hud\n";
    return text.c_str();
}

std::string decimalText(double value)
{
    char text[400]; // room for any double's whole part
    // Rounded first, so that -0.001 is written "0", not "-0".
    const double rounded = std::round(value * 100) / 100 + 0.0;
    std::snprintf(text, sizeof text, "%.2f", rounded == 0 ? 0.0 : rounded);
    std::string written = text;
    while (written.back() == '0')
        written.pop_back();
    if (written.back() == '.')
        written.pop_back();
    return written;
}

std::string viewOptions(const Point& eye, double heading, double pitch)
{
    std::string written = decimalText(heading);
    if (written == "360") // 359.996 rounds up to a whole turn
        written = "0";
    return "--at " + decimalText(eye.getX()) + " " + decimalText(eye.getY()) + " " + decimalText(eye.getZ())
         + " --angle " + written + " --pitch " + decimalText(pitch);
}
