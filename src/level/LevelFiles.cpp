#include "level/LevelFiles.h"

#include "files/RelativePath.h"

#include <algorithm>
#include <map>

namespace {
bool endsWithBsp(const std::string& name)
{
    return name.size() >= 4 && RelativePath::lowerCase(name.substr(name.size() - 4)) == ".bsp";
}

std::string stemOf(const std::string& name) { return endsWithBsp(name) ? name.substr(0, name.size() - 4) : name; }

// Single-character insertions, deletions and substitutions that turn `a` into `b`.
std::size_t editDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> previous(b.size() + 1);
    std::vector<std::size_t> current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j)
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (a[i - 1] != b[j - 1])});
        std::swap(previous, current);
    }
    return previous[b.size()];
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
    const std::string stem = stemOf(name);
    for (const std::string& path : {"maps/" + stem + ".bsp", stem + ".bsp"})
        if (root.contains(path))
            return path;
    return std::nullopt;
}

std::string LevelFiles::shownName(const DataRoot& root, const std::string& path)
{
    const std::string& folder = root.folder();
    const std::string prefix = folder.empty() ? "./" : folder.back() == '/' ? folder : folder + '/';
    const std::string origin = root.originOf(path);
    return prefix + (origin == "loose" ? path : origin + ": " + path);
}

std::vector<std::string> LevelFiles::nearNames(const std::vector<Level>& levels, const std::string& name,
                                               std::size_t most)
{
    // Long names and names of a user's typing are cut short: the cost grows with their product.
    constexpr std::size_t longestCompared = 64;
    const std::string wanted = RelativePath::lowerCase(stemOf(name)).substr(0, longestCompared);
    const std::size_t slips = std::max<std::size_t>(2, wanted.size() / 3);
    std::vector<std::pair<std::size_t, std::string>> near; // distance, name
    for (const Level& level : levels) {
        const std::string candidate = RelativePath::lowerCase(level.name).substr(0, longestCompared);
        const bool holds = std::min(wanted.size(), candidate.size()) >= 3
            && (candidate.find(wanted) != std::string::npos || wanted.find(candidate) != std::string::npos);
        const std::size_t distance = editDistance(wanted, candidate);
        if (holds || distance <= slips)
            near.emplace_back(holds ? 0 : distance, level.name);
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (std::size_t i = 0; i < near.size() && i < most; ++i)
        names.push_back(near[i].second);
    return names;
}
