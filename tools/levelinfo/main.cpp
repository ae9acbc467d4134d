// levelinfo: what a level file holds, as the viewer would load it. Runs the viewer's own
// parser and validation (no window, no GL) and prints the header, the lump
// directory, record counts, face types and visibility figures, or the reason the viewer
// would refuse the file; the level's title, its inline models and how each mover moves. With --data it also says
// where each texture's image is found (loose or in which archive) and how many faces each
// missing one leaves without an image, counted as the viewer counts them (TextureReport).
// With --materials it lists instead what the viewer cannot show of the level's materials; with
// --movement, what a walking player meets (starts, jump pads, teleporters: MovementReport); with
// --entities, the entities a text names, every key of each (EntityFinder).
//
//   levelinfo [--data DIR] LEVEL_FILE [--movement | --entities [TEXT]]
//   levelinfo --data DIR NAME [--materials | --movement | --entities [TEXT]]
//   (options before or after the level; TEXT is the word after the level)
//   levelinfo --help | --version
#include "files/DataRoot.h"
#include "inspection/EntityFinder.h"
#include "inspection/MovementReport.h"
#include "simulation/World.h"
#include "level/BrushEntity.h"
#include "image/DecodedImage.h"
#include "level/EntityText.h"
#include "level/LevelFiles.h"
#include "level/LevelFormat.h"
#include "level/LevelFormatError.h"
#include "level/LevelLoader.h"
#include "level/MaterialLibrary.h"
#include "level/MaterialReport.h"
#include "level/TextureReport.h"
#include "level/TextureResolver.h"

#include <array>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {
void printDirectory(const LevelData& level)
{
    std::cout << "lump              offset     length    records\n";
    for (int i = 0; i < LevelFormat::lumpCount; ++i) {
        const DirectoryEntry& entry = level.directory[std::size_t(i)];
        const LevelFormat::LumpInfo& lump = LevelFormat::lumps[i];
        std::cout << std::left << std::setw(14) << lump.name << std::right << std::setw(10) << entry.offset
                  << std::setw(11) << entry.length;
        if (lump.recordSize > 0)
            std::cout << std::setw(11) << entry.length / lump.recordSize;
        std::cout << '\n';
    }
}

void printFaces(const LevelData& level)
{
    std::array<std::size_t, 5> byType{}; // other, polygon, patch, mesh, billboard
    std::size_t patches = 0;
    for (const Face& face : level.faces) {
        const bool known = face.type >= LevelFormat::Polygon && face.type <= LevelFormat::Billboard;
        ++byType[known ? std::size_t(face.type) : 0];
        patches += face.patches.size();
    }
    std::cout << "faces: " << level.faces.size() << " (" << byType[1] << " polygons, " << byType[2]
              << " patch faces cut into " << patches << " patches, " << byType[3] << " meshes, " << byType[4]
              << " billboards, " << byType[0] << " of other types)\n";
}

void printVisibility(const LevelData& level)
{
    if (!level.visData || level.visData->clusterCount == 0) {
        std::cout << "visibility: none (every leaf is drawn when in view)\n";
        return;
    }
    const VisData& vis = *level.visData;
    std::size_t visiblePairs = 0;
    for (unsigned char byte : vis.bits)
        for (int bit = 0; bit < 8; ++bit)
            visiblePairs += (byte >> bit) & 1;
    std::cout << "visibility: " << vis.clusterCount << " clusters, " << vis.bytesPerCluster
              << " bytes per cluster, each sees " << std::fixed << std::setprecision(1)
              << double(visiblePairs) / vis.clusterCount << " clusters on average\n";
}

void printSummary(const LevelData& level)
{
    std::cout << "magic " << level.magic << ", version " << level.version << '\n';
    printDirectory(level);
    std::cout << "textures: " << level.textureNames.size() << ", lightmaps: " << level.lightmapCount << '\n'
              << "nodes: " << level.nodes.size() << ", leaves: " << level.leaves.size()
              << ", planes: " << level.planes.size() << '\n'
              << "vertices: " << level.vertices.size() << ", mesh vertices: " << level.meshVertices.size() << '\n';
    printFaces(level);
    printVisibility(level);
    if (!level.nodes.empty()) {
        const Node& root = level.nodes[0];
        // World coordinates, Y up; the stored box keeps the larger Z in mins.
        std::cout << "bounds (world, Y up): x " << root.mins[0] << ".." << root.maxs[0] << ", y " << root.mins[1]
                  << ".." << root.maxs[1] << ", z " << root.maxs[2] << ".." << root.mins[2] << '\n';
    }
}

