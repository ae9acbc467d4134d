#include "LevelWriter.h"

#include "level/LevelFormatError.h"
#include "level/LevelLoader.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace leveltest;

namespace {

LevelData parse(const LevelWriter& writer, std::string* transcript = nullptr)
{
    std::ostringstream log;
    LevelData level = parseLevel("level.bsp", writer.bytes(), log);
    if (transcript)
        *transcript = log.str();
    return level;
}

std::string directoryLines(const LevelWriter& writer)
{
    std::string lines;
    const auto offsets = writer.offsets();
    for (int i = 0; i < LevelFormat::lumpCount; ++i)
        lines += "dir_entry #" + std::to_string(i) + ":  offset=" + std::to_string(offsets[std::size_t(i)])
            + " length=" + std::to_string(writer.lumps[std::size_t(i)].size()) + "\n";
    return lines;
}

} // namespace

TEST(LevelLoaderTest, TranscriptFollowsTheLoadingOrder)
{
    const LevelWriter writer = smallLevel();
    std::string transcript;
    parse(writer, &transcript);
    EXPECT_EQ(transcript,
        "magic: IBSP\nversion: 46\n" + directoryLines(writer)
            + "this level contains 2 distinct textures\n"
              "loading planes...done!\n"
              "loading nodes ...done!\n"
              "loading leaves ...done!\n"
              "loading leaf faces... done \n"
              "loading leaf brushes... done \n"
              "loading models...done!\n"
              "loading brushes... done \n"
              "loading brush sides... done \n"
              "loading vertices... done \n"
              "loading mesh_vertices... done \n"
              "loading faces... done \n"
              "loading visibility data... done \n");
}

