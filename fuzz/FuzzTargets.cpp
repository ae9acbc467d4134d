#include "FuzzTargets.h"

#include "HeapPeak.h"
#include "MaterialRoundTrip.h"

#include "config/Configuration.h"
#include "config/LightsFile.h"
#include "files/Archive.h"
#include "files/RelativePath.h"
#include "visibility/BrushEntityVisibility.h"
#include "simulation/World.h"
#include "camera/Camera.h"
#include "visibility/DrawnFaceSet.h"
#include "entities/Friendlies.h"
#include "camera/Frustum.h"
#include "camera/PlayerStarts.h"
#include "visibility/Visibility.h"
#include "image/DecodedImage.h"
#include "image/JPEGImage.h"
#include "image/TGAImage.h"
#include "level/BrushEntity.h"
#include "level/EntityText.h"
#include "level/FogVolume.h"
#include "level/LevelFormatError.h"
#include "level/LevelLoader.h"
#include "level/MaterialLibrary.h"
#include "level/MaterialScript.h"
#include "level/OverviewLayout.h"
#include "level/PointMarker.h"
#include "level/TextureReport.h"
#include "math/FileAxes.h"
#include "surface/AnimationFrame.h"
#include "surface/Oscillator.h"
#include "surface/StageColor.h"
#include "surface/TextureMatrix.h"
#include "surface/VertexDeform.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A broken promise of a reader is a finding: stop here so the fuzzer keeps the input.
void require(bool holds)
{
    if (!holds)
        __builtin_trap();
}

// Silences std::cerr for the life of the object; the readers echo every step to it.
class MutedConsole {
public:
    MutedConsole() : state(std::cerr.rdstate()) { std::cerr.setstate(std::ios::badbit); }
    ~MutedConsole() { std::cerr.clear(state); }
    MutedConsole(const MutedConsole&) = delete;
    MutedConsole& operator=(const MutedConsole&) = delete;

private:
    std::ios::iostate state;
};

constexpr std::size_t mebibyte = std::size_t(1) << 20;

// The renderer indexes these arrays with the fields the loader checked: touch every one the
// way it does, so a check the loader forgot shows up here rather than in a frame.
void useLikeTheRenderer(const LevelData& level)
{
    for (const Node& node : level.nodes) {
        require(node.plane >= 0 && std::size_t(node.plane) < level.planes.size());
        for (const int32_t child : node.children)
            require(child >= 0 ? std::size_t(child) < level.nodes.size()
                               : std::size_t(-(int64_t(child) + 1)) < level.leaves.size());
    }
    for (const Leaf& leaf : level.leaves) {
        require(leaf.firstLeafFace >= 0 && leaf.leafFaceCount >= 0
            && std::size_t(leaf.firstLeafFace) + std::size_t(leaf.leafFaceCount) <= level.leafFaces.size());
        if (level.visData)
            require(leaf.cluster < level.visData->clusterCount);
    }
    for (const int32_t face : level.leafFaces)
        require(face >= 0 && std::size_t(face) < level.faces.size());
    // Faces may share one long mesh-vertex list; following every face's whole list would make
    // this check quadratic, so it stops after a budget (the loader's own check has no such limit).
    std::size_t meshLookups = 0;
    constexpr std::size_t meshLookupBudget = std::size_t(1) << 20;
    for (const Face& face : level.faces) {
        require(face.texture >= 0 && std::size_t(face.texture) < level.textureNames.size());
        require(face.firstVertex >= 0 && face.vertexCount >= 0
            && std::size_t(face.firstVertex) + std::size_t(face.vertexCount) <= level.vertices.size());
        require(face.firstMeshVertex >= 0 && face.meshVertexCount >= 0
            && std::size_t(face.firstMeshVertex) + std::size_t(face.meshVertexCount) <= level.meshVertices.size());
        if (face.drawnFromMeshVertices()) {
            for (int32_t k = 0; k < face.meshVertexCount && meshLookups < meshLookupBudget; ++k, ++meshLookups) {
                const int32_t offset = level.meshVertices[std::size_t(face.firstMeshVertex + k)];
                require(offset >= 0 && offset < face.vertexCount);
            }
        }
        require(int64_t(face.patches.size()) == face.patchCount());
        require(face.effect == -1
                || (face.effect >= 0 && std::size_t(face.effect) < level.effects.size()
                    && level.effects[std::size_t(face.effect)].brush >= 0));
    }
    // Fog volumes are built from the brushes, sides and planes the loader checked for them.
    for (const FogVolume& fog : FogVolume::allOf(level)) {
        require(!fog.planes.empty() && fog.planes.size() <= std::size_t(Effect::maxSides));
        require(fog.visibleSide >= -1 && fog.visibleSide < int32_t(fog.planes.size()));
        fog.lengthInside({0.0f, 0.0f, 0.0f}, {100.0f, 50.0f, -25.0f});
    }
    if (level.visData) {
        const VisData& vis = *level.visData;
        require(vis.clusterCount >= 0 && vis.bytesPerCluster >= 0
            && int64_t(vis.bits.size()) == int64_t(vis.clusterCount) * vis.bytesPerCluster
            && int64_t(vis.bytesPerCluster) * 8 >= vis.clusterCount);
    }
}

