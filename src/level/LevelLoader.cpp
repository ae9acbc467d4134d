#include "level/LevelLoader.h"

#include "files/HugePages.h"
#include "level/LevelBytes.h"
#include "level/LevelFormat.h"
#include "level/LevelFormatError.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

namespace {

// Patches may take as many bytes as the file, plus this much for small levels.
constexpr uint64_t patchBudgetSlack = uint64_t(8) << 20;

std::string recordName(const char* array, std::size_t index)
{
    return std::string(array) + "[" + std::to_string(index) + "]";
}

} // namespace

// One lump's bytes inside the file; bounds were checked by readHeader.
struct LevelLoader::Lump {
    const unsigned char* data;
    std::size_t length; // bytes
    std::size_t count;  // whole records; trailing bytes are ignored
};

// Smallest and largest value over any range of an int array in O(range / block + block), so
// that many faces listing the same long mesh-vertex range cannot make the check quadratic.
class LevelLoader::RangeExtremes {
public:
    explicit RangeExtremes(const std::vector<int32_t>& values) : values(values)
    {
        const std::size_t blocks = (values.size() + blockSize - 1) / blockSize;
        blockMinimum.assign(blocks, INT32_MAX);
        blockMaximum.assign(blocks, INT32_MIN);
        for (std::size_t i = 0; i < values.size(); ++i) {
            blockMinimum[i / blockSize] = std::min(blockMinimum[i / blockSize], values[i]);
            blockMaximum[i / blockSize] = std::max(blockMaximum[i / blockSize], values[i]);
        }
    }

    // Over values[first, first + count), count > 0, inside the array.
    std::pair<int32_t, int32_t> over(std::size_t first, std::size_t count) const
    {
        int32_t minimum = INT32_MAX;
        int32_t maximum = INT32_MIN;
        std::size_t i = first;
        const std::size_t end = first + count;
        while (i < end) {
            if (i % blockSize == 0 && i + blockSize <= end) {
                minimum = std::min(minimum, blockMinimum[i / blockSize]);
                maximum = std::max(maximum, blockMaximum[i / blockSize]);
                i += blockSize;
            } else {
                minimum = std::min(minimum, values[i]);
                maximum = std::max(maximum, values[i]);
                ++i;
            }
        }
        return {minimum, maximum};
    }

private:
    static constexpr std::size_t blockSize = 64;
    const std::vector<int32_t>& values;
    std::vector<int32_t> blockMinimum;
    std::vector<int32_t> blockMaximum;
};

namespace {

// Lumps are addressed by 32-bit offsets and lengths: nothing past this can belong to one.
constexpr std::uintmax_t largestLevel = std::uintmax_t(1) << 32;

// What can be told of the path before it is read: a folder, nothing there, or too large.
void checkLevelPath(const std::string& path)
{
    std::error_code error;
    // A folder opens as a stream too, with a size of nonsense.
    if (std::filesystem::is_directory(path, error))
        throw LevelFormatError(path + ": is a folder, not a level file");
    if (!std::filesystem::exists(path, error) && !error)
        throw LevelFormatError(path + ": no such file");
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > largestLevel)
        throw LevelFormatError(path + ": file is " + std::to_string(size) + " bytes, more than a level can address");
}

} // namespace

std::vector<unsigned char> LevelLoader::readLevelFile(const std::string& path)
{
    checkLevelPath(path);
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        throw LevelFormatError(path + ": cannot open the level file");
    const std::streamoff size = file.tellg();
    if (size < 0 || std::uintmax_t(size) > largestLevel)
        throw LevelFormatError(path + ": cannot read the level file");
    std::vector<unsigned char> bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    HugePages::advise(bytes.data(), bytes.capacity());
    bytes.resize(static_cast<std::size_t>(size));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    if (file.gcount() != std::streamsize(bytes.size()))
        throw LevelFormatError(path + ": cannot read the level file");
    return bytes;
}

std::unique_ptr<MappedFile> LevelLoader::mapLevelFile(const std::string& path)
{
    checkLevelPath(path);
    auto mapped = std::make_unique<MappedFile>(path);
    if (!mapped->opened())
        throw LevelFormatError(path + ": cannot open the level file");
    if (mapped->size() > largestLevel)
        throw LevelFormatError(path + ": cannot read the level file");
    return mapped;
}

