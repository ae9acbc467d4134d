#pragma once

#include "entities/Friendlies.h"
#include "math/Point.h"

#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>

// What the configuration file sets. Values a file does not give keep their defaults;
// the window size has none, so start-up can tell that it is missing. The keys after
// "players" are extensions, each absent by default: without them a file reads and runs
// exactly as the original keys alone describe.
struct Configuration {
    std::optional<int> windowWidth;
    std::optional<int> windowHeight;
    std::string bpp;
    std::string vsync;
    std::string dataPath;
    std::string levelPath;
    std::string lightsFile;
    Point startPoint{0.0f, 0.0f, 0.0f};
    std::unique_ptr<Friendlies> friendlies; // built as soon as the "players" entry is read
    std::string playersFile;                // the "players" value, for printing the configuration back

    // ---- extensions ----
    std::optional<double> startAngle; // "start_angle": degrees counterclockwise from the level file's +X, seen from above
    std::optional<double> startPitch; // "start_pitch": degrees up; with it the view looks up to 89 degrees either way
    bool archives = false;         // "archives": also search the data path's *.pk3 and *.zip
    bool defaultLights = false;    // "default_lights": four lights placed from the level's bounds, no lights file
    std::optional<std::pair<unsigned, unsigned>> levelPlayers; // "level_players": friends, enemies in model 0's box
    bool designedLook = false;     // "look = designed": lightmaps, materials, far-box sky, batched drawing
    std::string unknownLook;       // a "look" value other than "designed", as written; refused
    std::optional<double> brightness; // "brightness": the designed frame's baked light, times this
    std::optional<std::string> unreadableBrightness; // a "brightness" value that is no factor in range; refused
    bool screenshots = false;      // "screenshots": 'p' writes the frame as a PNG (always on in level mode)

    bool opened = false;               // the file could be opened
    std::string unreadableKey;         // the key whose value could not be read, which ended reading
    std::set<std::string> missingValues; // keys whose value token was missing at the end of the file
};

// Reads "key separator value..." tokens, echoing every entry on stderr.
Configuration readConfiguration(const std::string& path);

// Builds the collection a "players" entry names; the path version reads the file itself.
using FriendliesMaker = std::function<std::unique_ptr<Friendlies>(const std::string& fileName)>;

// The same from an open stream, with the players collection made by `makeFriendlies`, so the
// reading can run on text held in memory.
Configuration readConfiguration(std::istream& in, const FriendliesMaker& makeFriendlies);

// Whether text that is not a level is a configuration at all, before reading it echoes a word:
// some word of it is "width" or "height", the keys every configuration must give. Any other
// file (empty, binary, prose) would only be echoed as "unknown property" lines.
bool namesWindowSize(std::istream& in);

// The refusals of start-up: an empty optional when the configuration can be used,
// otherwise the message to print.
std::optional<std::string> configurationProblem(const Configuration& configuration, const std::string& path);

// The configuration as the text of a file that reads back into the same values (the window
// size, paths, whole-number start and every extension that is set; angles to two decimals).
std::string configurationText(const Configuration& configuration);
