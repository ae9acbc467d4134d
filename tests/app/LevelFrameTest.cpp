#include "../level/LevelWriter.h"
#include "../image/TestImages.h"

#include "GLContext.h"
#include "TestFiles.h"
#include "ViewerScene.h"

#include <GL/glew.h>
#include <GL/glut.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

using leveltest::FaceRecord;
using leveltest::LevelWriter;
using leveltest::VertexRecord;
using testsupport::CerrCapture;
using testsupport::TempDir;

namespace {
// One square wall 100 units ahead of an eye at the origin looking along world -Z, wound
// clockwise as seen from the eye. File coordinates are Z-up: world (x, y, z) is file (x, -z, y).
void addWall(LevelWriter& writer, int32_t texture, int32_t type = LevelFormat::Polygon)
{
    const int32_t firstVertex = int32_t(writer.lump(LevelFormat::Vertices).size() / 44);
    const int32_t firstMesh = int32_t(writer.lump(LevelFormat::MeshVertices).size() / 4);
    const float corners[4][2] = {{-20, 20}, {20, 20}, {20, -20}, {-20, -20}}; // world x, y
    const float texCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        VertexRecord vertex;
        vertex.position = {corners[i][0], 100.0f, corners[i][1]};
        vertex.texCoord = {texCoords[i][0], texCoords[i][1]};
        vertex.normal = {0.0f, -1.0f, 0.0f};
        writer.addVertex(vertex);
    }
    for (int32_t index : {0, 1, 2, 0, 2, 3})
        writer.addMeshVertex(index);
    FaceRecord face;
    face.texture = texture;
    face.type = type;
    face.firstVertex = firstVertex;
    face.vertexCount = 4;
    face.firstMeshVertex = firstMesh;
    face.meshVertexCount = 6;
    writer.addFace(face);
}

// Node 0 puts everything in front of a far plane, into leaf 0; leaf 1 lists the same faces.
LevelWriter wallLevel(const std::string& texture, int faceType = LevelFormat::Polygon)
{
    LevelWriter writer;
    writer.addTexture(texture);
    writer.addPlane({0.0f, 0.0f, 1.0f}, -1000.0f);
    writer.addNode(0, -1, -2, {-500, -500, -500}, {500, 500, 500});
    writer.addLeaf(0, 0, 1, 0, 0, {-500, -500, -500}, {500, 500, 500});
    writer.addLeaf(1, 0, 1, 0, 0, {-500, -500, -500}, {500, 500, 500});
    writer.addLeafFace(0);
    addWall(writer, 0, faceType);
    return writer;
}

std::vector<unsigned char> solid(int width, int height, unsigned char r, unsigned char g, unsigned char b)
{
    std::vector<unsigned char> pixels;
    for (int i = 0; i < width * height; ++i)
        pixels.insert(pixels.end(), {r, g, b});
    return pixels;
}

// A scratch data directory with the wall level, its images and one light.
struct SceneFiles {
    TempDir directory;
    std::string dataPath = directory.path();

    SceneFiles(const LevelWriter& writer, bool withWallImage, bool withSkyImage)
    {
        std::filesystem::create_directories(dataPath + "textures/skies");
        if (withWallImage)
            testimages::writeJpeg(dataPath + "textures/wall.jpg", 8, 8, 3, JCS_RGB, solid(8, 8, 220, 30, 30));
        if (withSkyImage)
            testimages::writeJpeg(dataPath + "textures/skies/intelredclouds.jpg", 8, 8, 3, JCS_RGB,
                                  solid(8, 8, 30, 30, 220));
        directory.write("level.bsp", writer.bytes());
        directory.write("level.lights", "1 a b 0 1 0 1 1 1\n");
    }
};

// The files first (bases are built in order), then the level loaded from them, eye at the origin.
struct Scene : SceneFiles, testsupport::ViewerScene {
    explicit Scene(const LevelWriter& writer, bool withWallImage = true, bool withSkyImage = true)
        : SceneFiles(writer, withWallImage, withSkyImage),
          ViewerScene(dataPath, dataPath + "level.bsp", dataPath + "level.lights", Point(0, 0, 0))
    {
    }

    float depthAtCentre() const
    {
        float depth = 0.0f;
        glReadPixels(testsupport::contextWidth / 2, testsupport::contextHeight / 2, 1, 1, GL_DEPTH_COMPONENT,
                     GL_FLOAT, &depth);
        return depth;
    }
};

testsupport::Rgb centre() { return testsupport::readPixel(testsupport::contextWidth / 2, testsupport::contextHeight / 2); }
} // namespace