LevelLoader::LevelLoader(std::string fileName, const std::vector<unsigned char>& bytes, std::ostream& log)
    : LevelLoader(std::move(fileName), Bytes{bytes.data(), bytes.size()}, log)
{
}

LevelLoader::LevelLoader(std::string fileName, Bytes bytes, std::ostream& log)
    : fileName(std::move(fileName)), file(bytes), log(log)
{
}

void LevelLoader::fail(const std::string& what) const { throw LevelFormatError(fileName + ": " + what); }

LevelLoader::Lump LevelLoader::lump(int index, int recordSize) const
{
    const DirectoryEntry& entry = directory.at(std::size_t(index));
    const std::size_t length = std::size_t(entry.length);
    return Lump{file.data + entry.offset, length, length / std::size_t(recordSize)};
}

// ---- header and directory ----------------------------------------------------------------

void LevelLoader::readHeader(LevelData& level)
{
    if (file.size < std::size_t(LevelFormat::directoryEnd))
        fail("file is " + std::to_string(file.size) + " bytes, shorter than its "
            + std::to_string(LevelFormat::directoryEnd) + "-byte header and directory");

    level.magic.assign(reinterpret_cast<const char*>(file.data), 4);
    level.version = LevelBytes::readInt32(file.data + 4);
    log << "magic: " << level.magic << '\n' << "version: " << level.version << '\n';

    level.directory.clear();
    level.directory.reserve(LevelFormat::lumpCount);
    for (int i = 0; i < LevelFormat::lumpCount; ++i) {
        const DirectoryEntry entry(file.data + LevelFormat::headerSize + DirectoryEntry::recordSize * i);
        level.directory.push_back(entry);
        log << "dir_entry #" << i << ":  offset=" << entry.offset << " length=" << entry.length << '\n';
    }

    for (int i = 0; i < LevelFormat::lumpCount; ++i) {
        const DirectoryEntry& entry = level.directory[std::size_t(i)];
        const std::string name = "directory[" + std::to_string(i) + "] (" + LevelFormat::lumps[i].name + ")";
        if (entry.offset < 0)
            fail(name + " offset " + std::to_string(entry.offset) + " is negative");
        if (entry.length < 0)
            fail(name + " length " + std::to_string(entry.length) + " is negative");
        const int64_t end = int64_t(entry.offset) + entry.length;
        if (end > int64_t(file.size))
            fail(name + " offset " + std::to_string(entry.offset) + " + length " + std::to_string(entry.length)
                + " exceeds the file size " + std::to_string(file.size));
    }
    checkLumpsDoNotOverlap(level.directory);
    directory = level.directory;
}

// Every lump is decoded into its own array: lumps sharing bytes would multiply the memory a
// file of a given size can take. Empty lumps take no bytes and may sit anywhere.
void LevelLoader::checkLumpsDoNotOverlap(const std::vector<DirectoryEntry>& entries) const
{
    std::vector<int> order;
    for (int i = 0; i < LevelFormat::lumpCount; ++i)
        if (entries[std::size_t(i)].length > 0)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&entries](int a, int b) {
        return entries[std::size_t(a)].offset < entries[std::size_t(b)].offset;
    });
    for (std::size_t k = 1; k < order.size(); ++k) {
        const DirectoryEntry& before = entries[std::size_t(order[k - 1])];
        const DirectoryEntry& after = entries[std::size_t(order[k])];
        if (int64_t(before.offset) + before.length > after.offset) {
            const auto describe = [&entries](int i) {
                return "directory[" + std::to_string(i) + "] (" + LevelFormat::lumps[i].name + ") offset "
                    + std::to_string(entries[std::size_t(i)].offset) + " + length "
                    + std::to_string(entries[std::size_t(i)].length);
            };
            fail(describe(order[k - 1]) + " overlaps " + describe(order[k]));
        }
    }
}