// Inline model numbers to the first entity whose "model" key names them ("*1").
std::map<std::size_t, const Entity*> modelOwners(const std::vector<Entity>& entities)
{
    std::map<std::size_t, const Entity*> owners;
    for (const Entity& entity : entities)
        if (const std::optional<std::size_t> model = entity.inlineModel())
            owners.emplace(*model, &entity);
    return owners;
}

// Each inline model (models[1..]) with the class of the entity that names it, its face count and
// that entity's origin as written.
void printInlineModels(const LevelData& level, const std::vector<Entity>& entities)
{
    if (level.models.size() < 2)
        return;
    const std::map<std::size_t, const Entity*> owners = modelOwners(entities);
    std::cout << "inline models: " << level.models.size() - 1 << '\n';
    for (std::size_t n = 1; n < level.models.size(); ++n) {
        const Model& model = level.models[n];
        const auto owner = owners.find(n);
        const Entity* entity = owner == owners.end() ? nullptr : owner->second;
        const std::string* classname = entity ? entity->value("classname") : nullptr;
        std::cout << "model *" << n << ": " << (classname ? *classname : std::string("no entity")) << ", ";
        const int64_t end = int64_t(model.firstFace) + model.faceCount;
        if (model.firstFace < 0 || model.faceCount < 0 || end > int64_t(level.faces.size()))
            std::cout << "faces " << model.firstFace << " + " << model.faceCount << " outside the level's "
                      << level.faces.size() << " faces";
        else
            std::cout << model.faceCount << (model.faceCount == 1 ? " face" : " faces");
        if (const std::string* origin = entity ? entity->value("origin") : nullptr)
            std::cout << ", origin " << *origin;
        std::cout << '\n';
    }
}

// Each moving brush entity's motion in one line, as the viewer moves it; why one stays at rest
// goes to standard error.
void printMovers(const LevelData& level, const std::string& levelName)
{
    std::vector<std::string> notices;
    const World world(level, level.entities.entities, levelName, notices);
    const Movers& movers = world.movers();
    for (const std::string& notice : notices)
        std::cerr << notice << '\n';
    if (movers.empty())
        return;
    std::cout << "movers: " << movers.all().size() << '\n';
    for (const Movers::Mover& mover : movers.all())
        std::cout << "mover " << Movers::describe(mover) << '\n';
}

// The entity count (and where the text stops making sense), the title and the inline models.
void printEntities(const LevelData& level)
{
    const EntityList& list = level.entities;
    std::cout << "entities: " << list.entities.size();
    if (!list.problem.empty())
        std::cout << " (" << list.problem << ")";
    std::cout << '\n';
    if (const std::string* title = worldMessage(list.entities))
        std::cout << "title: " << *title << '\n';
    printInlineModels(level, list.entities);
}

// Whether an image gives pixels, decided as the viewer decides it, each image path read and
// decoded once.
class ImageChecks {
public:
    explicit ImageChecks(const TextureResolver& resolver) : resolver(resolver) {}

    bool decodes(const std::string& path)
    {
        const auto [entry, added] = decoded.try_emplace(path, false);
        if (added)
            entry->second = resolver.decodeImage(path, std::cerr) != nullptr;
        return entry->second;
    }
    // A stage's image, named as a script writes it.
    bool found(const std::string& name)
    {
        const std::optional<std::string> path = resolver.findImage(name);
        return path && decodes(*path);
    }

private:
    const TextureResolver& resolver;
    std::map<std::string, bool> decoded; // image path to whether it gave pixels
};

// Whether each texture has a usable image, and where the image was found.
void printTextures(const LevelData& level, const TextureResolver* resolver, const MaterialLibrary* materials)
{
    if (resolver == nullptr) {
        for (const std::string& name : level.textureNames)
            std::cout << "texture " << name << '\n';
        return;
    }
    ImageChecks images(*resolver);
    std::vector<bool> hasImage;
    std::vector<std::string> origins;
    for (const std::string& name : level.textureNames) {
        const std::optional<std::string> path = resolver->imagePath(name);
        const bool usable = path && images.decodes(*path);
        hasImage.push_back(usable);
        origins.push_back(usable ? resolver->dataRoot().originOf(*path) : std::string());
    }
    const TextureReport report = TextureReport::of(level, hasImage, materials);
    std::cout << report.summaryLine("without an image", 0) << '\n';
    for (std::size_t i = 0; i < report.textures.size(); ++i) {
        const TextureReport::Entry& entry = report.textures[i];
        std::cout << "texture " << entry.name << ": ";
        if (!entry.surfaceShown)
            std::cout << "sky, fog or nodraw surface, needs no image\n";
        else if (entry.faces == 0)
            std::cout << "no face shows it" << (entry.hasImage ? " (" + origins[i] + ")" : std::string()) << '\n';
        else if (entry.missing())
            std::cout << "missing, " << entry.faces << " faces without an image\n";
        else
            std::cout << origins[i] << '\n';
    }
}

