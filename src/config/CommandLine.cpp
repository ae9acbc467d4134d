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

// The numbers an option takes, said the same way in --help and in the refusal of a bad value.
struct Range {
    const char* unit = nullptr; // "degrees"; null for an option without one range
    double minimum = 0;
    double maximum = 0;

    std::string text() const
    {
        std::ostringstream range;
        range << minimum << " to " << maximum;
        return range.str();
    }
};

struct Option;
using Read = void (*)(const Option& option, ArgumentReader& reader, CommandLine& line);

// One row per option: what the parser reads, what --help lists and the usage line names, and the
// range their messages give. "{range}" in a description is replaced by the range.
struct Option {
    const char* name;        // "--at"
    const char* value;       // what follows it, "X Y Z"; empty for a switch
    const char* description; // one line
    Range range;
    Read read;

    // "--pitch needs degrees from -89 to 89, not 90"
    double decimal(ArgumentReader& reader) const
    {
        const std::string needs = std::string(range.unit) + " from " + range.text();
        const std::string& text = reader.value(name, needs);
        const std::optional<double> number = decimalNumber(text, range.minimum, range.maximum);
        if (!number)
            throw UsageError(std::string(name) + " needs " + needs + ", not " + text);
        return *number;
    }
    long whole(const std::string& text) const
    {
        const auto number = wholeNumber(text, long(range.minimum), long(range.maximum));
        if (!number)
            throw UsageError(std::string(name) + " needs " + range.unit + " from " + range.text() + ", not " + text);
        return *number;
    }
    std::string text(ArgumentReader& reader, const char* what) const { return reader.value(name, what); }
};

std::pair<int, int> readSize(const Option& option, const std::string& text)
{
    const std::size_t x = text.find('x');
    const auto width = x == std::string::npos ? std::nullopt : wholeNumber(text.substr(0, x), 1, maxWindowSide);
    const auto height = x == std::string::npos ? std::nullopt : wholeNumber(text.substr(x + 1), 1, maxWindowSide);
    if (!width || !height)
        throw UsageError(std::string(option.name) + " needs WIDTHxHEIGHT in pixels (" + option.range.text()
                         + "), not " + text);
    return {int(*width), int(*height)};
}

const Option options[] = {
    {"--data", "DIR", "where levels, images, sky and scripts are: loose, or in *.pk3 and *.zip", {},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.dataRoot = o.text(r, "a folder"); }},
    {"--list", "", "list the levels under --data DIR and where each comes from", {},
     [](const Option&, ArgumentReader&, CommandLine& l) { l.list = true; }},
    {"--at", "X Y Z", "start the eye there (world coordinates, Y up, as the status line shows)", {},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.at = readPoint(r, o.name); }},
    {"--angle", "DEG", "start heading, counterclockwise from the file's +X axis ({range})",
     {"degrees", -maxAngle, maxAngle},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.angle = o.decimal(r); }},
    {"--pitch", "DEG", "start pitch, up positive ({range})", {"degrees", -CommandLine::maxPitch, CommandLine::maxPitch},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.pitch = o.decimal(r); }},
    {"--speed", "UNITS_PER_SECOND", "level mode's flying speed (default 400, {range}; Shift x3)",
     {"units per second", CommandLine::minSpeed, CommandLine::maxSpeed},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.speed = o.decimal(r); }},
    {"--mouse", "DEG_PER_PIXEL", "level mode's mouse look (default 0.15, {range})",
     {"degrees per pixel", CommandLine::minMouse, CommandLine::maxMouse},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.mouse = o.decimal(r); }},
    {"--brightness", "F", "the designed frame's baked light times F (default 1, {range})",
     {"a factor", CommandLine::minBrightness, CommandLine::maxBrightness},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.brightness = o.decimal(r); }},
    {"--size", "WxH", "window size in pixels (default 1280x720, each side {range})", {"pixels", 1, maxWindowSide},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.size = readSize(o, o.text(r, "WIDTHxHEIGHT")); }},
    {"--lights", "FILE", "a lights file instead of four lights placed from the level's bounds", {},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.lightsFile = o.text(r, "a lights file"); }},
    {"--players", "FRIENDS ENEMIES", "players wandering in the level's box ({range} of each; default none)",
     {"two counts", 0, maxPlayersPerGroup},
     [](const Option& o, ArgumentReader& r, CommandLine& l) {
         const long friends = o.whole(o.text(r, "two counts FRIENDS ENEMIES"));
         l.players = std::make_pair(unsigned(friends), unsigned(o.whole(o.text(r, "two counts FRIENDS ENEMIES"))));
     }},
    {"--verbose", "", "name every texture without an image", {},
     [](const Option&, ArgumentReader&, CommandLine& l) { l.verbose = true; }},
    {"--frame-log", "FILE", "write each frame's time in microseconds, one per line", {},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.frameLog = o.text(r, "a file"); }},
    {"--shots", "DIR", "where p writes its pictures (a folder that exists; default: here)", {},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.shots = o.text(r, "a folder"); }},
    {"--snapshot", "OUT.png", "draw the start off-screen (or in a hidden window), write it as a PNG and exit", {},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.snapshot = o.text(r, "a PNG file to write"); }},
    {"--frames", "N", "the frame --snapshot writes (default 2, {range})", {"a count", 1, maxSnapshotFrames},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.frames = int(o.whole(o.text(r, "a frame count"))); }},
    {"--overview", "OUT.png", "draw a map of the level from above, write it as a PNG and exit", {},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.overview = o.text(r, "a PNG file to write"); }},
    {"--no-hud", "", "start without the gun and the status line (h brings them back)", {},
     [](const Option&, ArgumentReader&, CommandLine& l) { l.noHud = true; }},
    {"--walk", "", "start walking as a player, not flying (g switches)", {},
     [](const Option&, ArgumentReader&, CommandLine& l) { l.walk = true; }},
    {"--no-watch", "", "do not reload the level when its files change (F5 still does)", {},
     [](const Option&, ArgumentReader&, CommandLine& l) { l.noWatch = true; }},
    {"--thumbnail", "SIZE",
     "--snapshot as a file manager's thumbnail: SIZE wide ({range}), 16:9, no gun or status line, "
     "given up after 5 seconds",
     {"pixels", CommandLine::minThumbnail, CommandLine::maxThumbnail},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.thumbnail = int(o.whole(o.text(r, "a size in pixels"))); }},
    {"--time", "SECONDS", "start the material clock there ({range}; default 0); --snapshot keeps it there",
     {"seconds", -CommandLine::maxTime, CommandLine::maxTime},
     [](const Option& o, ArgumentReader& r, CommandLine& l) { l.time = o.decimal(r); }},
    {"--help", "", "print this help and exit", {}, [](const Option&, ArgumentReader&, CommandLine& l) { l.help = true; }},
    {"--version", "", "print the version and exit", {},
     [](const Option&, ArgumentReader&, CommandLine& l) { l.version = true; }},
};

