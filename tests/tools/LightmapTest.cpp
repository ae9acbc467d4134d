#include "LevelBytes.h"
#include "ToolsFixtures.h"

#include "LevelBuilder.h"
#include "LevelWriter.h"
#include "Materials.h"
#include "MazeGenerator.h"
#include "Plan.h"

#include "level/LevelFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using toolstest::faceAt;
using toolstest::FaceFields;
using toolstest::floatAt;
using toolstest::lightmapTexel;

// Baked light read back from the level's bytes.
namespace {

// The brightest channel over a face's whole lightmap rectangle, or over its vertex colours.
struct Brightness {
    int lowest = 255;
    int highest = 0;
};

Brightness lightmapBrightness(const std::vector<uint8_t>& bytes, const FaceFields& face)
{
    Brightness b;
    for (int y = 0; y < face.lightmapSize[1]; ++y) {
        for (int x = 0; x < face.lightmapSize[0]; ++x) {
            const uint8_t* t =
                lightmapTexel(bytes, face.lightmapIndex, face.lightmapStart[0] + x, face.lightmapStart[1] + y);
            const int value = std::max({t[0], t[1], t[2]});
            b.lowest = std::min(b.lowest, value);
            b.highest = std::max(b.highest, value);
        }
    }
    return b;
}

// The north wall of open cell (column, 1): the face looking south (-y) whose corners span
// that column.
FaceFields northWall(const std::vector<uint8_t>& bytes, const Plan& plan, int column)
{
    for (size_t f = 0; f < toolstest::faceCount(bytes); ++f) {
        const FaceFields face = faceAt(bytes, f);
        if (face.type != LevelFormat::Polygon || face.normal[1] > -0.9f)
            continue;
        float lowX = 1e9f;
        for (int v = 0; v < face.vertexCount; ++v)
            lowX = std::min(lowX, floatAt(bytes, toolstest::vertexOffset(bytes, static_cast<size_t>(face.firstVertex + v))));
        const float y = floatAt(bytes, toolstest::vertexOffset(bytes, static_cast<size_t>(face.firstVertex)) + 4);
        if (lowX == static_cast<float>(column * plan.cellSize) && y == static_cast<float>((plan.rows - 1) * plan.cellSize))
            return face;
    }
    ADD_FAILURE() << "no north wall over column " << column;
    return {};
}

TEST(LightmapTest, AWallBlockCastsAShadowOntoTheWallBeyondIt)
{
    // The light hangs in row 5; with the block in row 3 it cannot see columns 4 to 6 of
    // the north wall, while column 1 stays in its light either way.
    const char* const withBlock = "map\n###########\n#.........#\n#.........#\n#....#....#\n"
                                  "#.........#\n#....L....#\n#S........#\n###########\n";
    const char* const withoutBlock = "map\n###########\n#.........#\n#.........#\n#.........#\n"
                                     "#.........#\n#....L....#\n#S........#\n###########\n";
    const Plan blocked = parsePlan(withBlock, "shadow.plan");
    const Plan open = parsePlan(withoutBlock, "open.plan");
    const std::vector<uint8_t> shadowBytes = serializeLevel(buildLevel(blocked));
    const std::vector<uint8_t> openBytes = serializeLevel(buildLevel(open));

    const Brightness shadowed = lightmapBrightness(shadowBytes, northWall(shadowBytes, blocked, 5));
    const Brightness lit = lightmapBrightness(shadowBytes, northWall(shadowBytes, blocked, 1));
    const Brightness unshadowed = lightmapBrightness(openBytes, northWall(openBytes, open, 5));
    // In the shadow only the even ambient light is left: dark, but not black.
    EXPECT_GT(shadowed.lowest, 0);
    EXPECT_EQ(shadowed.lowest, shadowed.highest);
    EXPECT_GT(lit.highest, 3 * shadowed.highest);
    EXPECT_GT(unshadowed.highest, 3 * shadowed.highest);
    EXPECT_GT(unshadowed.lowest, shadowed.highest);
}

// Every lightmap rectangle lies inside its page, none overlaps another, its texels are
// above black, and its face's vertices point at texel centres inside it.
void expectWellPlacedLightmaps(const Plan& plan)
{
    const std::vector<uint8_t> bytes = serializeLevel(buildLevel(plan));
    const toolstest::LumpSpan lump = toolstest::lumpAt(bytes, 14);
    ASSERT_EQ(lump.length % 49152, 0);
    const int pages = lump.length / 49152;
    ASSERT_GE(pages, 1);
    // No lightmap: not drawn, drawn as sky, glowing by themselves, blending or reflecting; only
    // the grate and the material-only wall take one.
    std::vector<std::string> drawnAsIs;
    for (int m = 0; m < static_cast<int>(Material::Count); ++m)
        if (Material(m) != Material::Grate && Material(m) != Material::PanelWall)
            drawnAsIs.push_back(materialRecord(plan, Material(m)).textureName);
    std::vector<int> owner(static_cast<size_t>(pages) * 128 * 128, -1);
    int mapped = 0;
    for (size_t f = 0; f < toolstest::faceCount(bytes); ++f) {
        const FaceFields face = faceAt(bytes, f);
        const std::string texture = toolstest::textureNameAt(bytes, static_cast<size_t>(face.texture));
        if (face.type != LevelFormat::Polygon || std::count(drawnAsIs.begin(), drawnAsIs.end(), texture) > 0) {
            EXPECT_EQ(face.lightmapIndex, -1) << "face " << f << " " << texture;
            continue;
        }
        ++mapped;
        ASSERT_GE(face.lightmapIndex, 0) << "face " << f;
        ASSERT_LT(face.lightmapIndex, pages) << "face " << f;
        const int x0 = face.lightmapStart[0];
        const int y0 = face.lightmapStart[1];
        ASSERT_TRUE(x0 >= 0 && y0 >= 0 && face.lightmapSize[0] >= 3 && face.lightmapSize[1] >= 3 &&
                    x0 + face.lightmapSize[0] <= 128 && y0 + face.lightmapSize[1] <= 128)
            << "face " << f << " at " << x0 << ", " << y0 << " size " << face.lightmapSize[0] << " x "
            << face.lightmapSize[1];
        for (int y = y0; y < y0 + face.lightmapSize[1]; ++y) {
            for (int x = x0; x < x0 + face.lightmapSize[0]; ++x) {
                int& cell = owner[(static_cast<size_t>(face.lightmapIndex) * 128 + static_cast<size_t>(y)) * 128 +
                                  static_cast<size_t>(x)];
                ASSERT_EQ(cell, -1) << "faces " << cell << " and " << f << " share texel " << x << ", " << y;
                cell = static_cast<int>(f);
                const uint8_t* t = lightmapTexel(bytes, face.lightmapIndex, x, y);
                ASSERT_GT(std::max({t[0], t[1], t[2]}), 0) << "face " << f;
            }
        }
        // Vertices sit on texel centres of the face's own texels, inside the one-texel border.
        for (int v = 0; v < face.vertexCount; ++v) {
            const size_t at = toolstest::vertexOffset(bytes, static_cast<size_t>(face.firstVertex + v));
            const float s = floatAt(bytes, at + 20) * 128.0f - 0.5f;
            const float t = floatAt(bytes, at + 24) * 128.0f - 0.5f;
            EXPECT_GE(s, x0 + 1 - 1e-3f) << "face " << f;
            EXPECT_LE(s, x0 + face.lightmapSize[0] - 2 + 1e-3f) << "face " << f;
            EXPECT_GE(t, y0 + 1 - 1e-3f) << "face " << f;
            EXPECT_LE(t, y0 + face.lightmapSize[1] - 2 + 1e-3f) << "face " << f;
        }
    }
    EXPECT_GT(mapped, 20);
}

TEST(LightmapTest, EveryLightmapLiesInsideItsPageAndAlone)
{
    {
        SCOPED_TRACE("demo");
        expectWellPlacedLightmaps(toolstest::demoPlan());
    }
    {
        SCOPED_TRACE("maze");
        expectWellPlacedLightmaps(generateMaze(65, 49, 3));
    }
}

TEST(LightmapTest, MeshesAndPatchesAreLitThroughTheirVertexColours)
{
    // The pedestal and the pillar beside the light get more than the pillar far from it.
    const Plan plan = parsePlan("map\n##############\n#.M.L.O......#\n#S..........O#\n##############\n",
                                "colours.plan");
    const std::vector<uint8_t> bytes = serializeLevel(buildLevel(plan));
    std::vector<int> brightest;
    for (size_t f = 0; f < toolstest::faceCount(bytes); ++f) {
        const FaceFields face = faceAt(bytes, f);
        if (face.type != LevelFormat::Patch && face.type != LevelFormat::Mesh)
            continue;
        EXPECT_EQ(face.lightmapIndex, -1);
        int highest = 0;
        for (int v = 0; v < face.vertexCount; ++v) {
            const size_t at = toolstest::vertexOffset(bytes, static_cast<size_t>(face.firstVertex + v)) + 40;
            highest = std::max({highest, int(bytes.at(at)), int(bytes.at(at + 1)), int(bytes.at(at + 2))});
            EXPECT_EQ(bytes.at(at + 3), 255);
        }
        brightest.push_back(highest);
    }
    ASSERT_EQ(brightest.size(), 3u); // pedestal, near pillar, far pillar in reading order
    EXPECT_GT(brightest[0], brightest[2]);
    EXPECT_GT(brightest[1], brightest[2]);
    EXPECT_GT(brightest[2], 0);
}

} // namespace