// What levelinfo, the overview and the summary line read from a loaded level (model ranges,
// entity text, face types), the loader having checked none of it for them.
void mapAndCount(const LevelData& level)
{
    const OverviewLayout layout = OverviewLayout::of(level, nullptr);
    require(layout.ground.size() % 3 == 0 && layout.walls.size() % 2 == 0);
    require(layout.box.west < layout.box.east && layout.box.south < layout.box.north && layout.box.low < layout.box.high);
    const TextureReport report = TextureReport::of(level, std::vector<bool>(level.textureNames.size() / 2, true), nullptr);
    require(report.found() <= report.needed() && report.missing().size() <= report.needed());
}

// The inline models as the designed frame finds them: each face range within the level and no
// face in two, boxes sorted, every line naming the file; then placed at rest as the frame loads
// them, which moves no vertex twice and leaves them numbers where they were.
std::vector<BrushEntity> placeBrushEntities(LevelData& level)
{
    std::vector<std::string> notices;
    const std::vector<BrushEntity> entities =
        BrushEntity::list(level, level.entities.entities, "fuzz.bsp", notices);
    std::vector<bool> owned(level.faces.size(), false);
    for (const BrushEntity& entity : entities) {
        require(entity.model >= 1 && entity.model < level.models.size() && entity.faceCount >= 1
                && entity.firstFace >= 0 && std::size_t(entity.firstFace) + std::size_t(entity.faceCount) <= level.faces.size());
        for (int32_t face = entity.firstFace; face < entity.firstFace + entity.faceCount; ++face) {
            require(!owned[std::size_t(face)]);
            owned[std::size_t(face)] = true;
        }
        require(entity.low.getX() <= entity.high.getX() && entity.low.getY() <= entity.high.getY()
                && entity.low.getZ() <= entity.high.getZ());
    }
    BrushEntity::placeAtRest(level, entities, "fuzz.bsp", notices);
    for (const std::string& line : notices)
        require(line.compare(0, 10, "fuzz.bsp: ") == 0 && line.find('\n') == std::string::npos);
    return entities;
}

// Parses like the map does after reading the file; nullopt for a refused file.
void requireOneLineEach(const std::vector<std::string>& notices)
{
    for (const std::string& line : notices)
        require(line.compare(0, 10, "fuzz.bsp: ") == 0 && line.find('\n') == std::string::npos);
}

std::optional<LevelData> parse(const uint8_t* data, std::size_t size)
{
    std::ostream noLog(nullptr);
    try {
        const std::vector<unsigned char> bytes(data, data + size);
        return parseLevel("fuzz.bsp", bytes, noLog);
    } catch (const LevelFormatError& error) {
        require(std::strncmp(error.what(), "fuzz.bsp: ", 10) == 0); // every refusal names the file
        return std::nullopt;
    }
}

// ---- visibility ------------------------------------------------------------------------------

struct View {
    float eye[3];
    int16_t heading;
    int16_t pitch;
    uint8_t flags;
};
enum ViewFlags : uint8_t { cullFlag = 1, everyLeafFlag = 2 };

View readView(const uint8_t* data)
{
    View view{};
    std::memcpy(view.eye, data, sizeof view.eye);
    std::memcpy(&view.heading, data + 12, 2);
    std::memcpy(&view.pitch, data + 14, 2);
    view.flags = data[16];
    return view;
}

