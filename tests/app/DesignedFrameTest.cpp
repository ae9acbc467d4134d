#include "../image/TestImages.h"
#include "../level/LevelWriter.h"

#include "GLContext.h"
#include "TestFiles.h"
#include "ViewerScene.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <filesystem>

using leveltest::FaceRecord;
using leveltest::LevelWriter;
using leveltest::VertexRecord;
using testsupport::readPixel;
using testsupport::Rgb;
using testsupport::TempDir;

namespace {
constexpr int middle = testsupport::contextHeight / 2;
constexpr int leftOfCentre = 22;  // both inside a 40-unit wall 100 units ahead
constexpr int rightOfCentre = 42;

// A square facing the eye at the origin, `distance` ahead along world -Z (file +Y), `half`
// units either way; texture and lightmap coordinates run 0..1 from its left to its right.
void addSquare(LevelWriter& writer, int32_t texture, float distance, float half, int32_t lightmap = -1,
               unsigned char vertexLight = 255)
{
    const int32_t firstVertex = int32_t(writer.lump(LevelFormat::Vertices).size() / 44);
    const int32_t firstMesh = int32_t(writer.lump(LevelFormat::MeshVertices).size() / 4);
    const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
    for (const auto& corner : corners) {
        VertexRecord vertex;
        vertex.position = {corner[0] * half, distance, corner[1] * half};
        vertex.texCoord = {(corner[0] + 1) / 2, (1 - corner[1]) / 2};
        vertex.lightmapCoord = vertex.texCoord;
        vertex.normal = {0.0f, -1.0f, 0.0f};
        vertex.color = {vertexLight, vertexLight, vertexLight, 255};
        writer.addVertex(vertex);
    }
    for (int32_t index : {0, 1, 2, 0, 2, 3})
        writer.addMeshVertex(index);
    FaceRecord face;
    face.texture = texture;
    face.firstVertex = firstVertex;
    face.vertexCount = 4;
    face.firstMeshVertex = firstMesh;
    face.meshVertexCount = 6;
    face.lightmapIndex = lightmap;
    writer.addFace(face);
}

// Every face in one leaf that the eye's leaf sees.
void finishLevel(LevelWriter& writer)
{
    writer.addPlane({0.0f, 0.0f, 1.0f}, -1000.0f);
    writer.addNode(0, -1, -2, {-500, -500, -500}, {500, 500, 500});
    const int32_t faces = int32_t(writer.lump(LevelFormat::Faces).size() / LevelFormat::faceRecordSize);
    writer.addLeaf(0, 0, faces, 0, 0, {-500, -500, -500}, {500, 500, 500});
    writer.addLeaf(0, 0, faces, 0, 0, {-500, -500, -500}, {500, 500, 500});
    for (int32_t face = 0; face < faces; ++face)
        writer.addLeafFace(face);
}

testimages::Bytes solid(int side, std::initializer_list<unsigned char> texel)
{
    testimages::Bytes pixels;
    for (int i = 0; i < side * side; ++i)
        pixels.insert(pixels.end(), texel);
    return pixels;
}

// A data root holding the level, its images and scripts, and a viewer on it.
struct DesignedScene {
    TempDir directory;
    std::unique_ptr<testsupport::ViewerScene> scene;

    void image(const std::string& name, std::initializer_list<unsigned char> rgb)
    {
        std::filesystem::create_directories(std::filesystem::path(directory.path() + name).parent_path());
        testimages::writeJpeg(directory.path() + name, 8, 8, 3, JCS_RGB, solid(8, rgb));
    }

    void open(const LevelWriter& writer, bool designed, std::optional<double> brightness = std::nullopt)
    {
        directory.write("level.bsp", writer.bytes());
        directory.write("level.lights", "1 a b 0 1 0 1 1 1\n");
        scene = std::make_unique<testsupport::ViewerScene>(directory.path(), directory.path() + "level.bsp",
                                                           directory.path() + "level.lights", Point(0, 0, 0), designed,
                                                           brightness);
    }
};

bool near(const Rgb& a, const Rgb& b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}
} // namespace

