#include "DataSet.h"

#include "Image.h"
#include "LevelBuilder.h"
#include "LevelWriter.h"
#include "Materials.h"
#include "PlanLights.h"
#include "TextureCatalogue.h"
#include "ZipArchive.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <iterator>
#include <set>
#include <sstream>

namespace {

std::string asDirectory(const std::string& path)
{
    std::string directory = path;
    if (directory.empty() || directory.back() != '/')
        directory += '/';
    std::filesystem::create_directories(directory);
    return directory;
}

void writeFile(const std::string& directory, const DataFile& file)
{
    const std::filesystem::path path = directory + file.path;
    std::filesystem::create_directories(path.parent_path());
    writeBytes(file.bytes, path.string());
}

DataFile textFile(const std::string& path, const std::string& text)
{
    return {path, std::vector<uint8_t>(text.begin(), text.end())};
}

// The files that stay loose in either form.
std::vector<DataFile> looseFiles(const Plan& plan, bool archived)
{
    const DataSetFiles files = dataSetFiles(plan);
    return {textFile(files.lights, lightsText(plan)), textFile(files.players, playersText(plan)),
            textFile(files.configuration, configurationText(plan, archived))};
}

} // namespace

DataSetFiles dataSetFiles(const Plan& plan)
{
    return {plan.name + ".bsp", plan.name + ".lights", plan.name + ".players",
            plan.name + ".cfg", plan.name + ".pk3",    "maps/" + plan.name + ".bsp"};
}

std::vector<DataFile> contentFiles(const Plan& plan, const Level& level, const std::string& levelPath)
{
    std::vector<DataFile> files = {{levelPath, serializeLevel(level)}};
    const std::set<std::string> textures(plan.textures.begin(), plan.textures.end());
    for (const std::string& name : textures)
        files.push_back(catalogueTextureFile(name));
    files.push_back(skyFile());
    std::vector<DataFile> images = planImageFiles(plan.images);
    std::move(images.begin(), images.end(), std::back_inserter(files));
    std::vector<DataFile> materials = materialFiles(plan);
    std::move(materials.begin(), materials.end(), std::back_inserter(files));
    return files;
}

std::string lightsText(const Plan& plan)
{
    const std::vector<LightSource> sources = lightSources(plan);
    std::ostringstream text;
    text << maxLights << "\n";
    for (int i = 0; i < maxLights; ++i) {
        // Missing lights are dim ones over the start, so the file always has four.
        const bool given = i < static_cast<int>(sources.size());
        const WorldPosition p = lightPosition(plan, given ? plan.lights[static_cast<size_t>(i)] : plan.start);
        text << "light " << (given ? sources[static_cast<size_t>(i)].kind : "fill") << " " << p.x << " " << p.y
             << " " << p.z << " " << (given ? sources[static_cast<size_t>(i)].colourText : "0.3 0.3 0.3") << "\n";
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

std::string configurationText(const Plan& plan, bool archived)
{
    const DataSetFiles files = dataSetFiles(plan);
    const WorldPosition start = startPosition(plan);
    std::ostringstream text;
    text << "width = 1024\n"
         << "height = 768\n"
         << "datapath = ./\n"
         << "level = " << (archived ? files.archivedLevel : files.level) << "\n"
         << "lights = " << files.lights << "\n"
         << "start_vec = " << start.x << " " << start.y << " " << start.z << "\n"
         << "players = " << files.players << "\n";
    if (archived)
        text << "archives = 1\n";
    return text.str();
}

void writeDataSet(const Plan& plan, const Level& level, const std::string& outputDirectory)
{
    const std::string directory = asDirectory(outputDirectory);
    for (const DataFile& file : contentFiles(plan, level, dataSetFiles(plan).level))
        writeFile(directory, file);
    for (const DataFile& file : looseFiles(plan, false))
        writeFile(directory, file);
}

void writeArchivedDataSet(const Plan& plan, const Level& level, const std::string& outputDirectory)
{
    const std::string directory = asDirectory(outputDirectory);
    const DataSetFiles files = dataSetFiles(plan);
    writeZipArchive(directory + files.archive, contentFiles(plan, level, files.archivedLevel));
    for (const DataFile& file : looseFiles(plan, true))
        writeFile(directory, file);
}