// The planes a 60-degree perspective view from the eye would give, computed without GL.
void aimFrustum(Frustum& frustum, const View& view)
{
    const float nearPlane = 1.0f, farPlane = 10000.0f, focal = 1.0f / std::tan(0.5236f);
    const float projection[16] = {focal * 0.75f, 0, 0, 0, 0, focal, 0, 0, 0, 0,
        (farPlane + nearPlane) / (nearPlane - farPlane), -1, 0, 0, 2 * farPlane * nearPlane / (nearPlane - farPlane), 0};
    const float h = float(view.heading) * 0.0174533f, p = float(view.pitch) * 0.0174533f;
    const float ch = std::cos(h), sh = std::sin(h), cp = std::cos(p), sp = std::sin(p);
    // Rows of pitch * heading, then the eye moved to the origin; column-major as GL keeps it.
    const float r[3][3] = {{ch, 0, -sh}, {sp * sh, cp, sp * ch}, {cp * sh, -sp, cp * ch}};
    float modelview[16] = {};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            modelview[4 * column + row] = r[row][column];
        modelview[12 + row] = -(r[row][0] * view.eye[0] + r[row][1] * view.eye[1] + r[row][2] * view.eye[2]);
    }
    modelview[15] = 1;
    frustum.extractPlanes(projection, modelview);
}

void gatherFrom(const LevelData& level, const Point& eye, const Camera& camera, DrawnFaceSet& drawn,
    std::vector<int>& visibleFaces)
{
    const int leaf = Visibility::findLeaf(level, eye);
    require(leaf >= 0 && std::size_t(leaf) < level.leaves.size());
    visibleFaces.clear();
    drawn.clear();
    Visibility::collectFaces(level, level.leaves[std::size_t(leaf)].cluster, camera, drawn, visibleFaces);
    require(visibleFaces.size() <= level.faces.size()); // each face at most once
}

// ---- configuration ---------------------------------------------------------------------------

// Splits at the first two NULs; missing parts are empty.
std::vector<std::string> splitAtNul(const uint8_t* data, std::size_t size, std::size_t parts)
{
    std::vector<std::string> pieces;
    const char* at = reinterpret_cast<const char*>(data);
    const char* end = at + size;
    while (pieces.size() + 1 < parts) {
        const char* nul = static_cast<const char*>(std::memchr(at, '\0', std::size_t(end - at)));
        if (nul == nullptr)
            break;
        pieces.emplace_back(at, nul);
        at = nul + 1;
    }
    pieces.emplace_back(at, end);
    pieces.resize(parts);
    return pieces;
}

// ---- entities --------------------------------------------------------------------------------

// The entities as text the reader takes: one field per line.
std::string writeEntities(const std::vector<Entity>& entities)
{
    std::string text;
    for (const Entity& entity : entities) {
        text += "{\n";
        for (const auto& [key, value] : entity.fields)
            text += '"' + key + "\" \"" + value + "\"\n";
        text += "}\n";
    }
    return text;
}

bool canBeQuoted(const std::string& text) { return text.find_first_of(std::string("\"\n\0", 3)) == std::string::npos; }

// ---- materials -------------------------------------------------------------------------------

// Everything time makes of a material, at a few times: a frame index always names a frame, and
// every wave value is a number.
void evaluateLikeTheRenderer(const Material& material)
{
    for (const double seconds : {0.0, 1.5, 86400.0}) {
        for (const Material::Deform& deform : material.deforms) {
            const std::array<float, 3> offset = VertexDeform::offset(deform, {1, 2, 3}, {0, 1, 0}, 0.5f, seconds);
            VertexDeform::normal(deform, {1, 2, 3}, {0, 1, 0}, seconds);
            require(std::none_of(offset.begin(), offset.end(), [](float c) { return std::isnan(c); }));
        }
        for (const Material::Stage& stage : material.stages) {
            const std::size_t frames = stage.animationFrames.size();
            require(frames == 0 || AnimationFrame::index(seconds, stage.animationFrequency, frames) < frames);
            TextureMatrix::of(stage.tcMods, seconds);
            StageColor::Inputs inputs;
            inputs.seconds = seconds;
            const std::array<float, 4> color = StageColor::of(stage, inputs);
            for (const float channel : color)
                require(channel >= 0.0f && channel <= 1.0f);
            require(std::isfinite(Oscillator::value(stage.colorWave, seconds)));
        }
    }
}