void LevelLoader::readTextureNames(LevelData& level) const
{
    const Lump textures = lump(LevelFormat::Textures, LevelFormat::textureRecordSize);
    log << "this level contains " << textures.count << " distinct textures" << '\n';
    level.textureNames.clear();
    level.textureNames.reserve(textures.count);
    level.textureFlags.clear();
    level.textureFlags.reserve(textures.count);
    level.textureContents.clear();
    level.textureContents.reserve(textures.count);
    for (std::size_t i = 0; i < textures.count; ++i) {
        const char* name = reinterpret_cast<const char*>(textures.data + i * LevelFormat::textureRecordSize);
        // A name that fills all 64 bytes has no NUL of its own; it ends at the field.
        const void* nul = std::memchr(name, '\0', LevelFormat::textureNameSize);
        const std::size_t length = nul ? std::size_t(static_cast<const char*>(nul) - name)
                                       : std::size_t(LevelFormat::textureNameSize);
        level.textureNames.emplace_back(name, length);
        level.textureFlags.push_back(LevelBytes::readInt32(reinterpret_cast<const unsigned char*>(name)
                                                           + LevelFormat::textureNameSize));
        level.textureContents.push_back(LevelBytes::readInt32(reinterpret_cast<const unsigned char*>(name)
                                                              + LevelFormat::textureNameSize + 4));
    }
    level.lightmapCount = directory.at(LevelFormat::Lightmaps).length / LevelFormat::lightmapRecordSize;
}

std::vector<bool> LevelLoader::texturesInUse(const LevelData& level) const
{
    const Lump records = lump(LevelFormat::Faces, Face::recordSize);
    std::vector<bool> used(level.textureNames.size(), false);
    for (std::size_t i = 0; i < records.count; ++i) {
        const Face face(records.data + i * Face::recordSize);
        if (face.isDrawnType() && face.texture >= 0 && std::size_t(face.texture) < used.size())
            used[std::size_t(face.texture)] = true;
    }
    return used;
}

// ---- record lumps --------------------------------------------------------------------------

template <typename Record>
void LevelLoader::readLump(int index, const char* opening, const char* closing, std::vector<Record>& into) const
{
    const Lump records = lump(index, Record::recordSize);
    log << opening;
    into.clear();
    into.reserve(records.count);
    HugePages::advise(into.data(), into.capacity() * sizeof(Record));
    for (std::size_t i = 0; i < records.count; ++i)
        into.emplace_back(records.data + i * Record::recordSize);
    log << closing << '\n';
}

void LevelLoader::readIndexLump(int index, const char* opening, std::vector<int32_t>& into) const
{
    const Lump records = lump(index, LevelFormat::lumps[index].recordSize);
    log << opening;
    into.clear();
    into.reserve(records.count);
    for (std::size_t i = 0; i < records.count; ++i)
        into.push_back(LevelBytes::readInt32(records.data + 4 * i));
    log << "done " << '\n';
}

void LevelLoader::readRecords(LevelData& level, const BottomUpQuery& keepsRowsBottomUp) const
{
    readLump(LevelFormat::Planes, "loading planes...", "done!", level.planes);
    readLump(LevelFormat::Nodes, "loading nodes ...", "done!", level.nodes);
    readLump(LevelFormat::Leaves, "loading leaves ...", "done!", level.leaves);
    readIndexLump(LevelFormat::LeafFaces, "loading leaf faces... ", level.leafFaces);
    readIndexLump(LevelFormat::LeafBrushes, "loading leaf brushes... ", level.leafBrushes);
    readModels(level);
    readLump(LevelFormat::Brushes, "loading brushes... ", "done ", level.brushes);
    readLump(LevelFormat::BrushSides, "loading brush sides... ", "done ", level.brushSides);
    readLump(LevelFormat::Vertices, "loading vertices... ", "done ", level.vertices);
    readIndexLump(LevelFormat::MeshVertices, "loading mesh_vertices... ", level.meshVertices);
    readEffects(level);
    readFaces(level, keepsRowsBottomUp);
    checkNodes(level);
    checkTreeHasNoCycle(level);
    checkLeaves(level);
}

// ---- effects ---------------------------------------------------------------------------