const Option* optionNamed(const std::string& name)
{
    for (const Option& option : options)
        if (name == option.name)
            return &option;
    return nullptr;
}

std::string describe(const Option& option)
{
    std::string text = option.description;
    if (const std::size_t at = text.find("{range}"); at != std::string::npos)
        text.replace(at, 7, option.range.text());
    return text;
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
            const Option* option = optionNamed(argument);
            if (option == nullptr)
                throw UsageError("unknown option " + argument);
            option->read(*option, reader, line);
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
    if (line.thumbnail && !line.snapshot)
        throw UsageError("--thumbnail needs --snapshot OUT.png");
    if (!line.list && !haveTarget)
        throw UsageError("no level or configuration file given");
    return line;
}

const std::vector<OptionHelp>& optionHelp()
{
    static const std::vector<OptionHelp> listed = [] {
        std::vector<OptionHelp> rows;
        for (const Option& option : options)
            rows.push_back({option.name, option.value, describe(option)});
        return rows;
    }();
    return listed;
}

const char* usageForms()
{
    return "usage: verdanth CONFIG_FILE\n"
           "       verdanth [OPTIONS] LEVEL_FILE|PACK.pk3\n"
           "       verdanth [OPTIONS] --data DIR NAME\n"
           "       verdanth --data DIR --list\n"
           "       verdanth --snapshot OUT.png [--frames N] [OPTIONS] LEVEL_FILE|CONFIG_FILE|--data DIR NAME\n"
           "       verdanth --overview OUT.png [--size WxH] LEVEL_FILE|CONFIG_FILE|--data DIR NAME\n"
           "       verdanth --thumbnail SIZE --snapshot OUT.png LEVEL_FILE\n";
}

// The forms, then every option with its value, wrapped as the forms are.
const char* usageText()
{
    static const std::string text = [] {
        constexpr std::size_t width = 100;
        std::string written = usageForms();
        std::string row = "options:";
        for (const Option& option : options) {
            const std::string item = std::string(" ") + option.name + (*option.value ? " " : "") + option.value;
            if (row.size() + item.size() + 1 > width) {
                written += row + ",\n";
                row = "        ";
            } else if (row != "options:" && row != "        ") {
                row += ",";
            }
            row += item;
        }
        return written + row + "\n";
    }();
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