TEST(LevelFrameTest, WallInViewShowsItsTextureOverTheSky)
{
    Scene scene(wallLevel("textures/wall"));
    scene.frame();
    const auto wall = centre();
    EXPECT_GT(wall.r, 180);
    EXPECT_LT(wall.b, 80);
    const auto sky = testsupport::readPixel(1, 1);
    EXPECT_GT(sky.b, 180);
    EXPECT_LT(sky.r, 80);
    EXPECT_LT(scene.depthAtCentre(), 1.0f);
    // Listed by both leaves, drawn once.
    EXPECT_EQ(scene.map->visibleFaces, std::vector<int>{0});
    EXPECT_EQ(std::string(scene.text.c_str()), "FPS:0  SCORE: 0");
}

TEST(LevelFrameTest, TexturesOffDrawsFacesWithTheSkyTexel)
{
    Scene scene(wallLevel("textures/wall"));
    scene.frame(false);
    const auto wall = centre();
    EXPECT_GT(wall.b, 180); // the sky's colour, sampled at (0, 1)
    EXPECT_LT(wall.r, 80);
    EXPECT_LT(scene.depthAtCentre(), 1.0f); // but the face was drawn
}

TEST(LevelFrameTest, FacesWithoutImageOrOfOtherTypesDrawNothing)
{
    {
        Scene scene(wallLevel("textures/wall"), false);
        scene.frame();
        EXPECT_EQ(scene.depthAtCentre(), 1.0f); // texture failed to load: skipped
        scene.frame(false);
        EXPECT_LT(scene.depthAtCentre(), 1.0f); // without textures it is drawn
    }
    Scene billboard(wallLevel("textures/wall", LevelFormat::Billboard));
    billboard.frame();
    EXPECT_EQ(billboard.depthAtCentre(), 1.0f);
    EXPECT_EQ(billboard.map->visibleFaces, std::vector<int>{0});
}

TEST(LevelFrameTest, BackFacesAreCulledAfterTurningAround)
{
    Scene scene(wallLevel("textures/wall"));
    for (int i = 0; i < 90; ++i)
        scene.camera->turnRight(2); // now looking along +Z
    scene.camera->moveBackward(40.0f); // 200 units along -Z: past the wall, facing its back
    scene.frame();
    EXPECT_EQ(scene.camera->getPosition().getZ(), -200.0f);
    EXPECT_EQ(scene.depthAtCentre(), 1.0f);
}

TEST(LevelFrameTest, RenderLeavesTheStateLaterDrawingRelies)
{
    Scene scene(wallLevel("textures/wall"));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    float before[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    scene.frame(true, true);
    float after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    glActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glActiveTextureARB(GL_TEXTURE0_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    glLoadIdentity();
}

TEST(LevelFrameTest, ShotsFlyAndAreAllDroppedWhenOneLeavesTheLevel)
{
    Scene scene(wallLevel("textures/wall"));
    scene.camera->fire();
    scene.frame();
    scene.camera->fire();
    scene.frame();
    ASSERT_EQ(scene.camera->shots().size(), 2u);
    EXPECT_FLOAT_EQ(scene.camera->shots()[0].position().getZ(), -20.0f);
    EXPECT_FLOAT_EQ(scene.camera->shots()[0].position().getY(), -2.0f);
    // The level's box reaches z = -500: the first shot leaves it on its 50th step.
    for (int frame = 0; frame < 47; ++frame)
        scene.frame();
    EXPECT_EQ(scene.camera->shots().size(), 2u);
    scene.frame();
    EXPECT_TRUE(scene.camera->shots().empty());
}

TEST(LevelFrameTest, SkyImageIsLoadedWhenTheCameraArrivesAndMayBeMissing)
{
    {
        Scene scene(wallLevel("textures/wall"));
        const std::string skyLine = scene.dataPath + "textures/skies/intelredclouds.jpg\nSKYBOX DONE \n";
        EXPECT_NE(scene.transcript.find(skyLine), std::string::npos) << scene.transcript;
        EXPECT_EQ(scene.map->camera, scene.camera);
        EXPECT_TRUE(glIsTexture(scene.map->skyTexture));
    }
    Scene blank(wallLevel("textures/wall"), true, false);
    EXPECT_NE(blank.transcript.find("sky image " + blank.dataPath
                                    + "textures/skies/intelredclouds.jpg could not be read; the sky is drawn plain white\n"),
              std::string::npos)
        << blank.transcript;
    EXPECT_EQ(blank.transcript.find("SKYBOX DONE"), std::string::npos);
    blank.frame(); // the frame runs on with an imageless sky
    EXPECT_GT(centre().r, 180);
    const testsupport::Rgb sky = testsupport::readPixel(2, 58); // beside the wall: the sky, as the message says
    EXPECT_EQ(sky.r + sky.g + sky.b, 3 * 255);
}
