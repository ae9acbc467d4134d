#pragma once

#include "math/Point.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// What the command line asks for. One argument that is a configuration file is the original
// configuration mode; a level file (or a level name with --data) is level mode, with the
// options below, each absent by default.
struct CommandLine {
    std::string target;                  // a configuration file, a level file, or a level name with --data
    std::optional<std::string> dataRoot; // --data DIR
    bool list = false;                   // --list: the levels under --data
    std::optional<Point> at;             // --at X Y Z: eye position in world coordinates (Y up)
    std::optional<double> angle;         // --angle DEG: heading, counterclockwise from the file's +X
    std::optional<double> pitch;         // --pitch DEG: up positive, within +-maxPitch
    std::optional<double> speed;         // --speed UNITS: level mode's flying speed, per second
    std::optional<double> mouse;         // --mouse DEG: level mode's mouse look, degrees per pixel
    std::optional<double> brightness;    // --brightness F: the designed frame's baked light, times F
    std::optional<std::pair<int, int>> size;                  // --size WxH, pixels
    std::optional<std::string> lightsFile;                    // --lights FILE
    std::optional<std::pair<unsigned, unsigned>> players;     // --players FRIENDS ENEMIES
    bool verbose = false;                                     // --verbose: every missing texture
    std::optional<std::string> frameLog;                      // --frame-log FILE: each frame's time
    std::optional<std::string> shots;                         // --shots DIR: where 'p' writes its pictures
    std::optional<std::string> snapshot;                      // --snapshot OUT.png: write a frame and exit
    std::optional<int> frames;                                // --frames N: the snapshot's frame, from 1
    std::optional<std::string> overview;                      // --overview OUT.png: a map from above, then exit
    bool noHud = false;                                       // --no-hud: start without the gun and status line
    bool walk = false;                                        // --walk: start walking, not flying
    bool noWatch = false;                                     // --no-watch: no reload when the files change
    std::optional<int> thumbnail;                             // --thumbnail SIZE: the snapshot's width, pixels
    std::optional<double> time;                               // --time SECONDS: where the material clock starts
    bool help = false;                                        // --help: print the help and exit
    bool version = false;                                     // --version: print the version and exit

    static constexpr int defaultWidth = 1280;
    static constexpr int defaultHeight = 720;
    static constexpr double maxPitch = 89;
    static constexpr double minSpeed = 1, maxSpeed = 100000;
    static constexpr double minMouse = 0.001, maxMouse = 10;
    static constexpr double minBrightness = 0.25, maxBrightness = 4;
    static constexpr double maxTime = 100000; // seconds, either way
    static constexpr int minThumbnail = 16, maxThumbnail = 2048; // pixels
};

// A command line that cannot be followed; the message says why (start-up adds the usage).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One option as --help lists it, from the table the parser reads (and the manual page's test
// then asks for it in docs/man/verdanth.1).
struct OptionHelp {
    std::string name;        // "--at"
    std::string value;       // what follows it, "X Y Z"; empty for a switch
    std::string description; // one line, its range as the parser's refusal gives it
};
const std::vector<OptionHelp>& optionHelp();

// arguments: everything after the program name. Throws UsageError. With --help or --version
// nothing else is required.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The forms of the command line, "usage: verdanth CONFIG_FILE\n       verdanth ...\n".
const char* usageForms();

// The usage text: the forms, then every option with its value; each line ends in a line break.
const char* usageText();

// A number as the view options and the configuration write it: rounded to two decimals, without
// trailing zeros ("90", "-12.5", "0.15"). Two decimals of a degree move the picture by less than
// a tenth of a pixel, and a hundredth of a unit is finer than any texel.
std::string decimalText(double value);

// The options that reopen a view: "--at X Y Z --angle A --pitch P" (heading in [0, 360)).
std::string viewOptions(const Point& eye, double heading, double pitch);