// Faces naming an effect the level lacks: counted, and said in one line for the whole level.
class LevelLoader::EffectTally {
public:
    void check(Face& face, std::size_t index, const std::vector<Effect>& effects)
    {
        if (face.effect == -1)
            return;
        if (face.effect >= 0 && std::size_t(face.effect) < effects.size()) {
            if (effects[std::size_t(face.effect)].brush < 0)
                face.effect = -1; // its record was dropped, with a line of its own
            return;
        }
        if (count++ == 0)
            first = "faces[" + std::to_string(index) + "].effect " + std::to_string(face.effect);
        face.effect = -1;
    }

    void report(const std::string& fileName, LevelData& level) const
    {
        if (count > 0)
            level.notices.push_back(fileName + ": " + std::to_string(count)
                                    + " faces name an effect the level does not have (first " + first + ", of "
                                    + std::to_string(level.effects.size()) + " effects); they are drawn without one");
    }

private:
    std::size_t count = 0;
    std::string first;
};

// Why an effect record cannot bound a fog volume; "" when it can.
std::string LevelLoader::effectProblem(const LevelData& level, std::size_t index) const
{
    const Effect& effect = level.effects[index];
    const std::string record = recordName("effects", index);
    if (effect.brush < 0 || std::size_t(effect.brush) >= level.brushes.size())
        return record + ".brush " + std::to_string(effect.brush) + " is not an index into "
               + std::to_string(level.brushes.size()) + " brushes";
    const Brush& brush = level.brushes[std::size_t(effect.brush)];
    const std::string brushName = recordName("brushes", std::size_t(effect.brush));
    if (brush.sideCount > Effect::maxSides)
        return record + " names " + brushName + ", whose " + std::to_string(brush.sideCount)
               + " sides are more than a fog volume may have (" + std::to_string(Effect::maxSides) + ")";
    if (brush.firstSide < 0 || brush.sideCount <= 0
        || int64_t(brush.firstSide) + brush.sideCount > int64_t(level.brushSides.size()))
        return record + " names " + brushName + ", whose sides " + std::to_string(brush.firstSide) + " + "
               + std::to_string(brush.sideCount) + " are not within " + std::to_string(level.brushSides.size())
               + " brush sides";
    for (int32_t side = 0; side < brush.sideCount; ++side) {
        const int32_t plane = level.brushSides[std::size_t(brush.firstSide + side)].plane;
        if (plane < 0 || std::size_t(plane) >= level.planes.size())
            return record + " names " + brushName + ", whose side " + std::to_string(side) + " names plane "
                   + std::to_string(plane) + " of " + std::to_string(level.planes.size()) + " planes";
    }
    if (effect.visibleSide < -1 || effect.visibleSide >= brush.sideCount)
        return record + ".visibleSide " + std::to_string(effect.visibleSide) + " is not one of " + brushName
               + "'s " + std::to_string(brush.sideCount) + " sides";
    return {};
}

// Fog volumes are repaired, not refused: a bad record keeps its place so that faces still
// index the others, and is said in a line; past a few such lines, one line counts the rest.
void LevelLoader::readEffects(LevelData& level) const
{
    constexpr std::size_t linesShown = 8;
    const Lump records = lump(LevelFormat::Effects, Effect::recordSize);
    level.effects.clear();
    level.effects.reserve(records.count);
    std::size_t dropped = 0;
    for (std::size_t i = 0; i < records.count; ++i) {
        level.effects.emplace_back(records.data + i * Effect::recordSize);
        if (i >= Effect::maxFogVolumes) {
            level.effects.back().brush = -1;
            continue;
        }
        const std::string problem = effectProblem(level, i);
        if (problem.empty())
            continue;
        level.effects.back().brush = -1;
        if (++dropped <= linesShown)
            level.notices.push_back(fileName + ": " + problem + "; the fog is dropped");
    }
    if (dropped > linesShown)
        level.notices.push_back(fileName + ": " + std::to_string(dropped - linesShown) + " more effects dropped");
    if (records.count > Effect::maxFogVolumes)
        level.notices.push_back(fileName + ": " + std::to_string(records.count) + " effects, more than "
                                + std::to_string(Effect::maxFogVolumes) + " fog volumes; the rest are dropped");
}

