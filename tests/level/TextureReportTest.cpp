#include "LevelWriter.h"

#include "level/LevelLoader.h"
#include "level/MaterialLibrary.h"
#include "level/MaterialScript.h"
#include "level/TextureReport.h"

#include <gtest/gtest.h>

#include <sstream>

using leveltest::FaceRecord;
using leveltest::LevelWriter;
using leveltest::VertexRecord;

namespace {
// Faces of the given types, all on one texture; every face's vertices are the first nine.
void addFaces(LevelWriter& writer, int32_t texture, std::initializer_list<int32_t> types)
{
    for (const int32_t type : types) {
        FaceRecord face;
        face.texture = texture;
        face.type = type;
        face.vertexCount = type == LevelFormat::Patch ? 9 : 3;
        face.patchSize = {3, 3};
        face.meshVertexCount = type == LevelFormat::Polygon || type == LevelFormat::Mesh ? 3 : 0;
        writer.addFace(face);
    }
}
} // namespace

// Which textures need an image, which are found and which faces go without, as the viewer's
// summary, levelinfo and the gallery all show it.
TEST(TextureReport, CountsOnlyTheFacesThatWouldShowAnImage)
{
    using LevelFormat::Billboard;
    using LevelFormat::Mesh;
    using LevelFormat::Patch;
    using LevelFormat::Polygon;
    LevelWriter writer;
    writer.addPlane({0.0f, 0.0f, 1.0f}, 0.0f);
    writer.addNode(0, -1, -2);
    writer.addLeaf(0, 0, 0);
    writer.addLeaf(0, 0, 0);
    for (int i = 0; i < 9; ++i)
        writer.addVertex(VertexRecord{});
    for (int32_t offset : {0, 1, 2})
        writer.addMeshVertex(offset);
    struct Texture {
        const char* name;
        int32_t flags;
        std::initializer_list<int32_t> faces;
        bool hasImage;
    };
    const Texture textures[] = {
        {"found", 0, {Polygon, Billboard}, true},
        {"lost", 0, {Polygon, Mesh, Patch, Billboard}, false}, // a billboard is never drawn
        {"sky", LevelFormat::surfaceSky, {Polygon}, false},
        {"nodraw", LevelFormat::surfaceNoDraw, {Polygon}, false},
        {"scripted/nodraw", 0, {Mesh}, false}, // its material says nodraw
        {"unused", 0, {}, false},
        {"only/billboards", 0, {Billboard}, false},
        {"also/lost", 0, {Patch}, false},
        {"found/unused", 0, {}, true},
    };
    std::vector<bool> hasImage;
    for (std::size_t t = 0; t < std::size(textures); ++t) {
        writer.addTexture(textures[t].name, textures[t].flags);
        addFaces(writer, int32_t(t), textures[t].faces);
        hasImage.push_back(textures[t].hasImage);
    }
    std::ostringstream quiet;
    const LevelData level = parseLevel("report.bsp", writer.bytes(), quiet);
    MaterialLibrary materials;
    materials.add(MaterialScript::parse("scripted/nodraw { surfaceparm nodraw }", "x.shader", quiet));

    const TextureReport report = TextureReport::of(level, hasImage, &materials);
    EXPECT_EQ(report.summaryLine("drawn grey", 5), "textures: 1 of 3 found; 4 faces drawn grey; missing: lost, also/lost");
    EXPECT_EQ(report.summaryLine("drawn grey", 1), "textures: 1 of 3 found; 4 faces drawn grey; missing: lost and 1 more");
    ASSERT_EQ(report.missing().size(), 2u);
    EXPECT_EQ(report.missing()[0]->faces, 3u);
    EXPECT_EQ(report.missing()[1]->faces, 1u);

    const TextureReport complete = TextureReport::of(level, std::vector<bool>(std::size(textures), true), &materials);
    EXPECT_EQ(complete.summaryLine("drawn grey", 5), "textures: all 3 found");
    // Without the script the nodraw material is a texture like any other.
    EXPECT_EQ(TextureReport::of(level, hasImage, nullptr).summaryLine("-", 5),
              "textures: 1 of 4 found; 5 faces -; missing: lost, scripted/nodraw, also/lost");
}