TEST(LevelLoaderTest, EveryLumpLandsInItsArrayConverted)
{
    const LevelData level = parse(smallLevel());
    EXPECT_EQ(level.magic, "IBSP");
    EXPECT_EQ(level.version, 46);
    ASSERT_EQ(level.directory.size(), 17u);
    EXPECT_EQ(level.textureNames, (std::vector<std::string>{"textures/test/wall", "textures/test/curve"}));
    EXPECT_EQ(level.planes.size(), 1u);
    EXPECT_EQ(level.nodes.size(), 1u);
    EXPECT_EQ(level.nodes[0].children[1], -2);
    ASSERT_EQ(level.leaves.size(), 2u);
    EXPECT_EQ(level.leaves[1].cluster, 1);
    EXPECT_EQ(level.leafFaces, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(level.leafBrushes, (std::vector<int32_t>{0}));
    EXPECT_EQ(level.models.size(), 1u);
    EXPECT_EQ(level.brushes.size(), 1u);
    EXPECT_EQ(level.brushSides.size(), 1u);
    ASSERT_EQ(level.vertices.size(), 13u);
    EXPECT_EQ(level.vertices[3].position[1], 32.0f); // file z
    EXPECT_EQ(level.vertices[3].texCoord[1], 0.25f); // no texture flipped without a texture manager
    EXPECT_EQ(level.meshVertices, (std::vector<int32_t>{0, 1, 2, 1, 3, 2}));
    ASSERT_EQ(level.faces.size(), 2u);
    EXPECT_TRUE(level.faces[0].patches.empty());
    ASSERT_EQ(level.faces[1].patches.size(), 1u);
    EXPECT_EQ(level.entityText, "{ \"classname\" \"worldspawn\" }");
    ASSERT_NE(level.visData, nullptr);
    EXPECT_EQ(level.visData->bits, (Bytes{3, 3}));
    EXPECT_EQ(level.lightmapCount, 0);
}

TEST(LevelLoaderTest, RecordCountsUseIntegerDivisionAndEmptyLumpsStayEmpty)
{
    LevelWriter writer = smallLevel();
    writer.lump(LevelFormat::Vertices).resize(100); // two whole vertices and 12 stray bytes
    writer.lump(LevelFormat::Models).clear();
    writer.lump(LevelFormat::Brushes).clear();
    writer.lump(LevelFormat::BrushSides).clear();
    writer.lump(LevelFormat::Entities).clear();
    writer.lump(LevelFormat::Faces).clear();
    writer.lump(LevelFormat::LeafFaces).clear();
    writer.lump(LevelFormat::Leaves).clear();
    writer.addLeaf(0, 0, 0);
    writer.addLeaf(1, 0, 0);
    writer.lump(LevelFormat::Lightmaps).resize(3 * LevelFormat::lightmapRecordSize + 5);
    writer.lump(LevelFormat::Textures).resize(720 + 71);
    std::string transcript;
    const LevelData level = parse(writer, &transcript);
    EXPECT_EQ(level.vertices.size(), 2u);
    EXPECT_TRUE(level.models.empty());
    EXPECT_TRUE(level.faces.empty());
    EXPECT_TRUE(level.entityText.empty());
    EXPECT_EQ(level.lightmapCount, 3);
    EXPECT_EQ(level.textureNames.size(), 10u);
    EXPECT_NE(transcript.find("this level contains 10 distinct textures\n"), std::string::npos);
    EXPECT_NE(transcript.find("loading models...done!\nloading brushes... done \n"), std::string::npos);
}

TEST(LevelLoaderTest, LumpsMayLieInAnyOrderAndMagicAndVersionAreNotChecked)
{
    LevelWriter writer = smallLevel();
    const LevelData inOrder = parse(writer);
    writer.order = {16, 3, 13, 0, 10, 5, 8, 1, 2, 15, 4, 9, 14, 6, 12, 11, 7};
    writer.magic = "XYZW";
    writer.version = 47;
    std::string transcript;
    const LevelData shuffled = parse(writer, &transcript);
    EXPECT_EQ(transcript.substr(0, 25), "magic: XYZW\nversion: 47\nd");
    EXPECT_EQ(shuffled.textureNames, inOrder.textureNames);
    EXPECT_EQ(shuffled.leafFaces, inOrder.leafFaces);
    EXPECT_EQ(shuffled.meshVertices, inOrder.meshVertices);
    EXPECT_EQ(shuffled.entityText, inOrder.entityText);
    ASSERT_EQ(shuffled.vertices.size(), inOrder.vertices.size());
    EXPECT_EQ(shuffled.vertices[12].position[2], inOrder.vertices[12].position[2]);
    EXPECT_EQ(shuffled.faces[1].patchSize[0], 3);
    EXPECT_EQ(shuffled.visData->bits, inOrder.visData->bits);
}

TEST(LevelLoaderTest, AVisibilityLumpShorterThanItsHeaderMeansNoVisibilityData)
{
    for (std::size_t length : {0, 4, 7}) {
        LevelWriter writer = smallLevel();
        writer.lump(LevelFormat::Visibility).resize(length);
        writer.lump(LevelFormat::Leaves).clear();
        writer.addLeaf(5, 0, 1);   // any cluster is fine without bits
        writer.addLeaf(-1, 1, 1);
        const LevelData level = parse(writer);
        EXPECT_EQ(level.visData, nullptr) << length;
    }
    LevelWriter headerOnly = smallLevel();
    headerOnly.setVisibility(2, 1, {0x03, 0x03, 0xee}); // trailing bytes are allowed
    EXPECT_EQ(parse(headerOnly).visData->bits.size(), 2u);
}

TEST(LevelLoaderTest, TextureNamesEndAtTheirNulOrTheEndOfTheField)
{
    LevelWriter writer = smallLevel();
    writer.lump(LevelFormat::Textures).clear();
    writer.addTexture(std::string(64, 'a'));
    writer.addTexture(std::string("sky\0junk", 8));
    const LevelData level = parse(writer);
    EXPECT_EQ(level.textureNames[0], std::string(64, 'a'));
    EXPECT_EQ(level.textureNames[1], "sky");
}

TEST(LevelLoaderTest, PatchFacesAreCutIntoSharedEdgeGrids)
{
    LevelWriter writer = smallLevel();
    // A 5 x 3 grid after the small level's vertices: 15 more, numbered in file order.
    for (int i = 0; i < 15; ++i) {
        VertexRecord v;
        v.position = {float(i), 0, 0};
        writer.addVertex(v);
    }
    for (int i = 0; i < 40; ++i)
        writer.addVertex({}); // keeps the patch count below a quarter of the vertices
    FaceRecord wide;
    wide.type = LevelFormat::Patch;
    wide.firstVertex = 13;
    wide.vertexCount = 15;
    wide.patchSize = {5, 3};
    writer.addFace(wide);
    FaceRecord mesh;
    mesh.type = LevelFormat::Mesh;
    mesh.vertexCount = 4;
    mesh.meshVertexCount = 6;
    mesh.patchSize = {3, 3};
    writer.addFace(mesh);
    const LevelData level = parse(writer);
    const Face& face = level.faces[2];
    ASSERT_EQ(face.patches.size(), 2u);
    // controls[3r + c] = vertices[first + 2y * w + r * w + 2x + c]
    EXPECT_EQ(face.patches[0].controls[0].position[0], 0.0f);
    EXPECT_EQ(face.patches[0].controls[2].position[0], 2.0f);
    EXPECT_EQ(face.patches[0].controls[3].position[0], 5.0f);
    EXPECT_EQ(face.patches[0].controls[8].position[0], 12.0f);
    EXPECT_EQ(face.patches[1].controls[0].position[0], 2.0f);
    EXPECT_EQ(face.patches[1].controls[8].position[0], 14.0f);
    EXPECT_TRUE(level.faces[3].patches.empty());
    // The one patch of the small level copies its nine vertices in file order.
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(level.faces[1].patches[0].controls[i].color[0], level.vertices[std::size_t(4 + i)].color[0]);
}

TEST(LevelLoaderTest, TextureKindOneFlipsTOncePerFaceRightAfterTheFace)
{
    LevelWriter writer = smallLevel();
    FaceRecord again; // a second polygon over the quad's vertices, with the TGA texture
    again.texture = 1;
    again.vertexCount = 4;
    again.meshVertexCount = 6;
    writer.addFace(again);
    const Bytes bytes = writer.bytes();
    std::ostringstream log;
    LevelLoader loader("level.bsp", bytes, log);
    LevelData level;
    loader.readHeader(level);
    loader.readTextureNames(level);
    std::vector<int> asked;
    loader.readRecords(level, [&](int texture) {
        asked.push_back(texture);
        return texture == 1 ? 1 : 0;
    });
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(level.vertices[0].texCoord[1], 0.75f); // flipped by the third face only
    EXPECT_EQ(level.vertices[3].texCoord[0], 1.0f);
    EXPECT_EQ(level.vertices[4].texCoord[1], 1.0f);  // patch control t 0 became 1
    EXPECT_EQ(level.vertices[10].texCoord[1], 0.0f);
    loader.readVisibility(level);
    loader.readEntities(level);
    LevelLoader::buildPatches(level);
    EXPECT_EQ(level.faces[1].patches[0].controls[0].texCoord[1], 1.0f); // built from the flipped t

    LevelWriter twice = smallLevel();
    twice.addFace(again);
    twice.addFace(again);
    const Bytes twiceBytes = twice.bytes();
    LevelLoader twiceLoader("level.bsp", twiceBytes, log);
    LevelData twiceLevel;
    twiceLoader.readHeader(twiceLevel);
    twiceLoader.readTextureNames(twiceLevel);
    twiceLoader.readRecords(twiceLevel, [](int texture) { return texture; });
    EXPECT_EQ(twiceLevel.vertices[0].texCoord[1], 0.25f); // flipped twice
}

TEST(LevelLoaderTest, SharedSubtreesAndDeepTreesAreAccepted)
{
    LevelWriter writer = smallLevel();
    writer.lump(LevelFormat::Nodes).clear();
    writer.addNode(0, 1, 1); // both sides lead to node 1: shared, but no cycle
    writer.addNode(0, 2, -2);
    constexpr int chain = 100000; // deep enough to exhaust the stack of a recursive walk
    for (int i = 2; i < chain; ++i)
        writer.addNode(0, i + 1 < chain ? i + 1 : -1, -2);
    const LevelData level = parse(writer);
    EXPECT_EQ(level.nodes.size(), std::size_t(chain));
}
