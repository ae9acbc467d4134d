#pragma once

#include "DataFile.h"
#include "Level.h"
#include "Plan.h"

#include <string>
#include <vector>

// Everything the viewer needs to run a plan, written into one directory that doubles as
// the data directory: the level file, the textures, the sky and its far box, the material
// script, the lights, players and configuration files. The configuration's paths are
// relative to that directory, so the viewer is started from inside it: `verdanth NAME.cfg`.
//
// Archived, the level and every picture and script go into one zip archive NAME.pk3 in
// that directory (the level as maps/NAME.bsp); only the lights, players and configuration
// files stay loose, and the configuration says "archives = 1" so that the viewer looks for
// the level in the archives of its data path.
struct DataSetFiles {
    std::string level;         // NAME.bsp
    std::string lights;        // NAME.lights
    std::string players;       // NAME.players
    std::string configuration; // NAME.cfg
    std::string archive;       // NAME.pk3
    std::string archivedLevel; // maps/NAME.bsp, inside the archive
};

DataSetFiles dataSetFiles(const Plan& plan);

// The level (under levelPath) and every picture and script the level names, in memory.
std::vector<DataFile> contentFiles(const Plan& plan, const Level& level, const std::string& levelPath);

// outputDirectory may or may not end with '/'; it is created if missing.
// Throws std::runtime_error when a file cannot be written.
void writeDataSet(const Plan& plan, const Level& level, const std::string& outputDirectory);
void writeArchivedDataSet(const Plan& plan, const Level& level, const std::string& outputDirectory);

std::string lightsText(const Plan& plan);
std::string playersText(const Plan& plan);
std::string configurationText(const Plan& plan, bool archived = false);