void LevelLoader::readFaces(LevelData& level, const BottomUpQuery& keepsRowsBottomUp) const
{
    const Lump records = lump(LevelFormat::Faces, Face::recordSize);
    log << "loading faces... ";
    level.faces.clear();
    level.faces.reserve(records.count);
    HugePages::advise(level.faces.data(), level.faces.capacity() * sizeof(Face));
    int64_t patchTotal = 0;
    const RangeExtremes meshExtremes(level.meshVertices);
    EffectTally effects;
    try {
        for (std::size_t i = 0; i < records.count; ++i) {
            level.faces.emplace_back(records.data + i * Face::recordSize);
            checkFace(level, i, meshExtremes, patchTotal);
            Face& face = level.faces.back();
            effects.check(face, i, level.effects);
            if (keepsRowsBottomUp && keepsRowsBottomUp(face.texture))
                face.flipTexCoordT(level.vertices);
        }
    } catch (...) {
        log << '\n'; // the refusal gets a line of its own
        throw;
    }
    effects.report(fileName, level);
    log << "done " << '\n';
}

// ---- checks --------------------------------------------------------------------------------

std::string LevelLoader::FieldName::text() const
{
    std::string name = recordName(array, index);
    if (field != nullptr)
        name += std::string(".") + field;
    if (element >= 0)
        name += "[" + std::to_string(element) + "]";
    return name;
}

void LevelLoader::checkIndex(const FieldName& field, int64_t value, std::size_t limit, const char* limitName) const
{
    if (value < 0 || uint64_t(value) >= limit)
        fail(field.text() + " " + std::to_string(value) + " is not an index into " + std::to_string(limit) + " "
            + limitName);
}

void LevelLoader::checkRange(const FieldName& record, const char* firstName, int64_t first,
    const char* countName, int64_t count, std::size_t limit, const char* limitName) const
{
    if (first < 0)
        fail(record.text() + "." + firstName + " " + std::to_string(first) + " is negative");
    if (count < 0)
        fail(record.text() + "." + countName + " " + std::to_string(count) + " is negative");
    if (uint64_t(first + count) > limit)
        fail(record.text() + "." + firstName + " " + std::to_string(first) + " + " + countName + " "
            + std::to_string(count) + " exceeds " + std::to_string(limit) + " " + limitName);
}

void LevelLoader::checkFace(const LevelData& level, std::size_t index, const RangeExtremes& meshExtremes,
    int64_t& patchTotal) const
{
    const Face& face = level.faces[index];
    const FieldName record{"faces", index};
    checkIndex({"faces", index, "texture"}, face.texture, level.textureNames.size(), "textures");
    checkRange(record, "firstVertex", face.firstVertex, "vertexCount", face.vertexCount, level.vertices.size(),
        "vertices");
    checkRange(record, "firstMeshVertex", face.firstMeshVertex, "meshVertexCount", face.meshVertexCount,
        level.meshVertices.size(), "meshVertices");

    if (face.drawnFromMeshVertices() && face.meshVertexCount > 0) {
        const auto [minimum, maximum] =
            meshExtremes.over(std::size_t(face.firstMeshVertex), std::size_t(face.meshVertexCount));
        // The draw adds each mesh vertex to firstVertex: it must stay inside the face's own vertices.
        const int64_t end = int64_t(face.firstMeshVertex) + face.meshVertexCount;
        for (int64_t k = face.firstMeshVertex; (minimum < 0 || maximum >= face.vertexCount) && k < end; ++k) {
            const int32_t value = level.meshVertices[std::size_t(k)];
            if (value < 0 || value >= face.vertexCount)
                fail(record.text() + " meshVertices[" + std::to_string(k) + "] " + std::to_string(value)
                    + " is not an index into the face's " + std::to_string(face.vertexCount) + " vertices");
        }
    }

    const int64_t patches = face.patchCount();
    if (patches > 0) {
        const int64_t width = face.patchSize[0];
        const int64_t needed = 2 * ((face.patchSize[1] - 1) / 2) * width + 2 * ((width - 1) / 2) + 1;
        if (needed > face.vertexCount)
            fail(record.text() + ".patchSize " + std::to_string(face.patchSize[0]) + " x "
                + std::to_string(face.patchSize[1]) + " needs " + std::to_string(needed)
                + " vertices but vertexCount is " + std::to_string(face.vertexCount));
        // Separate grids never share control vertices, so a quarter of the vertices bounds the
        // patches of any real level; it keeps overlapping grids from multiplying memory.
        patchTotal += patches;
        if (uint64_t(patchTotal) > level.vertices.size() / 4)
            fail(record.text() + " brings the patch count to " + std::to_string(patchTotal)
                + ", more than a quarter of the " + std::to_string(level.vertices.size()) + " vertices");
        // Each patch copies its nine control vertices, so a level made mostly of grids could
        // need several times its own size; loading stays within a fixed multiple of the file.
        const uint64_t patchBytes = uint64_t(patchTotal) * sizeof(BezierPatch);
        const uint64_t allowed = file.size + patchBudgetSlack;
        if (patchBytes > allowed)
            fail(record.text() + " brings the patch count to " + std::to_string(patchTotal) + ", needing "
                + std::to_string(patchBytes) + " bytes of patches; a " + std::to_string(file.size)
                + "-byte file allows " + std::to_string(allowed));
    }
}