// ---- archive ---------------------------------------------------------------------------------

// Entries sharing data are refused, but deflate still turns a byte into a thousand (bzip2 into
// far more), so a megabyte of entries can ask for gigabytes; past this many bytes read the
// target stops, as the data root stops at its own limit.
constexpr uint64_t archiveReadBudget = uint64_t(32) << 20;

// Every message is one line naming the archive.
void requireOneLineEach(const std::string& log)
{
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        require(line.compare(0, 10, "fuzz.pk3: ") == 0);
        for (const char c : line)
            require((unsigned char)c >= 0x20 && c != 0x7f);
    }
    require(log.empty() || log.back() == '\n');
}

// A skipped keyword as a list shows it: the keyword and its argument, each at most 32
// characters and "..." (MaterialStatement::excerpt), with a space between, so at most 71
// characters. Characters, not bytes: a word of four-byte characters is cut at as many
// characters as a word of ASCII. Every one is well-formed UTF-8 and none a control.
bool isShortAndPrintable(const std::string& excerpt)
{
    const std::size_t characters = std::size_t(std::count_if(excerpt.begin(), excerpt.end(), [](char c) {
        return ((unsigned char)c & 0xc0) != 0x80; // every byte but a continuation starts a character
    }));
    const bool asciiControls = std::any_of(excerpt.begin(), excerpt.end(), [](char c) {
        return (unsigned char)c < 0x20 || c == 0x7f;
    });
    return characters <= 71 && !asciiControls && RelativePath::printable(excerpt, 71) == excerpt;
}

} // namespace

namespace fuzztargets {

int level(const uint8_t* data, std::size_t size)
{
    const MutedConsole muted;
    std::size_t peak = 0;
    {
        const HeapPeak heap;
        std::optional<LevelData> parsed = parse(data, size);
        peak = heap.bytes();
        if (parsed) {
            useLikeTheRenderer(*parsed);
            mapAndCount(*parsed);
            placeBrushEntities(*parsed);
        }
    }
    // Records are fixed-size and nothing is expanded: the file, its arrays and its patches fit.
    require(peak <= 4 * size + 16 * mebibyte);
    return 0;
}

int visibility(const uint8_t* data, std::size_t size)
{
    if (size < visibilityPrefixSize)
        return 0;
    const MutedConsole muted;
    std::optional<LevelData> parsed = parse(data + visibilityPrefixSize, size - visibilityPrefixSize);
    if (!parsed)
        return 0;
    std::vector<BrushEntity> brushEntities = placeBrushEntities(*parsed);
    const LevelData& level = *parsed;
    const View view = readView(data);
    Frustum frustum;
    aimFrustum(frustum, view);
    Camera camera(Point(view.eye[0], view.eye[1], view.eye[2]), &frustum);
    if (!(view.flags & cullFlag))
        camera.disableCulling();
    DrawnFaceSet drawn;
    drawn.resize(level.faces.size());
    std::vector<int> visibleFaces;
    visibleFaces.reserve(level.faces.size());

    gatherFrom(level, camera.getPosition(), camera, drawn, visibleFaces);
    if (view.flags & everyLeafFlag) {
        // From the middle of a few leaves' boxes, so eyes land in many clusters.
        for (std::size_t i = 0; i < level.leaves.size() && i < 8; ++i) {
            const Leaf& leaf = level.leaves[i];
            const Point middle((float(leaf.mins[0]) + float(leaf.maxs[0])) / 2,
                (float(leaf.mins[1]) + float(leaf.maxs[1])) / 2, (float(leaf.mins[2]) + float(leaf.maxs[2])) / 2);
            gatherFrom(level, middle, camera, drawn, visibleFaces);
        }
    }
    // Whatever their keys say, the movers stand at finite places at any time as a flying eye
    // sets them and the triggers off, and each one left at rest says so in one line naming the
    // file.
    std::vector<std::string> notices;
    World world(level, level.entities.entities, "fuzz.bsp", notices);
    requireOneLineEach(notices);
    world.flyAt({view.eye[0], view.eye[1], view.eye[2]});
    for (const double seconds : {0.0, 0.5, 7.25, 1.0e7}) {
        world.step(seconds, {}, 0.1);
        for (const Movers::Mover& mover : world.movers().all())
            require(isFinite(mover.pose.offset) && std::isfinite(mover.pose.degrees));
    }
    // The brush entities' faces join the world's, each face once, from every cluster tried.
    BrushEntityVisibility models(level, std::move(brushEntities));
    const int32_t clusters = level.visData ? level.visData->clusterCount : 0;
    for (int32_t from = -1; from < clusters && from < 16; ++from) {
        gatherFrom(level, camera.getPosition(), camera, drawn, visibleFaces);
        models.collectFaces(from, camera, drawn, visibleFaces);
        require(visibleFaces.size() <= level.faces.size());
    }
    for (int32_t from = -1; from < clusters && from < 16; ++from)
        for (int32_t to = -1; to < clusters && to < 16; ++to)
            Visibility::canSee(level.visData.get(), from, to);
    return 0;
}

// ---- the world --------------------------------------------------------------------------------

} // namespace fuzztargets