TEST(DesignedFrameTest, AWallShowsItsLightmapAtFourTimesItsStoredValueTimesTheBrightnessInTheDesignedFrameOnly)
{
    DesignedScene files;
    files.image("textures/wall.jpg", {255, 255, 255});
    LevelWriter writer;
    writer.addTexture("textures/wall");
    addSquare(writer, 0, 100.0f, 20.0f, 0, 32);
    // One lightmap page, stored at a quarter of its light: 32 on its left half, 60 on its right.
    testimages::Bytes& page = writer.lump(LevelFormat::Lightmaps);
    for (int texel = 0; texel < LevelFormat::lightmapSide * LevelFormat::lightmapSide; ++texel) {
        const unsigned char level = texel % LevelFormat::lightmapSide < LevelFormat::lightmapSide / 2 ? 32 : 60;
        page.insert(page.end(), {level, level, level});
    }
    finishLevel(writer);

    files.open(writer, true);
    files.scene->frame(true, true);
    EXPECT_TRUE(near(readPixel(leftOfCentre, middle), {128, 128, 128}, 2)) << "a texel of 32 under a white image";
    EXPECT_TRUE(near(readPixel(rightOfCentre, middle), {240, 240, 240}, 2));

    files.scene->frame(false, true); // textures off: the neutral grey (160), still lit
    EXPECT_TRUE(near(readPixel(leftOfCentre, middle), {80, 80, 80}, 3));
    EXPECT_TRUE(near(readPixel(rightOfCentre, middle), {151, 151, 151}, 3));

    files.scene->viewer->pressKey('m'); // lightmaps off: the vertex colours (32) light it, as brightened
    files.scene->frame(true, true);
    EXPECT_TRUE(near(readPixel(leftOfCentre, middle), {128, 128, 128}, 2));
    EXPECT_TRUE(near(readPixel(rightOfCentre, middle), {128, 128, 128}, 2));

    files.open(writer, true, 0.5); // "brightness = 0.5" halves the light
    files.scene->frame(true, true);
    EXPECT_TRUE(near(readPixel(leftOfCentre, middle), {64, 64, 64}, 2));
    EXPECT_TRUE(near(readPixel(rightOfCentre, middle), {120, 120, 120}, 2));
    files.scene->viewer->pressKey('m');
    files.scene->frame(true, true);
    EXPECT_TRUE(near(readPixel(leftOfCentre, middle), {64, 64, 64}, 2)) << "vertex colours halved too";

    files.open(writer, false); // the plain frame knows no lightmap: one even wall
    files.scene->frame(true, false);
    EXPECT_TRUE(near(readPixel(leftOfCentre, middle), readPixel(rightOfCentre, middle), 4));
}

TEST(DesignedFrameTest, AFaceNamingAMissingLightmapIsDrawnWithItsVertexColoursAndSaidOnce)
{
    DesignedScene files;
    files.image("textures/wall.jpg", {255, 255, 255});
    LevelWriter writer;
    writer.addTexture("textures/wall");
    addSquare(writer, 0, 100.0f, 20.0f, 7); // the level has no lightmap at all
    addSquare(writer, 0, 120.0f, 60.0f, 7);
    finishLevel(writer);
    files.open(writer, true);
    EXPECT_NE(files.scene->transcript.find(": 2 faces name a lightmap the level does not have (first "
                                           "faces[0].lightmapIndex 7, of 0 lightmaps); they are drawn without one\n"),
              std::string::npos)
        << files.scene->transcript;
    files.scene->frame(true, true);
    const Rgb wall = readPixel(testsupport::contextWidth / 2, middle);
    EXPECT_GT(wall.r + wall.g + wall.b, 3 * 240) << "white image, white vertex colours";
}