void LevelLoader::checkNodes(const LevelData& level) const
{
    if (level.nodes.empty())
        fail("the nodes lump holds no nodes");
    if (level.leaves.empty())
        fail("the leaves lump holds no leaves");
    for (std::size_t i = 0; i < level.nodes.size(); ++i) {
        const Node& node = level.nodes[i];
        checkIndex({"nodes", i, "plane"}, node.plane, level.planes.size(), "planes");
        for (int side = 0; side < 2; ++side) {
            const int64_t child = node.children[side];
            const FieldName field{"nodes", i, "children", side};
            if (child >= 0) {
                checkIndex(field, child, level.nodes.size(), "nodes");
            } else if (uint64_t(-(child + 1)) >= level.leaves.size()) {
                fail(field.text() + " " + std::to_string(child) + " names leaf " + std::to_string(-(child + 1))
                    + ", not one of " + std::to_string(level.leaves.size()) + " leaves");
            }
        }
    }
}

// The eye's leaf search walks from node 0 until it reaches a leaf; a cycle would never end.
// Depth-first, iterative so a degenerate deep tree cannot exhaust the call stack.
void LevelLoader::checkTreeHasNoCycle(const LevelData& level) const
{
    enum : unsigned char { unvisited, onPath, finished };
    std::vector<unsigned char> state(level.nodes.size(), unvisited);
    std::vector<std::pair<int32_t, int>> path; // node, next child side to visit
    path.emplace_back(0, 0);
    state[0] = onPath;
    while (!path.empty()) {
        auto& [node, side] = path.back();
        if (side == 2) {
            state[std::size_t(node)] = finished;
            path.pop_back();
            continue;
        }
        const int currentSide = side++;
        const int32_t child = level.nodes[std::size_t(node)].children[currentSide];
        if (child < 0 || state[std::size_t(child)] == finished)
            continue;
        if (state[std::size_t(child)] == onPath)
            fail(recordName("nodes", std::size_t(node)) + ".children[" + std::to_string(currentSide) + "] "
                + std::to_string(child) + " leads back up the BSP tree: the tree has a cycle");
        state[std::size_t(child)] = onPath;
        path.emplace_back(child, 0);
    }
}

void LevelLoader::checkLeaves(const LevelData& level) const
{
    for (std::size_t i = 0; i < level.leaves.size(); ++i) {
        const Leaf& leaf = level.leaves[i];
        const FieldName record{"leaves", i};
        checkRange(record, "firstLeafFace", leaf.firstLeafFace, "leafFaceCount", leaf.leafFaceCount,
            level.leafFaces.size(), "leafFaces");
        checkRange(record, "firstLeafBrush", leaf.firstLeafBrush, "leafBrushCount", leaf.leafBrushCount,
            level.leafBrushes.size(), "leafBrushes");
    }
    for (std::size_t i = 0; i < level.leafFaces.size(); ++i)
        checkIndex({"leafFaces", i}, level.leafFaces[i], level.faces.size(), "faces");
}

// ---- visibility, entities, patches -----------------------------------------------------------