namespace {

// The steps' keys and frame times, from the script's seed: the same input walks the same way.
class Script {
public:
    explicit Script(uint64_t seed) : state(seed | 1) {}

    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return uint32_t(state >> 32);
    }
    float unit() { return float(next() % 10001) / 10000.0f; } // 0..1

    WalkInput input()
    {
        WalkInput input;
        input.forward = float(int(next() % 3) - 1);
        input.right = float(int(next() % 3) - 1);
        input.jump = next() % 4 == 0;
        input.crouch = next() % 6 == 0;
        input.heading = double(next() % 3600) / 10.0;
        input.pitch = double(int(next() % 1800) - 900) / 10.0;
        return input;
    }

    // Mostly short frames, some long, and now and then none, a negative one or not a number.
    double frameSeconds()
    {
        const uint32_t kind = next() % 100;
        if (kind < 80)
            return 0.03 * double(unit());
        if (kind < 96)
            return 0.3 * double(unit());
        const double odd[] = {0.0, -1.0, std::nan(""), 1.0e9};
        return odd[kind % 4];
    }

private:
    uint64_t state;
};

// The player's own box (crouched or not) overlaps a solid or player clip by more than a touch.
bool stuck(const World& world)
{
    const PlayerMovement& player = world.player();
    return world.collision().trace(player.origin(), player.origin(), player.box(), WalkSettings::blockingContents).startSolid;
}

// Where walking starts: the first start the player can stand at, else the level box's middle.
Float3 startOf(const LevelData& level, const World& world)
{
    for (const PlayerStart& start : playerStarts(level.entities.entities))
        if (start.kind != PlayerStart::Kind::intermission)
            return FileAxes::toWorld(start.origin) + Float3{0.0f, world.settings().startLift, 0.0f};
    return (world.collision().levelLow() + world.collision().levelHigh()) * 0.5f;
}

} // namespace