constexpr const char* usage = "usage: levelinfo [--data DIR] LEVEL_FILE [--movement | --entities [TEXT]]\n"
                              "       levelinfo --data DIR NAME [--materials | --movement | --entities [TEXT]]";

// Every option, as --help lists it and docs/man/levelinfo.1 describes it (a test holds the page to this list).
constexpr struct {
    const char* name;
    const char* description;
} options[] = {
    {"--data DIR", "say where under DIR each texture's image is found, and what a missing one costs"},
    {"--materials", "with --data, list instead what the viewer cannot show of the level's materials"},
    {"--movement", "list instead what a walking player meets: starts, jump pads, teleporters"},
    {"--entities", "list instead the entities whose keys or values hold TEXT, the word after the level (all without it)"},
    {"--help", "print this help and exit"},
    {"--version", "print the version and exit"},
};

void printHelp()
{
    std::cout << "levelinfo prints what an IBSP version 46 level holds, read by the viewer's own parser:\n"
                 "its header and lumps, record counts, face types, visibility and bounds, or why the viewer\n"
                 "would refuse it.\n\n"
              << usage << "\n\noptions:\n";
    for (const auto& option : options)
        std::cout << "  " << std::left << std::setw(14) << option.name << option.description << '\n';
}

// "a, b, c and 2 more"
std::string someNames(const std::vector<std::string>& names)
{
    constexpr std::size_t shown = 3;
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < shown; ++i)
        text += (i == 0 ? "" : ", ") + names[i];
    if (names.size() > shown)
        text += " and " + std::to_string(names.size() - shown) + " more";
    return text;
}

void printMaterials(const LevelData& level, const MaterialLibrary& materials, const TextureResolver& resolver)
{
    ImageChecks images(resolver);
    const MaterialReport report =
        MaterialReport::of(level, materials, [&](const std::string& name) { return images.found(name); });
    for (const MaterialReport::Skipped& skipped : report.skipped)
        std::cout << "skipped " << skipped.keyword << ": " << skipped.faces << " faces in " << skipped.materials
                  << " materials\n";
    for (const MaterialReport::Undrawn& undrawn : report.undrawn) {
        std::cout << "not drawn, " << MaterialReport::describe(undrawn.reason) << ": ";
        if (undrawn.faces > 0)
            std::cout << undrawn.faces << " faces" << (undrawn.stages > 0 ? " and " : "");
        if (undrawn.stages > 0)
            std::cout << undrawn.stages << " stages";
        std::cout << " of " << someNames(undrawn.materials) << '\n';
    }
    for (const MaterialReport::Undefined& undefined : report.undefined)
        std::cout << "not in any script: " << undefined.name << " (" << undefined.faces << " faces)\n";
    std::cout << report.summaryLine() << '\n';
}

struct Arguments {
    std::string dataRoot; // empty without --data
    std::string target;
    bool help = false;
    bool version = false;
    bool materials = false;
    bool movement = false;
    bool entities = false;
    std::string text; // --entities: the word after the level; empty names every entity
};

// A command line that cannot be followed: one line, then where to look.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Options may come before or after the level.
Arguments readArguments(int argc, char** argv)
{
    const std::vector<std::string> words(argv + 1, argv + argc);
    Arguments arguments;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "--version") {
            arguments.help = arguments.help || word == "--help";
            arguments.version = arguments.version || word == "--version";
        } else if (word == "--materials") {
            arguments.materials = true;
        } else if (word == "--movement") {
            arguments.movement = true;
        } else if (word == "--entities") {
            arguments.entities = true;
        } else if (word == "--data") {
            if (i + 1 == words.size())
                throw UsageError("--data needs a folder");
            arguments.dataRoot = words[++i];
        } else if (word.size() > 1 && word[0] == '-') {
            throw UsageError("unknown option " + word);
        } else if (!arguments.target.empty() && arguments.entities && arguments.text.empty()) {
            arguments.text = word;
        } else if (!arguments.target.empty()) {
            throw UsageError("one level at a time, not " + arguments.target + " and " + word);
        } else {
            arguments.target = word;
        }
    }
    if (arguments.help || arguments.version)
        return arguments;
    if (arguments.target.empty())
        throw UsageError("no level file or name given");
    if (arguments.materials && arguments.dataRoot.empty())
        throw UsageError("--materials needs --data DIR, where the material scripts are");
    if (arguments.entities && (arguments.materials || arguments.movement))
        throw UsageError("--entities lists instead of --materials and --movement, not with them");
    return arguments;
}

void printNotices(const LevelData& level)
{
    for (const std::string& notice : level.notices)
        std::cerr << notice << '\n';
}

