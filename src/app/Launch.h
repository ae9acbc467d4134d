#pragma once

#include "config/CommandLine.h"
#include "config/Configuration.h"
#include "config/LightsFile.h"
#include "files/DataRoot.h"
#include "camera/Flight.h"
#include "camera/MouseLook.h"
#include "camera/PlayerStarts.h"
#include "level/EntityText.h"
#include "level/MaterialLibrary.h"
#include "level/TextureResolver.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// What start-up decided before any window exists: the configuration (read from a file, or made
// for a level by level mode) and, when the level and its images come from a data root, that
// root with its material scripts and the level's bytes already read.
struct Launch {
    Configuration configuration;
    bool levelMode = false; // held keys, mouse look, player-start jumps, heading and pitch shown, 'h'
    double flightSpeed = Flight::defaultSpeed;                   // --speed, units per second
    double mouseDegreesPerPixel = MouseLook::defaultDegreesPerPixel; // --mouse
    PlayerStarts starts; // level mode: the level's player starts, for j and J
    bool verbose = false;
    std::string frameLogPath;
    std::string shotsFolder; // --shots DIR: where 'p' writes its pictures; "" is the current folder
    bool hudShown = true;    // the gun and the status line; level mode starts without them with --no-hud
    bool walking = false;    // level mode starts walking with --walk
    std::optional<CommandLine> line; // level mode: what was asked, to open the level again
    double materialSeconds = 0.0; // --time: where the designed frame's material clock starts

    // Level mode, and configuration mode with "archives = 1": where the level and images are found.
    std::unique_ptr<DataRoot> dataRoot;
    std::unique_ptr<MaterialLibrary> materials;
    std::unique_ptr<TextureResolver> resolver;
    std::string levelName;                // names the level in messages
    std::vector<unsigned char> levelBytes; // read already when start-up had to look into the level
    std::optional<EntityList> entities;    // its entities, parsed by that look: a load parses them once
    std::optional<LightsFile> lights;     // placed from the level's bounds, when there is no lights file
    std::optional<std::pair<Vec3, Vec3>> levelBox; // model 0's box, each axis sorted (world)

    // Configuration mode: reads and echoes the file; its refusals throw LaunchError.
    static Launch fromConfiguration(const CommandLine& line);
    // A configuration already read: what its extension keys need before the window (the level's
    // bounds, its archives, its material scripts).
    static Launch forConfiguration(Configuration configuration);
    // Level mode: finds and reads the level (a level file, the one level of an archive, or a name
    // under --data), decides start and lights, and prints the effective configuration on `out`.
    // Throws LaunchError naming what cannot be opened; an archive of several levels lists them
    // on `out` first.
    static Launch fromLevel(const CommandLine& line, std::ostream& out);
    // Whether `path` is a level file, or a zip archive (by its first four bytes, not its name).
    static bool isLevelFile(const std::string& path);
    static bool isArchiveFile(const std::string& path);
};

// A start-up refusal: printed as "verdanth: <what>", status 1.
class LaunchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Prints every level under `dataRoot` (loose and archived), one per line: the name to give
// with --data, where it comes from ("loose" or the archive's file name) and its path under the
// root (as the archive or the folder spells it), separated by tabs. Without one it says on `log`
// what it looked for. Returns the exit status: 1 when the folder holds neither maps/ nor
// archives (not a data root at all), else 0.
int listLevels(const std::string& dataRoot, std::ostream& out, std::ostream& log);
