#include "app/Launch.h"

#include "files/RelativePath.h"
#include "level/EntityText.h"
#include "level/LevelFormat.h"
#include "level/LevelFormatError.h"
#include "level/LevelLoader.h"
#include "level/LevelFiles.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

std::string asFolder(std::string path)
{
    if (path.empty())
        return "./";
    if (path.back() != '/')
        path += '/';
    return path;
}

// The folder that holds the level's maps/ folder, else the level's own folder.
std::string dataRootOf(const std::string& levelPath)
{
    namespace fs = std::filesystem;
    fs::path folder = fs::path(levelPath).parent_path();
    if (RelativePath::lowerCase(folder.filename().string()) == "maps")
        folder = folder.parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

std::vector<unsigned char> readWholeFile(const std::string& path)
{
    try {
        return LevelLoader::readLevelFile(path);
    } catch (const LevelFormatError& error) {
        throw LaunchError(error.what());
    }
}

void loadMaterials(Launch& launch)
{
    launch.materials = std::make_unique<MaterialLibrary>(MaterialLibrary::fromScripts(*launch.dataRoot, std::cerr));
    launch.resolver = std::make_unique<TextureResolver>(*launch.dataRoot, launch.materials.get());
}

// Model 0's box with each axis sorted: the stored corners are converted corner by corner. A
// corner that is not a number, or beyond the world's limit, is brought within it, so that a
// start placed in the box can always be written as a configuration's whole numbers.
std::optional<std::pair<Vec3, Vec3>> boxOf(const LevelData& level)
{
    if (level.models.empty())
        return std::nullopt;
    const Model& model = level.models[0];
    Vec3 low(std::fmin(model.mins[0], model.maxs[0]), std::fmin(model.mins[1], model.maxs[1]),
             std::fmin(model.mins[2], model.maxs[2]));
    Vec3 high(std::fmax(model.mins[0], model.maxs[0]), std::fmax(model.mins[1], model.maxs[1]),
              std::fmax(model.mins[2], model.maxs[2]));
    return PlayerStarts::boundedBox(low, high);
}

// The level's preferred player start, at eye height inside the level's box and facing its
// angle; without one, the middle of the level's box facing the start heading. Whole units, so
// the printed configuration reproduces it exactly. Whether the view opens at a start is decided
// once the camera stands there, after the options (PlayerStarts::openedAt).
void placeStart(Launch& launch, const LevelData& level)
{
    Configuration& configuration = launch.configuration;
    const auto [low, high] = launch.levelBox.value_or(PlayerStarts::boundedBox(
        Vec3(-PlayerStarts::worldLimit, -PlayerStarts::worldLimit, -PlayerStarts::worldLimit),
        Vec3(PlayerStarts::worldLimit, PlayerStarts::worldLimit, PlayerStarts::worldLimit)));
    launch.starts = PlayerStarts(playerStarts(level.entities.entities), low, high);
    if (const std::optional<std::size_t> preferred = launch.starts.preferred()) {
        const PlayerStarts::View& start = launch.starts.view(*preferred);
        configuration.startPoint = start.eye;
        configuration.startAngle = start.heading;
        return;
    }
    if (launch.levelBox)
        configuration.startPoint = Point(std::round((low.getX() + high.getX()) / 2),
                                         std::round((low.getY() + high.getY()) / 2),
                                         std::round((low.getZ() + high.getZ()) / 2));
}

void placeDefaultLights(Launch& launch)
{
    const auto [low, high] = launch.levelBox.value_or(std::make_pair(Vec3(), Vec3(1, 1, 1)));
    launch.lights = LightsFile::placedIn(Point(low.getX(), low.getY(), low.getZ()),
                                         Point(high.getX(), high.getY(), high.getZ()));
}

LevelData outlineOf(const Launch& launch, const std::vector<unsigned char>& bytes)
{
    try {
        return peekLevel(launch.levelName, bytes);
    } catch (const LevelFormatError& error) {
        throw LaunchError(error.what());
    }
}

// The extension keys of a configuration that need the level before the window: its archives
// (the level may be in one), and its bounds for default lights or players.
void prepareExtensions(Launch& launch)
{
    Configuration& configuration = launch.configuration;
    if (!configuration.archives && !configuration.defaultLights && !configuration.levelPlayers
        && !configuration.designedLook)
        return;
    launch.levelName = configuration.levelPath;
    // Archives and the designed look both find images and scripts under the data path.
    if (configuration.archives || configuration.designedLook) {
        launch.dataRoot = std::make_unique<DataRoot>(configuration.dataPath.empty() ? "." : configuration.dataPath,
                                                     configuration.archives, std::cerr);
        loadMaterials(launch);
        std::string underRoot = configuration.levelPath;
        if (underRoot.compare(0, configuration.dataPath.size(), configuration.dataPath) == 0)
            underRoot.erase(0, configuration.dataPath.size());
        std::ifstream loose(configuration.levelPath, std::ios::binary);
        std::optional<std::vector<unsigned char>> archived;
        if (!loose && (archived = launch.dataRoot->read(underRoot)))
            launch.levelBytes = std::move(*archived);
        else
            launch.levelBytes = readWholeFile(configuration.levelPath);
    } else {
        launch.levelBytes = readWholeFile(configuration.levelPath);
    }
    // Kept: the level loads from the same bytes and entities.
    LevelData outline = outlineOf(launch, launch.levelBytes);
    launch.levelBox = boxOf(outline);
    launch.entities = std::move(outline.entities);
    if (configuration.defaultLights)
        placeDefaultLights(launch);
}

void applyOptions(Launch& launch, const CommandLine& line)
{
    Configuration& configuration = launch.configuration;
    if (line.size) {
        configuration.windowWidth = line.size->first;
        configuration.windowHeight = line.size->second;
    }
    if (line.at)
        configuration.startPoint = *line.at;
    if (line.angle)
        configuration.startAngle = *line.angle;
    if (line.pitch)
        configuration.startPitch = *line.pitch;
    if (line.brightness)
        configuration.brightness = *line.brightness;
    launch.flightSpeed = line.speed.value_or(Flight::defaultSpeed);
    launch.mouseDegreesPerPixel = line.mouse.value_or(MouseLook::defaultDegreesPerPixel);
    launch.verbose = line.verbose;
    launch.frameLogPath = line.frameLog.value_or("");
    launch.shotsFolder = line.shots.value_or("");
    launch.materialSeconds = line.time.value_or(0.0);
}

std::string joinedNames(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + RelativePath::printable(name);
    return text;
}

// "no such level" with what may help: near names, and what --list would show.
std::string noSuchLevel(const DataRoot& root, const std::string& name)
{
    const std::vector<LevelFiles::Level> levels = LevelFiles::list(root);
    const bool hasExtension = name.size() >= 4 && RelativePath::lowerCase(name.substr(name.size() - 4)) == ".bsp";
    std::string message = asFolder(root.folder()) + "maps/" + RelativePath::printable(name)
                        + (hasExtension ? "" : ".bsp") + ": no such level, loose or in an archive";
    if (levels.empty())
        return message + "; there are no levels under " + root.folder();
    const std::vector<std::string> near = LevelFiles::nearNames(levels, name);
    if (!near.empty())
        message += "; near names: " + joinedNames(near);
    return message + "; --list shows all " + std::to_string(levels.size());
}


// The one level an archive given as the file holds, read from it, the archive's folder the data
// root and the archive winning over the folder's others. Several are listed on `out`, refused
// with how to name one.
void findArchivedLevel(Launch& launch, const CommandLine& line, std::ostream& out)
{
    // What the archive says of itself ends the one line a refusal gives.
    std::ostringstream said;
    const auto refusal = [&](const std::string& what) {
        std::string detail = said.str();
        const std::size_t colon = detail.find(": ");
        detail = colon == std::string::npos ? "" : " (" + detail.substr(colon + 2, detail.find('\n') - colon - 2) + ")";
        return LaunchError(line.target + ": " + what + detail);
    };
    const Archive archive(line.target, said);
    if (!archive.opened())
        throw refusal("cannot be read as a zip archive");
    const std::vector<LevelFiles::Level> levels = LevelFiles::inArchive(archive);
    const std::string root = line.dataRoot.value_or(dataRootOf(line.target));
    if (levels.empty())
        throw LaunchError(line.target + ": holds no level (maps/NAME.bsp)");
    if (levels.size() > 1) {
        for (const LevelFiles::Level& level : levels)
            out << level.name << '\t' << level.path << '\n';
        out << std::flush;
        throw LaunchError(line.target + " holds " + std::to_string(levels.size())
                          + " levels: add the name of one, as in verdanth --data " + root + " " + levels[0].name);
    }
    std::optional<std::vector<unsigned char>> bytes = archive.read(levels[0].path);
    if (!bytes)
        throw refusal(levels[0].path + " cannot be read");
    launch.dataRoot = std::make_unique<DataRoot>(root, line.target, std::cerr);
    launch.levelBytes = std::move(*bytes);
    launch.levelName = line.target + "/" + levels[0].path;
    launch.configuration.levelPath = levels[0].path;
}

// Where the level's bytes come from: a level file, an archive holding one, or a name under --data.
void findLevel(Launch& launch, const CommandLine& line, std::ostream& out)
{
    Configuration& configuration = launch.configuration;
    if (Launch::isArchiveFile(line.target)) {
        findArchivedLevel(launch, line, out);
    } else if (Launch::isLevelFile(line.target)) {
        const std::string root = line.dataRoot.value_or(dataRootOf(line.target));
        launch.dataRoot = std::make_unique<DataRoot>(root, true, std::cerr);
        launch.levelBytes = readWholeFile(line.target);
        launch.levelName = line.target;
        configuration.levelPath = line.target;
    } else {
        launch.dataRoot = std::make_unique<DataRoot>(*line.dataRoot, true, std::cerr);
        const DataRoot& root = *launch.dataRoot;
        const std::optional<std::string> path = LevelFiles::pathOf(root, line.target);
        if (!path)
            throw LaunchError(noSuchLevel(root, line.target));
        launch.levelName = LevelFiles::shownName(root, *path);
        if (root.sizeOf(*path) == std::optional<uint64_t>(0))
            throw LaunchError(launch.levelName + ": the level file is empty");
        std::optional<std::vector<unsigned char>> bytes = root.read(*path);
        if (!bytes) // the root has said why
            throw LaunchError(launch.levelName + ": the level cannot be read");
        launch.levelBytes = std::move(*bytes);
        configuration.levelPath = *path;
    }
    configuration.dataPath = asFolder(launch.dataRoot->folder());
    configuration.archives = true;
}

bool hasMapsFolder(const std::string& folder)
{
    std::error_code error;
    for (std::filesystem::directory_iterator at(folder, error), end; !error && at != end; at.increment(error))
        if (RelativePath::lowerCase(at->path().filename().string()) == "maps" && at->is_directory(error))
            return true;
    return false;
}

// A target that is neither a level nor a configuration is refused before its words are echoed.
void refuseUnlessConfiguration(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error)
        throw LaunchError(path + ": no such file");
    std::ifstream text(path, std::ios::binary);
    if (!text)
        return; // the configuration's own refusal says so
    if (text.peek() == std::ifstream::traits_type::eof())
        throw LaunchError(path + ": the file is empty: neither a level nor a configuration file");
    if (!namesWindowSize(text))
        throw LaunchError(path + ": neither a level (it does not begin with " + std::string(LevelFormat::magic, 4)
                          + ") nor a configuration file (it gives no \"width\" or \"height\")");
}

} // namespace

