#pragma once

#include "Level.h"
#include "Plan.h"

#include <string>

// Everything the viewer needs to run a plan, written into one directory that doubles as
// the data directory: the level file, the textures and the sky, the lights, players and
// configuration files. The configuration's paths are relative to that directory, so the
// viewer is started from inside it: `verdanth NAME.cfg`.
struct DataSetFiles {
    std::string level;         // NAME.bsp
    std::string lights;        // NAME.lights
    std::string players;       // NAME.players
    std::string configuration; // NAME.cfg
};

DataSetFiles dataSetFiles(const Plan& plan);

// outputDirectory may or may not end with '/'; it is created if missing.
// Throws std::runtime_error when a file cannot be written.
void writeDataSet(const Plan& plan, const Level& level, const std::string& outputDirectory);

std::string lightsText(const Plan& plan);
std::string playersText(const Plan& plan);
std::string configurationText(const Plan& plan);