void LevelLoader::readVisibility(LevelData& level) const
{
    const Lump visibility = lump(LevelFormat::Visibility, 1);
    log << "loading visibility data... ";
    level.visData.reset();
    if (visibility.length >= std::size_t(LevelFormat::visibilityHeaderSize)) {
        const int64_t clusterCount = LevelBytes::readInt32(visibility.data);
        const int64_t bytesPerCluster = LevelBytes::readInt32(visibility.data + 4);
        const int64_t available = int64_t(visibility.length) - LevelFormat::visibilityHeaderSize;
        std::string problem;
        if (clusterCount < 0)
            problem = "visibility clusterCount " + std::to_string(clusterCount) + " is negative";
        else if (bytesPerCluster < 0)
            problem = "visibility bytesPerCluster " + std::to_string(bytesPerCluster) + " is negative";
        else if (clusterCount * bytesPerCluster > available)
            problem = "visibility clusterCount " + std::to_string(clusterCount) + " x bytesPerCluster "
                + std::to_string(bytesPerCluster) + " needs " + std::to_string(clusterCount * bytesPerCluster)
                + " bytes but the lump holds " + std::to_string(available) + " after its header";
        else if (bytesPerCluster * 8 < clusterCount)
            problem = "visibility bytesPerCluster " + std::to_string(bytesPerCluster) + " holds "
                + std::to_string(bytesPerCluster * 8) + " cluster bits, fewer than clusterCount "
                + std::to_string(clusterCount);
        if (!problem.empty()) {
            log << '\n';
            fail(problem);
        }
        level.visData = std::make_unique<VisData>(visibility.data, visibility.length);
    }
    log << "done " << '\n';

    if (!level.visData)
        return; // without bits every leaf passes the cluster test, whatever its cluster
    for (std::size_t i = 0; i < level.leaves.size(); ++i) {
        const int32_t cluster = level.leaves[i].cluster;
        if (cluster >= level.visData->clusterCount)
            fail(recordName("leaves", i) + ".cluster " + std::to_string(cluster) + " is not below the "
                + std::to_string(level.visData->clusterCount) + " visibility clusters");
    }
}

LevelLoader::Bytes LevelLoader::lightmapPages() const
{
    const Lump pages = lump(LevelFormat::Lightmaps, LevelFormat::lightmapRecordSize);
    return {pages.data, pages.count * LevelFormat::lightmapRecordSize};
}

void LevelLoader::readModels(LevelData& level) const
{
    readLump(LevelFormat::Models, "loading models...", "done!", level.models);
}

void LevelLoader::readEntities(LevelData& level) const
{
    const Lump entities = lump(LevelFormat::Entities, 1);
    level.entityText.assign(reinterpret_cast<const char*>(entities.data), entities.length);
    level.entities = EntityText::parse(level.entityText);
}

void LevelLoader::readEntities(LevelData& level, EntityList parsed) const
{
    const Lump entities = lump(LevelFormat::Entities, 1);
    level.entityText.assign(reinterpret_cast<const char*>(entities.data), entities.length);
    level.entities = std::move(parsed);
}

void LevelLoader::buildPatches(LevelData& level)
{
    for (Face& face : level.faces)
        face.buildPatches(level.vertices);
}

LevelData parseLevel(const std::string& fileName, const std::vector<unsigned char>& bytes, std::ostream& log)
{
    return parseLevel(fileName, LevelLoader::Bytes{bytes.data(), bytes.size()}, log);
}

LevelData parseLevel(const std::string& fileName, LevelLoader::Bytes bytes, std::ostream& log)
{
    LevelData level;
    LevelLoader loader(fileName, bytes, log);
    loader.readHeader(level);
    loader.readTextureNames(level);
    loader.readRecords(level, nullptr);
    loader.readVisibility(level);
    loader.readEntities(level);
    LevelLoader::buildPatches(level);
    return level;
}

LevelData peekLevel(const std::string& fileName, const std::vector<unsigned char>& bytes)
{
    std::ostream quiet(nullptr);
    LevelData level;
    LevelLoader loader(fileName, bytes, quiet);
    loader.readHeader(level);
    loader.readEntities(level);
    loader.readModels(level);
    return level;
}
