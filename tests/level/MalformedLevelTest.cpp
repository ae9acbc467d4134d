#include "LevelWriter.h"

#include "level/LevelFormatError.h"
#include "level/LevelLoader.h"

#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

// Every refusal of the level loader, as a table of small level files and the exact message
// each must give after "<file>: ". The same table generates the committed corpus in
// tests/data/malformed/ (run this program with --gtest_also_run_disabled_tests
// --gtest_filter=*WriteCorpus) and the replay test checks every file there.

using namespace leveltest;

namespace {

struct MalformedLevel {
    std::string name;
    Bytes bytes;
    std::string message; // without the "<file>: " prefix
};


std::string str(int64_t value) { return std::to_string(value); }

// The small level with one int of one record replaced.
Bytes withField(int lump, int recordSize, int record, int fieldOffset, int32_t value)
{
    LevelWriter writer = smallLevel();
    overwriteInt(writer.lump(lump), std::size_t(record * recordSize + fieldOffset), value);
    return writer.bytes();
}

void addHeaderCases(std::vector<MalformedLevel>& cases)
{
    const Bytes valid = smallLevel().bytes();
    cases.push_back({"header_empty", {}, "file is 0 bytes, shorter than its 144-byte header and directory"});
    cases.push_back({"header_magic_and_version_only", Bytes(valid.begin(), valid.begin() + 8),
        "file is 8 bytes, shorter than its 144-byte header and directory"});
    cases.push_back({"header_directory_cut_short", Bytes(valid.begin(), valid.begin() + 143),
        "file is 143 bytes, shorter than its 144-byte header and directory"});
    const auto offsets = smallLevel().offsets();
    const int32_t visibilityLength = int32_t(smallLevel().lumps[16].size());
    cases.push_back({"file_truncated_by_one_byte", Bytes(valid.begin(), valid.end() - 1),
        "directory[16] (visibility) offset " + str(offsets[16]) + " + length " + str(visibilityLength)
            + " exceeds the file size " + str(int64_t(valid.size()) - 1)});
}

void addDirectoryCases(std::vector<MalformedLevel>& cases)
{
    const LevelWriter valid = smallLevel();
    const auto offsets = valid.offsets();
    const int64_t fileSize = int64_t(valid.bytes().size());
    for (int i = 0; i < LevelFormat::lumpCount; ++i) {
        const std::string entry = "directory[" + str(i) + "] (" + LevelFormat::lumps[i].name + ")";
        const std::string stem = std::string("lump_") + LevelFormat::lumps[i].name;
        const int32_t offset = offsets[std::size_t(i)];
        const int32_t length = int32_t(valid.lumps[std::size_t(i)].size());
        auto withEntry = [&](int32_t newOffset, int32_t newLength) {
            LevelWriter writer = smallLevel();
            writer.directoryOverride[std::size_t(i)] = std::array<int32_t, 2>{newOffset, newLength};
            return writer.bytes();
        };
        cases.push_back({stem + "_offset_negative", withEntry(-1, length), entry + " offset -1 is negative"});
        cases.push_back({stem + "_length_negative", withEntry(offset, -1), entry + " length -1 is negative"});
        const int32_t tooLong = int32_t(fileSize - offset + 1);
        cases.push_back({stem + "_past_end", withEntry(offset, tooLong),
            entry + " offset " + str(offset) + " + length " + str(tooLong) + " exceeds the file size "
                + str(fileSize)});
        cases.push_back({stem + "_offset_max", withEntry(INT32_MAX, 1),
            entry + " offset 2147483647 + length 1 exceeds the file size " + str(fileSize)});
    }
}

// An index field tried at -1, at its count and at the largest int.
void addIndexCases(std::vector<MalformedLevel>& cases, const std::string& stem, int lump, int recordSize,
    int record, int fieldOffset, const std::string& field, int64_t count, const std::string& countName)
{
    for (const int64_t value : {int64_t(-1), count, int64_t(INT32_MAX)}) {
        const std::string suffix = value == -1 ? "_minus_one" : value == count ? "_count" : "_max";
        cases.push_back({stem + suffix, withField(lump, recordSize, record, fieldOffset, int32_t(value)),
            field + " " + str(value) + " is not an index into " + str(count) + " " + countName});
    }
}

// A first/count pair tried at -1, at a value just past the array and at the largest int.
void addRangeCases(std::vector<MalformedLevel>& cases, const std::string& stem, int lump, int recordSize,
    int record, int firstOffset, const std::string& recordName, const std::string& firstName, int32_t first,
    const std::string& countName, int32_t count, int64_t limit, const std::string& limitName)
{
    const std::string prefix = recordName + ".";
    cases.push_back({stem + "_first_minus_one", withField(lump, recordSize, record, firstOffset, -1),
        prefix + firstName + " -1 is negative"});
    cases.push_back({stem + "_count_minus_one", withField(lump, recordSize, record, firstOffset + 4, -1),
        prefix + countName + " -1 is negative"});
    auto exceeds = [&](int64_t newFirst, int64_t newCount) {
        return prefix + firstName + " " + str(newFirst) + " + " + countName + " " + str(newCount) + " exceeds "
            + str(limit) + " " + limitName;
    };
    const int32_t firstPast = int32_t(limit - count + 1);
    cases.push_back({stem + "_first_past_end", withField(lump, recordSize, record, firstOffset, firstPast),
        exceeds(firstPast, count)});
    cases.push_back({stem + "_first_max", withField(lump, recordSize, record, firstOffset, INT32_MAX),
        exceeds(INT32_MAX, count)});
    const int32_t countPast = int32_t(limit - first + 1);
    cases.push_back({stem + "_count_past_end", withField(lump, recordSize, record, firstOffset + 4, countPast),
        exceeds(first, countPast)});
    cases.push_back({stem + "_count_max", withField(lump, recordSize, record, firstOffset + 4, INT32_MAX),
        exceeds(first, INT32_MAX)});
}

void addTreeCases(std::vector<MalformedLevel>& cases)
{
    using LevelFormat::Nodes;
    addIndexCases(cases, "node_plane", Nodes, 36, 0, 0, "nodes[0].plane", 1, "planes");
    for (int side = 0; side < 2; ++side) {
        const std::string field = "nodes[0].children[" + str(side) + "]";
        const std::string stem = "node_child" + str(side);
        const int at = 4 + 4 * side;
        cases.push_back({stem + "_node_count", withField(Nodes, 36, 0, at, 1), field + " 1 is not an index into 1 nodes"});
        cases.push_back({stem + "_node_max", withField(Nodes, 36, 0, at, INT32_MAX),
            field + " 2147483647 is not an index into 1 nodes"});
        cases.push_back({stem + "_leaf_count", withField(Nodes, 36, 0, at, -3),
            field + " -3 names leaf 2, not one of 2 leaves"});
        cases.push_back({stem + "_leaf_max", withField(Nodes, 36, 0, at, INT32_MIN),
            field + " -2147483648 names leaf 2147483647, not one of 2 leaves"});
    }
    cases.push_back({"node_cycle_self", withField(Nodes, 36, 0, 8, 0),
        "nodes[0].children[1] 0 leads back up the BSP tree: the tree has a cycle"});
    LevelWriter loop = smallLevel();
    loop.addNode(0, -1, 0); // node 1's back child returns to the root
    overwriteInt(loop.lump(Nodes), 4, 1);
    cases.push_back({"node_cycle_two_nodes", loop.bytes(),
        "nodes[1].children[1] 0 leads back up the BSP tree: the tree has a cycle"});
    LevelWriter noNodes = smallLevel();
    noNodes.lump(Nodes).clear();
    cases.push_back({"nodes_none", noNodes.bytes(), "the nodes lump holds no nodes"});
    LevelWriter shortNode = smallLevel();
    shortNode.lump(Nodes).resize(35); // one byte short of a record: no nodes
    cases.push_back({"nodes_shorter_than_a_record", shortNode.bytes(), "the nodes lump holds no nodes"});
    LevelWriter noLeaves = smallLevel();
    noLeaves.lump(LevelFormat::Leaves).clear();
    cases.push_back({"leaves_none", noLeaves.bytes(), "the leaves lump holds no leaves"});
}

void addLeafCases(std::vector<MalformedLevel>& cases)
{
    using LevelFormat::Leaves;
    addRangeCases(cases, "leaf_faces", Leaves, 48, 1, 32, "leaves[1]", "firstLeafFace", 1, "leafFaceCount", 1, 2,
        "leafFaces");
    addRangeCases(cases, "leaf_brushes", Leaves, 48, 0, 40, "leaves[0]", "firstLeafBrush", 0, "leafBrushCount", 1,
        1, "leafBrushes");
    addIndexCases(cases, "leaf_face_value", LevelFormat::LeafFaces, 4, 1, 0, "leafFaces[1]", 2, "faces");
    cases.push_back({"leaf_cluster_count", withField(Leaves, 48, 1, 0, 2),
        "leaves[1].cluster 2 is not below the 2 visibility clusters"});
    cases.push_back({"leaf_cluster_max", withField(Leaves, 48, 1, 0, INT32_MAX),
        "leaves[1].cluster 2147483647 is not below the 2 visibility clusters"});
}

void addFaceCases(std::vector<MalformedLevel>& cases)
{
    using LevelFormat::Faces;
    addIndexCases(cases, "face_texture", Faces, 104, 0, 0, "faces[0].texture", 2, "textures");
    addRangeCases(cases, "face_vertices", Faces, 104, 0, 12, "faces[0]", "firstVertex", 0, "vertexCount", 4, 13,
        "vertices");
    addRangeCases(cases, "face_mesh_vertices", Faces, 104, 0, 20, "faces[0]", "firstMeshVertex", 0,
        "meshVertexCount", 6, 6, "meshVertices");
    for (const int32_t value : {-1, 4, INT32_MAX}) {
        const std::string suffix = value == -1 ? "_minus_one" : value == 4 ? "_count" : "_max";
        cases.push_back({"mesh_vertex_value" + suffix, withField(LevelFormat::MeshVertices, 4, 2, 0, value),
            "faces[0] meshVertices[2] " + str(value) + " is not an index into the face's 4 vertices"});
    }
    LevelWriter meshFace = smallLevel();
    overwriteInt(meshFace.lump(Faces), 8, LevelFormat::Mesh);
    overwriteInt(meshFace.lump(LevelFormat::MeshVertices), 20, 4);
    cases.push_back({"mesh_vertex_value_of_mesh_face", meshFace.bytes(),
        "faces[0] meshVertices[5] 4 is not an index into the face's 4 vertices"});

    const int sizeAt = 96;
    auto patchSize = [&](int32_t width, int32_t height) {
        LevelWriter writer = smallLevel();
        overwriteInt(writer.lump(Faces), std::size_t(104 + sizeAt), width);
        overwriteInt(writer.lump(Faces), std::size_t(104 + sizeAt + 4), height);
        return writer.bytes();
    };
    cases.push_back({"patch_grid_wider_than_face", patchSize(5, 3),
        "faces[1].patchSize 5 x 3 needs 15 vertices but vertexCount is 9"});
    cases.push_back({"patch_grid_taller_than_face", patchSize(3, 5),
        "faces[1].patchSize 3 x 5 needs 15 vertices but vertexCount is 9"});
    cases.push_back({"patch_grid_width_max", patchSize(INT32_MAX, 3),
        "faces[1].patchSize 2147483647 x 3 needs 6442450941 vertices but vertexCount is 9"});
    cases.push_back({"patch_grid_both_max", patchSize(INT32_MAX, INT32_MAX),
        "faces[1].patchSize 2147483647 x 2147483647 needs 4611686014132420609 vertices but vertexCount is 9"});
    LevelWriter crowded = smallLevel();
    FaceRecord samePatch;
    samePatch.type = LevelFormat::Patch;
    samePatch.firstVertex = 4;
    samePatch.vertexCount = 9;
    samePatch.patchSize = {3, 3};
    for (int i = 0; i < 3; ++i)
        crowded.addFace(samePatch);
    cases.push_back({"patch_grids_overlapping", crowded.bytes(),
        "faces[4] brings the patch count to 4, more than a quarter of the 13 vertices"});
}

void addVisibilityCases(std::vector<MalformedLevel>& cases)
{
    auto visibility = [](int32_t clusterCount, int32_t bytesPerCluster, Bytes bits) {
        LevelWriter writer = smallLevel();
        writer.setVisibility(clusterCount, bytesPerCluster, bits);
        return writer.bytes();
    };
    cases.push_back({"vis_cluster_count_negative", visibility(-1, 1, {3, 3}),
        "visibility clusterCount -1 is negative"});
    cases.push_back({"vis_bytes_per_cluster_negative", visibility(2, -1, {3, 3}),
        "visibility bytesPerCluster -1 is negative"});
    cases.push_back({"vis_bits_past_lump", visibility(3, 1, {3, 3}),
        "visibility clusterCount 3 x bytesPerCluster 1 needs 3 bytes but the lump holds 2 after its header"});
    cases.push_back({"vis_cluster_count_max", visibility(INT32_MAX, 1, {3, 3}),
        "visibility clusterCount 2147483647 x bytesPerCluster 1 needs 2147483647 bytes but the lump holds 2 "
        "after its header"});
    cases.push_back({"vis_product_overflows_int32", visibility(INT32_MAX, INT32_MAX, {3, 3}),
        "visibility clusterCount 2147483647 x bytesPerCluster 2147483647 needs 4611686014132420609 bytes but "
        "the lump holds 2 after its header"});
    cases.push_back({"vis_vector_too_short_for_clusters", visibility(9, 1, Bytes(9, 0xff)),
        "visibility bytesPerCluster 1 holds 8 cluster bits, fewer than clusterCount 9"});
}

// Lumps sharing bytes: each would be decoded on its own, multiplying memory.
void addOverlapCases(std::vector<MalformedLevel>& cases)
{
    const LevelWriter valid = smallLevel();
    const auto offsets = valid.offsets();
    const int32_t verticesLength = int32_t(valid.lumps[LevelFormat::Vertices].size());
    const int32_t facesLength = int32_t(valid.lumps[LevelFormat::Faces].size());
    LevelWriter inside = smallLevel();
    inside.directoryOverride[LevelFormat::Faces] =
        std::array<int32_t, 2>{offsets[LevelFormat::Vertices] + 8, facesLength};
    cases.push_back({"lumps_overlapping", inside.bytes(),
        "directory[10] (vertices) offset " + str(offsets[LevelFormat::Vertices]) + " + length "
            + str(verticesLength) + " overlaps directory[13] (faces) offset "
            + str(offsets[LevelFormat::Vertices] + 8) + " + length " + str(facesLength)});
    LevelWriter stacked = smallLevel();
    for (int i = 0; i < LevelFormat::lumpCount; ++i)
        if (!valid.lumps[std::size_t(i)].empty())
            stacked.directoryOverride[std::size_t(i)] =
                std::array<int32_t, 2>{LevelFormat::directoryEnd, int32_t(valid.lumps[std::size_t(i)].size())};
    cases.push_back({"lumps_all_at_one_offset", stacked.bytes(),
        "directory[0] (entities) offset 144 + length " + str(int64_t(valid.lumps[0].size()))
            + " overlaps directory[1] (textures) offset 144 + length " + str(int64_t(valid.lumps[1].size()))});
}

std::vector<MalformedLevel> malformedLevels()
{
    std::vector<MalformedLevel> cases;
    addHeaderCases(cases);
    addDirectoryCases(cases);
    addOverlapCases(cases);
    addTreeCases(cases);
    addLeafCases(cases);
    addFaceCases(cases);
    addVisibilityCases(cases);
    return cases;
}

// The message parseLevel gives, or "" when it accepts the level.
std::string refusal(const std::string& fileName, const Bytes& bytes)
{
    std::ostringstream log;
    try {
        parseLevel(fileName, bytes, log);
    } catch (const LevelFormatError& error) {
        return error.what();
    }
    return "";
}

std::filesystem::path corpusDirectory() { return std::filesystem::path(testsupport::sourceDir()) / "tests/data/malformed"; }

Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(MalformedLevelTest, TheSmallLevelItselfIsAccepted) { EXPECT_EQ(refusal("level.bsp", smallLevel().bytes()), ""); }

TEST(MalformedLevelTest, EveryMalformedLevelIsRefusedWithItsMessage)
{
    std::set<std::string> names;
    for (const MalformedLevel& level : malformedLevels()) {
        EXPECT_TRUE(names.insert(level.name).second) << "duplicate case " << level.name;
        EXPECT_EQ(refusal("level.bsp", level.bytes), "level.bsp: " + level.message) << level.name;
    }
    EXPECT_GE(names.size(), 100u);
}

TEST(MalformedLevelTest, TheCommittedCorpusMatchesTheTableAndIsRefusedFileByFile)
{
    std::map<std::string, MalformedLevel> table;
    for (MalformedLevel& level : malformedLevels())
        table.emplace(level.name, std::move(level));
    std::size_t replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpusDirectory())) {
        if (entry.path().extension() != ".bsp")
            continue;
        const std::string fileName = entry.path().filename().string();
        std::filesystem::path expectedPath = entry.path();
        expectedPath.replace_extension(".expected");
        std::string expected;
        std::getline(std::ifstream(expectedPath), expected);
        const Bytes bytes = readFile(entry.path());
        EXPECT_EQ(refusal(fileName, bytes), fileName + ": " + expected);
        const auto known = table.find(entry.path().stem().string());
        if (known != table.end()) {
            EXPECT_EQ(known->second.bytes, bytes) << fileName << " differs from the table: regenerate the corpus";
        }
        ++replayed;
    }
    EXPECT_EQ(replayed, table.size()) << "the corpus and the table list different files";
}

TEST(MalformedLevelTest, DISABLED_WriteCorpus)
{
    std::filesystem::create_directories(corpusDirectory());
    for (const MalformedLevel& level : malformedLevels()) {
        std::ofstream(corpusDirectory() / (level.name + ".bsp"), std::ios::binary)
            .write(reinterpret_cast<const char*>(level.bytes.data()), std::streamsize(level.bytes.size()));
        std::ofstream(corpusDirectory() / (level.name + ".expected")) << level.message << '\n';
    }
}