namespace {
bool startsWith(const std::string& path, const char* magic) // four bytes
{
    std::ifstream file(path, std::ios::binary);
    char start[4] = {};
    return file.read(start, 4) && std::equal(start, start + 4, magic);
}
} // namespace

bool Launch::isLevelFile(const std::string& path) { return startsWith(path, LevelFormat::magic); }

bool Launch::isArchiveFile(const std::string& path) { return startsWith(path, "PK\x03\x04"); }

Launch Launch::fromLevel(const CommandLine& line, std::ostream& out)
{
    Launch launch;
    launch.levelMode = true;
    launch.configuration.windowWidth = CommandLine::defaultWidth;
    launch.configuration.windowHeight = CommandLine::defaultHeight;
    launch.configuration.designedLook = true;
    findLevel(launch, line, out);
    LevelData outline = outlineOf(launch, launch.levelBytes);
    launch.levelBox = boxOf(outline);
    placeStart(launch, outline);
    launch.entities = std::move(outline.entities);
    applyOptions(launch, line);
    Configuration& configuration = launch.configuration;
    if (line.lightsFile) {
        configuration.lightsFile = *line.lightsFile;
    } else {
        configuration.defaultLights = true;
        placeDefaultLights(launch);
    }
    if (line.players)
        configuration.levelPlayers = line.players;
    launch.hudShown = !line.noHud;
    launch.walking = line.walk;
    launch.line = line;
    configuration.screenshots = true; // so the printed configuration keeps 'p' working
    loadMaterials(launch);
    out << configurationText(configuration) << std::flush;
    return launch;
}

