#include "LevelBytes.h"

#include "LevelBuilder.h"
#include "LevelWriter.h"
#include "Plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using toolstest::floatAt;
using toolstest::intAt;
using toolstest::lumpAt;
using toolstest::LumpSpan;

namespace {

const char* const roomPlan = "cell 64\nheight 128\nmap\n"
                             "######\n"
                             "#L.O.#\n"
                             "#.M.B#\n"
                             "##A###\n"
                             "#.S..#\n"
                             "######\n";

TEST(LevelWriterTest, NumbersAreLittleEndianWhateverTheHost)
{
    ByteWriter out;
    out.putInt(0x01020304);
    out.putInt(-2);
    out.putFloat(1.0f);
    out.putFixedString("abc", 6);
    const std::vector<uint8_t> bytes = out.take();
    const std::vector<uint8_t> expected = {4, 3, 2, 1, 0xfe, 0xff, 0xff, 0xff, 0, 0, 0x80, 0x3f, 'a', 'b', 'c', 0, 0, 0};
    EXPECT_EQ(bytes, expected);
}

TEST(LevelWriterTest, HeaderDirectoryAndLumpsAreLaidOutAsTheFormatSays)
{
    const Level level = buildLevel(parsePlan(roomPlan, "room.plan"));
    const std::vector<uint8_t> bytes = serializeLevel(level);
    ASSERT_GE(bytes.size(), 144u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "IBSP");
    EXPECT_EQ(intAt(bytes, 4), 46);

    // Record size and expected record count per lump; 0 marks a lump of its own shape.
    const struct {
        int size;
        size_t count;
    } lumps[17] = {{1, level.entities.size()},  {72, level.textures.size()},   {16, level.planes.size()},
                   {36, level.nodes.size()},    {48, level.leaves.size()},     {4, level.leafFaces.size()},
                   {4, level.leafBrushes.size()}, {40, level.models.size()},   {12, level.brushes.size()},
                   {8, level.brushSides.size()}, {44, level.vertices.size()},  {4, level.meshVertices.size()},
                   {1, 0},                       {104, level.faces.size()},    {49152, static_cast<size_t>(level.lightmapCount())},
                   {1, 0},                       {0, 0}};
    std::vector<std::pair<int32_t, int32_t>> spans;
    for (int lump = 0; lump < 17; ++lump) {
        SCOPED_TRACE(lump);
        const LumpSpan span = lumpAt(bytes, lump);
        EXPECT_EQ(span.offset % 4, 0);
        EXPECT_GE(span.offset, 144);
        EXPECT_LE(static_cast<size_t>(span.offset) + static_cast<size_t>(span.length), bytes.size());
        if (lumps[lump].size > 0) {
            EXPECT_EQ(static_cast<size_t>(span.length), lumps[lump].size * lumps[lump].count);
        }
        spans.emplace_back(span.offset, span.offset + span.length);
    }
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i)
        EXPECT_LE(spans[i - 1].second, spans[i].first) << "lumps overlap";

    const LumpSpan visibility = lumpAt(bytes, 16);
    const int32_t clusters = intAt(bytes, static_cast<size_t>(visibility.offset));
    const int32_t bytesPerCluster = intAt(bytes, static_cast<size_t>(visibility.offset) + 4);
    EXPECT_EQ(bytesPerCluster, (clusters + 7) / 8);
    EXPECT_EQ(visibility.length, 8 + clusters * bytesPerCluster);
}

TEST(LevelWriterTest, RecordsCarryTheirFieldsInFileOrder)
{
    const Level level = buildLevel(parsePlan(roomPlan, "room.plan"));
    const std::vector<uint8_t> bytes = serializeLevel(level);

    const size_t faces = static_cast<size_t>(lumpAt(bytes, 13).offset);
    const FaceRecord& face = level.faces.at(0);
    EXPECT_EQ(intAt(bytes, faces + 0), face.texture);
    EXPECT_EQ(intAt(bytes, faces + 8), face.type);
    EXPECT_EQ(intAt(bytes, faces + 12), face.firstVertex);
    EXPECT_EQ(intAt(bytes, faces + 16), face.vertexCount);
    EXPECT_EQ(intAt(bytes, faces + 24), face.meshVertexCount);
    EXPECT_EQ(floatAt(bytes, faces + 84 + 8), face.normal.z);

    const size_t vertices = static_cast<size_t>(lumpAt(bytes, 10).offset);
    const VertexRecord& vertex = level.vertices.at(1);
    EXPECT_EQ(floatAt(bytes, vertices + 44 + 0), vertex.position.x);
    EXPECT_EQ(floatAt(bytes, vertices + 44 + 12), vertex.texCoord[0]);
    EXPECT_EQ(floatAt(bytes, vertices + 44 + 36), vertex.normal.z);
    EXPECT_EQ(bytes.at(vertices + 44 + 43), 255); // alpha

    const size_t textures = static_cast<size_t>(lumpAt(bytes, 1).offset);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes.at(textures))), level.textures.at(0).name);
    EXPECT_EQ(bytes.at(textures + 63), 0);

    const size_t leaves = static_cast<size_t>(lumpAt(bytes, 4).offset);
    const LeafRecord& leaf = level.leaves.back();
    EXPECT_EQ(intAt(bytes, leaves + 48 * (level.leaves.size() - 1)), leaf.cluster);
    EXPECT_EQ(intAt(bytes, leaves + 48 * (level.leaves.size() - 1) + 20), leaf.box.maxs[0]);
}

} // namespace