namespace fuzztargets {

int world(const uint8_t* data, std::size_t size)
{
    if (size < worldPrefixSize)
        return 0;
    const MutedConsole muted;
    const std::optional<LevelData> level = parse(data + worldPrefixSize, size - worldPrefixSize);
    if (!level)
        return 0;
    std::vector<std::string> notices;
    World world(*level, level->entities.entities, "fuzz.bsp", notices);
    requireOneLineEach(notices);
    uint64_t seed = 0;
    std::memcpy(&seed, data, sizeof seed);
    Script script(seed);
    if (world.startWalking(startOf(*level, world), double(data[8]) * 2.0) != World::Start::walking)
        return 0;
    require(!stuck(world));
    double clock = 0.0;
    for (int step = 0; step < worldSteps && world.isWalking(); ++step) {
        const bool clear = !stuck(world) && !world.movers().anyMoving();
        const double seconds = script.frameSeconds();
        clock += std::isfinite(seconds) && seconds > 0.0 ? std::min(seconds, 1.0) : 0.0;
        world.step(clock, script.input(), seconds);
        if (!world.isWalking())
            break; // fell out twice: flying now
        const PlayerMovement& player = world.player();
        require(isFinite(player.origin()) && isFinite(player.velocity()) && std::isfinite(player.heading()));
        const World::Events& events = world.events();
        // A teleport may send the player into a wall the level put its destination in, and a
        // mover may push it into one; walking never does.
        if (clear && !events.teleported && !events.fellOut && !world.movers().anyMoving())
            require(!stuck(world));
    }
    return 0;
}

int tga(const uint8_t* data, std::size_t size)
{
    const TGAImage image = TGAImage::decode(data, size);
    if (image.decoded()) {
        require(image.bitsPerPixel == 24 || image.bitsPerPixel == 32);
        require(uint64_t(image.width) * image.height <= TGAImage::maxPixels);
        require(image.pixels.size() == std::size_t(image.width) * image.height * image.bytesPerPixel());
    } else {
        require(image.pixels.empty() && image.width == 0 && image.height == 0);
    }
    // Within a longest side, halved until it fits.
    const DecodedImage reduced(std::vector<unsigned char>(data, data + size), DecodedImage::FileType::tga, smallSide);
    require(reduced.isLoaded() == image.decoded());
    if (reduced.isLoaded())
        require(reduced.getWidth() <= smallSide && reduced.getHeight() <= smallSide && reduced.getData() != nullptr);
    return 0;
}

int jpeg(const uint8_t* data, std::size_t size)
{
    const JPEGImage image = JPEGImage::decode(data, size, jpegPixelLimit);
    if (image.decoded()) {
        require(image.format == formatRGB || image.format == formatRGBA);
        require(image.width > 0 && image.height > 0 && uint64_t(image.width) * image.height <= jpegPixelLimit);
        require(image.pixels.size() == std::size_t(image.width) * image.height * image.bytesPerPixel());
    } else {
        require(image.pixels.empty() && image.width == 0 && image.height == 0);
    }
    // At the decoder's reduced scale: within the side, or at 1/8 when even that is larger.
    const JPEGImage reduced = JPEGImage::decode(data, size, jpegPixelLimit, smallSide);
    if (reduced.decoded()) {
        const bool eighth = reduced.width <= (reduced.storedWidth + 7) / 8 && reduced.height <= (reduced.storedHeight + 7) / 8;
        require((reduced.width <= smallSide && reduced.height <= smallSide) || eighth);
        require(reduced.pixels.size() == std::size_t(reduced.width) * reduced.height * reduced.bytesPerPixel());
    }
    return 0;
}

int entities(const uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t peak = 0;
    EntityList list;
    {
        const HeapPeak heap;
        list = EntityText::parse(text);
        peak = heap.bytes();
    }
    // Each entity or field costs a fixed record and its strings, and every record takes at
    // least two bytes of text.
    require(peak <= 64 * size + mebibyte);
    require(list.problem.empty() || list.problem.compare(0, 15, "entities: line ") == 0);
    require(list.entities.size() <= EntityText::maxEntities);
    for (const Entity& entity : list.entities) {
        require(entity.fields.size() <= EntityText::maxFields);
        for (const auto& [key, value] : entity.fields)
            require(canBeQuoted(key) && canBeQuoted(value));
    }

    const EntityList again = EntityText::parse(writeEntities(list.entities));
    require(again.problem.empty() && again.entities.size() == list.entities.size());
    for (std::size_t i = 0; i < list.entities.size(); ++i)
        require(again.entities[i].fields == list.entities[i].fields);

    if (const std::optional<PlayerStart> start = findPlayerStart(list.entities))
        require(std::isfinite(start->origin[0]) && std::isfinite(start->origin[1]) && std::isfinite(start->origin[2])
                && std::isfinite(start->angle));
    // Every start stands where a configuration's whole numbers can put it, facing a heading in [0, 360).
    const PlayerStarts starts(playerStarts(list.entities), Vec3(-1024, -1024, -1024), Vec3(1024, 1024, 1024));
    for (std::size_t i = 0; i < starts.count(); ++i) {
        const PlayerStarts::View& view = starts.view(i);
        for (const float coordinate : {view.eye.getX(), view.eye.getY(), view.eye.getZ()})
            require(coordinate >= -1024 && coordinate <= 1024);
        require(view.heading >= 0 && view.heading < 360);
    }
    worldMessage(list.entities);
    for (const PointMarker& marker : PointMarker::list(list.entities))
        require(std::isfinite(marker.position.getX()) && std::isfinite(marker.position.getY())
                && std::isfinite(marker.position.getZ()) && std::isfinite(marker.heading)
                && std::size_t(marker.family) < PointMarker::familyCount);
    return 0;
}

int materials(const uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::ostringstream log;
    std::vector<Material> read;
    std::size_t peak = 0;
    {
        const HeapPeak heap;
        read = MaterialScript::parse(text, "fuzz.shader", log);
        peak = heap.bytes();
    }
    // A stage costs a fixed record for the two bytes `{}`, a material one for `m{}`, and the
    // vectors holding them may double as they grow.
    require(peak <= 320 * size + mebibyte);
    // At most one line per material for its stages, one for the script's stages, and one where
    // reading stopped.
    const std::string lines = log.str();
    const std::size_t lineCount = std::size_t(std::count(lines.begin(), lines.end(), '\n'));
    require(lineCount <= read.size() + 3);
    for (std::size_t start = 0; start < lines.size(); start = lines.find('\n', start) + 1)
        require(lines.compare(start, 12, "fuzz.shader:") == 0);
    require(read.size() <= MaterialScript::maxMaterials);
    for (const Material& material : read) {
        require(!material.name.empty() && material.key == Material::keyOf(material.name)
                && material.stages.size() <= MaterialScript::maxStages
                && material.deforms.size() <= Material::maxDeforms && material.skipped.size() <= Material::maxSkipped);
        for (const std::string& skipped : material.skipped)
            require(isShortAndPrintable(skipped));
        for (const Material::Stage& stage : material.stages)
            require(stage.animationFrames.size() <= Material::Stage::maxAnimationFrames
                    && stage.tcMods.size() <= Material::Stage::maxTexCoordMods);
        evaluateLikeTheRenderer(material);
    }

    std::ostringstream quiet;
    const std::vector<Material> again = MaterialScript::parse(MaterialRoundTrip::write(read), "again.shader", quiet);
    require(quiet.str().empty() && again.size() == read.size());
    for (std::size_t i = 0; i < read.size(); ++i)
        require(MaterialRoundTrip::same(again[i], read[i]));

    MaterialLibrary library;
    library.add(read);
    for (const Material& material : read) {
        const Material* found = library.find(material.name);
        require(found != nullptr && found->key == material.key);
    }
    return 0;
}

int config(const uint8_t* data, std::size_t size)
{
    const MutedConsole muted;
    const std::vector<std::string> parts = splitAtNul(data, size, 3);

    // Every "players" entry would read the same text again; reading it once covers it, and
    // keeps a file of thousands of entries from taking thousands of readings.
    bool playersRead = false;
    const FriendliesMaker makeFriendlies = [&](const std::string& fileName) {
        std::istringstream players(playersRead ? std::string() : parts[2]);
        playersRead = true;
        return std::make_unique<Friendlies>(players, fileName);
    };
    try {
        std::istringstream text(parts[0]);
        const Configuration configuration = readConfiguration(text, makeFriendlies);
        configurationProblem(configuration, "fuzz.cfg");
    } catch (const std::runtime_error& error) {
        require(std::string(error.what()).find(": ") != std::string::npos);
    }
    try {
        std::istringstream lights(parts[1]);
        const LightsFile read = LightsFile::read(lights, "fuzz.lights");
        require(read.positions.size() == read.lightCount && read.diffuseColors.size() == read.lightCount);
    } catch (const std::runtime_error& error) {
        require(std::strncmp(error.what(), "fuzz.lights: ", 13) == 0);
    }
    return 0;
}

int archive(const uint8_t* data, std::size_t size)
{
    std::size_t peak = 0;
    std::ostringstream log;
    {
        const HeapPeak heap;
        const Archive opened("fuzz.pk3", std::vector<unsigned char>(data, data + size), log, archiveEntryLimit);
        uint64_t read = 0;
        for (const auto& [key, entry] : opened.entries()) {
            // The index holds only names a lookup can reach, each under its own lower-cased key.
            require(RelativePath::problem(entry.name).empty() && key == RelativePath::lowerCase(entry.name));
            require(opened.find(entry.name) == &entry && entry.size <= archiveEntryLimit);
            if (read >= archiveReadBudget)
                break;
            const std::optional<std::vector<unsigned char>> bytes = opened.read(entry.name);
            require(!bytes || bytes->size() == entry.size);
            read += entry.size;
        }
        peak = heap.bytes();
    }
    requireOneLineEach(log.str());
    // The input's copy, libzip's index and ours (about 5 x the archive for thousands of one-byte
    // entries), one entry's buffer, a decompressor's state (bzip2's is over 3 MiB), and the log.
    require(peak <= 8 * size + 2 * archiveEntryLimit + 16 * mebibyte);
    return 0;
}

} // namespace fuzztargets