Launch Launch::fromConfiguration(const CommandLine& line)
{
    refuseUnlessConfiguration(line.target);

    if (line.dataRoot || line.lightsFile || line.players || line.verbose || line.speed || line.mouse)
        throw LaunchError("--data, --lights, --players, --verbose, --speed and --mouse open a level, not the "
                          "configuration file " + line.target);
    if (line.noHud)
        throw LaunchError("--no-hud opens a level without its gun and status line, not the configuration file "
                          + line.target);
    if (line.walk)
        throw LaunchError("--walk opens a level walking, not the configuration file " + line.target);
    Configuration configuration = readConfiguration(line.target);
    if (const auto problem = configurationProblem(configuration, line.target))
        throw LaunchError(*problem);
    Launch launch;
    launch.configuration = std::move(configuration);
    applyOptions(launch, line);
    prepareExtensions(launch);
    return launch;
}

Launch Launch::forConfiguration(Configuration configuration)
{
    Launch launch;
    launch.configuration = std::move(configuration);
    prepareExtensions(launch);
    return launch;
}

int listLevels(const std::string& dataRoot, std::ostream& out, std::ostream& log)
{
    const DataRoot root(dataRoot, true, log);
    const std::vector<LevelFiles::Level> levels = LevelFiles::list(root);
    for (const LevelFiles::Level& level : levels)
        out << level.name << '\t' << level.origin << '\t' << level.path << '\n';
    if (!levels.empty())
        return 0;
    log << "verdanth: no levels under " << dataRoot
        << " (looked for maps/*.bsp and *.bsp, loose and in its *.pk3 and *.zip archives)" << std::endl;
    return root.archives().empty() && !hasMapsFolder(dataRoot) ? 1 : 0;
}
