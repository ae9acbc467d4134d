#include "DataSet.h"

#include "LevelBuilder.h"
#include "LevelWriter.h"
#include "TextureCatalogue.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace {

struct LightColour {
    const char* name;
    const char* rgb;
};

// Light 0 shines from far away in the direction of its position; 1 to 3 are spots.
constexpr LightColour lightColours[maxLights] = {
    {"sun", "0.75 0.70 0.65"}, {"lamp", "1.0 0.85 0.6"}, {"lamp", "0.6 0.75 1.0"}, {"lamp", "0.9 0.65 0.9"}};

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream out(path);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

DataSetFiles dataSetFiles(const Plan& plan)
{
    return {plan.name + ".bsp", plan.name + ".lights", plan.name + ".players", plan.name + ".cfg"};
}

std::string lightsText(const Plan& plan)
{
    std::ostringstream text;
    text << maxLights << "\n";
    for (int i = 0; i < maxLights; ++i) {
        // Missing lights are dim ones over the start, so the file always has four.
        const bool given = i < static_cast<int>(plan.lights.size());
        const WorldPosition p = lightPosition(plan, given ? plan.lights[static_cast<size_t>(i)] : plan.start);
        text << "light " << (given ? lightColours[i].name : "fill") << " " << p.x << " " << p.y << " " << p.z << " "
             << (given ? lightColours[i].rgb : "0.3 0.3 0.3") << "\n";
    }
    return text.str();
}

std::string playersText(const Plan& plan)
{
    int minX = INT_MAX;
    int maxX = INT_MIN;
    int minY = INT_MAX;
    int maxY = INT_MIN;
    for (int row = 0; row < plan.rows; ++row) {
        for (int column = 0; column < plan.columns; ++column) {
            if (!plan.isOpen(column, row))
                continue;
            minX = std::min(minX, column * plan.cellSize);
            maxX = std::max(maxX, (column + 1) * plan.cellSize);
            minY = std::min(minY, (plan.rows - 1 - row) * plan.cellSize);
            maxY = std::max(maxY, (plan.rows - row) * plan.cellSize);
        }
    }
    // World Y up: the file's z becomes height, the file's y becomes -z.
    const int low = std::min(24, plan.height / 4);
    const int high = std::max(low + 1, plan.height - 24);
    std::ostringstream text;
    text << plan.friends << " " << plan.enemies << "\n"
         << minX << " " << low << " " << -maxY << "\n"
         << maxX << " " << high << " " << -minY << "\n";
    return text.str();
}

std::string configurationText(const Plan& plan)
{
    const DataSetFiles files = dataSetFiles(plan);
    const WorldPosition start = startPosition(plan);
    std::ostringstream text;
    text << "width = 1024\n"
         << "height = 768\n"
         << "datapath = ./\n"
         << "level = " << files.level << "\n"
         << "lights = " << files.lights << "\n"
         << "start_vec = " << start.x << " " << start.y << " " << start.z << "\n"
         << "players = " << files.players << "\n";
    return text.str();
}

void writeDataSet(const Plan& plan, const Level& level, const std::string& outputDirectory)
{
    std::string directory = outputDirectory;
    if (directory.empty() || directory.back() != '/')
        directory += '/';
    std::filesystem::create_directories(directory);
    const DataSetFiles files = dataSetFiles(plan);
    writeLevelFile(level, directory + files.level);
    const std::set<std::string> textures(plan.textures.begin(), plan.textures.end());
    for (const std::string& name : textures)
        writeCatalogueTexture(name, directory);
    writeSky(directory);
    writeText(directory + files.lights, lightsText(plan));
    writeText(directory + files.players, playersText(plan));
    writeText(directory + files.configuration, configurationText(plan));
}