TEST(DesignedFrameTest, AnAlphaTestedGrateShowsWhatIsBehindIt)
{
    DesignedScene files;
    files.image("textures/wall.jpg", {230, 20, 20});
    // 8 x 8, 32-bit: the left half transparent, the right half opaque blue.
    testimages::Bytes grate = testimages::tgaHeader(2, 8, 8, 32);
    for (int i = 0; i < 64; ++i)
        grate.insert(grate.end(), {230, 20, 20, static_cast<unsigned char>(i % 8 < 4 ? 0 : 255)}); // B, G, R, A
    files.directory.write("textures/grate.tga", grate);
    files.directory.write("scripts/test.shader",
                          "textures/grate\n{\n  cull none\n  {\n    map textures/grate.tga\n    alphaFunc GE128\n  }\n}\n");
    LevelWriter writer;
    writer.addTexture("textures/wall");
    writer.addTexture("textures/grate");
    addSquare(writer, 0, 100.0f, 40.0f);
    addSquare(writer, 1, 50.0f, 10.0f);
    finishLevel(writer);
    files.open(writer, true);
    files.scene->frame(true, true);
    const Rgb throughTheHoles = readPixel(leftOfCentre, middle);
    const Rgb bars = readPixel(rightOfCentre, middle);
    EXPECT_GT(throughTheHoles.r, 180);
    EXPECT_LT(throughTheHoles.b, 60);
    EXPECT_GT(bars.b, 180);
    EXPECT_LT(bars.r, 60);
}

TEST(DesignedFrameTest, ASkySurfaceShowsTheFarBoxAndIsNotDrawnItself)
{
    DesignedScene files;
    files.image("textures/sky.jpg", {255, 0, 255}); // drawn only if the sky face were drawn as a wall
    const struct {
        const char* side;
        std::initializer_list<unsigned char> rgb;
    } sides[] = {{"_ft", {200, 200, 0}}, {"_bk", {0, 0, 200}},  {"_lf", {20, 200, 40}},
                 {"_rt", {200, 0, 0}},   {"_up", {0, 200, 200}}, {"_dn", {90, 60, 30}}};
    for (const auto& side : sides)
        files.image(std::string("env/test") + side.side + ".jpg", side.rgb);
    files.directory.write("scripts/sky.shader", "textures/sky\n{\n  surfaceparm sky\n  skyParms env/test - -\n}\n");
    LevelWriter writer;
    writer.addTexture("textures/sky", LevelFormat::surfaceSky);
    addSquare(writer, 0, 100.0f, 40.0f);
    finishLevel(writer);
    files.open(writer, true);
    files.scene->frame(true, true);
    const Rgb ahead = readPixel(testsupport::contextWidth / 2, middle);
    EXPECT_TRUE(near(ahead, {20, 200, 40}, 12)) << ahead.r << " " << ahead.g << " " << ahead.b
                                                 << ": the side toward the file's +Y";
    files.scene->camera->turnRight(90); // now toward the file's +X
    files.scene->frame(true, true);
    const Rgb right = readPixel(testsupport::contextWidth / 2, middle);
    EXPECT_TRUE(near(right, {200, 200, 0}, 12)) << right.r << " " << right.g << " " << right.b;
}

TEST(DesignedFrameTest, RecordsShowingOneImageShareItsTextureAndUnusedRecordsCostNothing)
{
    DesignedScene files;
    files.image("textures/wall.jpg", {250, 250, 250});
    files.image("textures/spare.jpg", {0, 250, 0});
    files.directory.write("scripts/alias.shader", "textures/alias\n{\n  {\n    map textures/wall.jpg\n  }\n}\n");
    LevelWriter writer;
    writer.addTexture("textures/wall");
    writer.addTexture("textures/WALL"); // another record, the same name in another case
    writer.addTexture("textures/alias");
    writer.addTexture("textures/spare");   // no face shows it: never looked up
    writer.addTexture("textures/missing"); // no face either: not counted as missing
    addSquare(writer, 0, 100.0f, 10.0f);
    addSquare(writer, 1, 110.0f, 20.0f);
    addSquare(writer, 2, 120.0f, 40.0f);
    finishLevel(writer);
    files.open(writer, true);

    const TextureManager& textures = *files.scene->map->textureManager;
    const GLuint shared = textures.textureId(0);
    EXPECT_NE(shared, 0u);
    EXPECT_EQ(textures.textureId(1), shared);
    EXPECT_EQ(textures.textureId(2), shared);
    EXPECT_FALSE(textures.isTextureLoaded(3)) << "an image no face shows is never decoded";
    EXPECT_EQ(files.scene->viewer->textureReport()->summaryLine("drawn grey", 5), "textures: all 3 found");
    files.scene->frame(true, true);
    EXPECT_GT(readPixel(testsupport::contextWidth / 2, middle).g, 200);
}
