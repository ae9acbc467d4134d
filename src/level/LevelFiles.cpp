#include "level/LevelFiles.h"

#include "files/RelativePath.h"

#include <map>

namespace {
bool endsWithBsp(const std::string& name)
{
    return name.size() >= 4 && RelativePath::lowerCase(name.substr(name.size() - 4)) == ".bsp";
}
} // namespace

std::vector<LevelFiles::Level> LevelFiles::list(const DataRoot& root)
{
    std::map<std::string, Level> byName; // maps/ is listed last, so its copy wins
    for (const char* folder : {"", "maps/"}) {
        for (const DataRoot::Listed& file : root.list(folder, ".bsp")) {
            const std::string fileName = file.path.substr(file.path.rfind('/') + 1);
            const std::string name = fileName.substr(0, fileName.size() - 4);
            byName[name] = {name, file.path, file.origin};
        }
    }
    std::vector<Level> levels;
    for (auto& [name, level] : byName)
        levels.push_back(std::move(level));
    return levels;
}

std::vector<LevelFiles::Level> LevelFiles::inArchive(const Archive& archive)
{
    std::map<std::string, Level> byName; // a maps/ copy wins, as in list
    for (const bool inMaps : {false, true})
        for (const auto& [lowerName, entry] : archive.entries()) {
            const bool underMaps = lowerName.rfind("maps/", 0) == 0;
            const std::string fileName = entry.name.substr(underMaps ? 5 : 0);
            if (underMaps != inMaps || !endsWithBsp(fileName) || fileName.find('/') != std::string::npos)
                continue;
            const std::string name = fileName.substr(0, fileName.size() - 4);
            byName[name] = {name, entry.name, archive.name()};
        }
    std::vector<Level> levels;
    for (auto& [name, level] : byName)
        levels.push_back(std::move(level));
    return levels;
}

std::optional<std::string> LevelFiles::pathOf(const DataRoot& root, const std::string& name)
{
    const std::string stem = endsWithBsp(name) ? name.substr(0, name.size() - 4) : name;
    for (const std::string& path : {"maps/" + stem + ".bsp", stem + ".bsp"})
        if (root.contains(path))
            return path;
    return std::nullopt;
}