// What a walking player meets, after the load's repairs.
void printMovement(const LevelData& level)
{
    printNotices(level);
    const MovementReport report = MovementReport::of(level, level.entities.entities);
    for (const std::string& line : report.lines)
        std::cout << line << '\n';
    std::cout << report.summaryLine() << '\n';
}

// Each entity `text` names with its keys, then how many of how many it named.
void printEntityMatches(const LevelData& level, const std::string& text)
{
    printNotices(level);
    const std::vector<Entity>& entities = level.entities.entities;
    std::vector<std::size_t> found;
    EntityFinder::find(entities, text, found);
    std::vector<std::string> lines;
    for (const std::size_t index : found) {
        const std::string* classname = entities[index].value("classname");
        lines.assign(1, "entity " + std::to_string(index) + ": " + (classname ? *classname : "(no class)"));
        EntityFinder::appendFields(entities[index], lines);
        for (const std::string& line : lines)
            std::cout << line << '\n';
    }
    std::cout << "entities: " << found.size() << " of " << entities.size();
    if (!text.empty())
        std::cout << " hold \"" << text << "\"";
    std::cout << '\n';
}

// The level's bytes and the name messages give it: a file, or a level name under the data root.
std::pair<std::vector<unsigned char>, std::string> levelBytes(const Arguments& arguments, const DataRoot* root)
{
    if (root == nullptr || std::filesystem::is_regular_file(arguments.target))
        return {LevelLoader::readLevelFile(arguments.target), arguments.target};
    const std::optional<std::string> path = LevelFiles::pathOf(*root, arguments.target);
    if (!path) {
        std::string message = arguments.dataRoot + ": no level " + arguments.target + ", loose or in an archive";
        const std::vector<std::string> near = LevelFiles::nearNames(LevelFiles::list(*root), arguments.target);
        for (std::size_t i = 0; i < near.size(); ++i)
            message += (i == 0 ? "; near names: " : ", ") + near[i];
        throw LevelFormatError(message);
    }
    const std::string name = LevelFiles::shownName(*root, *path);
    if (root->sizeOf(*path) == std::optional<uint64_t>(0))
        throw LevelFormatError(name + ": the level file is empty");
    std::optional<std::vector<unsigned char>> bytes = root->read(*path);
    if (!bytes) // the root has said why
        throw LevelFormatError(name + ": the level cannot be read");
    return {std::move(*bytes), name};
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << usage << std::endl;
        return 2;
    }
    std::optional<Arguments> arguments;
    try {
        arguments = readArguments(argc, argv);
    } catch (const UsageError& error) {
        std::cerr << "levelinfo: " << error.what() << "\nTry 'levelinfo --help'" << std::endl;
        return 2;
    }
    if (arguments->help) {
        printHelp();
        return 0;
    }
    if (arguments->version) {
        std::cout << "levelinfo " VERDANTH_VERSION "\n";
        return 0;
    }
    try {
        std::unique_ptr<DataRoot> root;
        std::unique_ptr<MaterialLibrary> materials;
        std::unique_ptr<TextureResolver> resolver;
        if (!arguments->dataRoot.empty()) {
            if (!std::filesystem::is_directory(arguments->dataRoot))
                throw LevelFormatError(arguments->dataRoot + ": no such folder");
            root = std::make_unique<DataRoot>(arguments->dataRoot, true, std::cerr);
            materials = std::make_unique<MaterialLibrary>(MaterialLibrary::fromScripts(*root, std::cerr));
            resolver = std::make_unique<TextureResolver>(*root, materials.get());
        }
        std::ostringstream transcript; // the loader's progress lines are the viewer's, not ours
        if (arguments->movement && (root == nullptr || std::filesystem::is_regular_file(arguments->target))) {
            // Read through once: mapped rather than copied.
            const std::unique_ptr<MappedFile> file = LevelLoader::mapLevelFile(arguments->target);
            printMovement(parseLevel(arguments->target, {file->data(), file->size()}, transcript));
            return 0;
        }
        const auto [bytes, name] = levelBytes(*arguments, root.get());
        const LevelData level = parseLevel(name, bytes, transcript);
        if (arguments->movement) {
            printMovement(level);
            return 0;
        }
        if (arguments->entities) {
            printEntityMatches(level, arguments->text);
            return 0;
        }
        printNotices(level);
        if (arguments->materials) {
            printMaterials(level, *materials, *resolver);
            return 0;
        }
        std::cout << "file: " << bytes.size() << " bytes\n";
        printSummary(level);
        printEntities(level);
        printMovers(level, arguments->target);
        printTextures(level, resolver.get(), materials.get());
    } catch (const std::exception& error) {
        std::cerr << "levelinfo: " << error.what() << std::endl;
        return 1;
    }
    return 0;
}
