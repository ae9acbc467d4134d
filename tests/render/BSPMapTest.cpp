#include "../level/LevelWriter.h"
#include "../image/TestImages.h"

#include "render/BSPMap.h"
#include "render/PatchRenderer.h"
#include "level/LevelFormatError.h"

#include "GLContext.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace leveltest;

namespace {

// The small level with a third texture that has no image, in a data directory where "wall"
// is a JPEG and "curve" a solid green 2 x 2 TGA.
struct LevelOnDisk {
    testsupport::TempDir directory;
    std::string levelPath;
    LevelWriter writer = smallLevel();

    LevelOnDisk()
    {
        std::filesystem::create_directories(directory.path() + "textures/test");
        testimages::writeRedOverBlueJpeg(directory.path() + "textures/test/wall.jpg");
        Bytes green = testimages::tgaHeader(2, 2, 2, 24);
        for (int i = 0; i < 4; ++i)
            green.insert(green.end(), {0, 255, 0}); // BGR
        directory.write("textures/test/curve.tga", green);
        writer.addTexture("textures/test/missing");
    }

    std::unique_ptr<BSPMap> load()
    {
        levelPath = directory.write("maps/level.bsp", writer.bytes());
        return std::make_unique<BSPMap>(directory.path().c_str(), levelPath.c_str(), nullptr, nullptr);
    }
};

} // namespace

TEST(BSPMapTest, TranscriptRunsFromHeaderThroughTexturesToVisibility)
{
    testsupport::ensureGLContext();
    LevelOnDisk disk;
    testsupport::CerrCapture capture;
    const auto map = disk.load();
    const std::string data = disk.directory.path();
    std::string expected = "magic: IBSP\nversion: 46\n";
    const auto offsets = disk.writer.offsets();
    for (int i = 0; i < LevelFormat::lumpCount; ++i)
        expected += "dir_entry #" + std::to_string(i) + ":  offset=" + std::to_string(offsets[std::size_t(i)])
            + " length=" + std::to_string(disk.writer.lumps[std::size_t(i)].size()) + "\n";
    expected += "this level contains 3 distinct textures\n"
        + data + "textures/test/wall.jpg\ntexture Number 0Texture Created \n"
        + data + "textures/test/curve.jpg\n" + data + "textures/test/curve.tga\ntexture Number 1Texture Created \n"
        + data + "textures/test/missing.jpg\n" + data + "textures/test/missing.tga\n"
        "loading planes...done!\nloading nodes ...done!\nloading leaves ...done!\n"
        "loading leaf faces... done \nloading leaf brushes... done \nloading models...done!\n"
        "loading brushes... done \nloading brush sides... done \nloading vertices... done \n"
        "loading mesh_vertices... done \nloading faces... done \nloading visibility data... done \n";
    EXPECT_EQ(capture.text(), expected);

    EXPECT_EQ(map->textureManager->getTextureCount(), 3u);
    EXPECT_EQ(map->textureManager->textureKind(0), TextureManager::kindJPEG);
    EXPECT_EQ(map->textureManager->textureKind(1), TextureManager::kindTGA);
    EXPECT_FALSE(map->textureManager->isTextureLoaded(2));
    EXPECT_NE(map->skybox, nullptr);
    EXPECT_EQ(map->camera, nullptr);
    EXPECT_EQ(map->score, 0);
    EXPECT_FALSE(map->patchesTessellated);
    EXPECT_EQ(map->faces.size(), 2u);
    EXPECT_EQ(map->entityText, "{ \"classname\" \"worldspawn\" }");
}

TEST(BSPMapTest, TGATexturedFacesHaveTheirTFlippedBeforePatchesAreCut)
{
    testsupport::ensureGLContext();
    LevelOnDisk disk;
    testsupport::CerrCapture quiet;
    const auto map = disk.load();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(map->vertices[std::size_t(i)].texCoord[1], 0.25f); // JPEG face: as stored
    EXPECT_EQ(map->vertices[4].texCoord[1], 1.0f);                    // TGA patch face: 1 - t
    EXPECT_EQ(map->vertices[12].texCoord[1], 0.0f);
    EXPECT_EQ(map->faces[1].patches.at(0).controls[0].texCoord[1], 1.0f);
}

TEST(BSPMapTest, RetessellationFollowsTheSwitch)
{
    testsupport::ensureGLContext();
    LevelOnDisk disk;
    testsupport::CerrCapture quiet;
    const auto map = disk.load();
    const BezierPatch& patch = map->faces[1].patches.at(0);
    map->retessellatePatches(10);
    EXPECT_TRUE(patch.vertices.empty());
    map->enablePatchTessellation();
    map->retessellatePatches(10);
    EXPECT_EQ(patch.vertices.size(), 121u);
    map->retessellatePatches(20);
    EXPECT_EQ(patch.vertices.size(), 441u);
    map->disablePatchTessellation();
    map->retessellatePatches(2);
    EXPECT_EQ(patch.vertices.size(), 441u); // kept while off
    EXPECT_TRUE(map->faces[0].patches.empty());
}

TEST(BSPMapTest, PatchDrawsBindTheFaceTextureWithItsCoordinates)
{
    testsupport::ensureGLContext();
    LevelOnDisk disk;
    // Controls spread across the clip square so the patch covers the window.
    disk.writer.lump(LevelFormat::Vertices).resize(4 * Vertex::recordSize);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            VertexRecord v;
            v.position = {float(c) - 1.0f, 0.0f, float(r) - 1.0f}; // file z becomes world y
            v.texCoord = {c / 2.0f, r / 2.0f};
            disk.writer.addVertex(v);
        }
    testsupport::CerrCapture quiet;
    const auto map = disk.load();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glClearColor(0, 0, 0, 1);
    for (const bool tessellated : {false, true}) {
        glClear(GL_COLOR_BUFFER_BIT);
        const Face& face = map->faces[1];
        if (tessellated) {
            map->enablePatchTessellation();
            map->retessellatePatches(6);
            PatchRenderer::drawTessellatedPatches(face, face.texture, *map->textureManager, true);
        } else {
            PatchRenderer::drawPatchControlGrids(face, face.texture, *map->textureManager, true);
        }
        const testsupport::Rgb pixel = testsupport::readPixel(32, 32);
        EXPECT_EQ(pixel.r, 0) << tessellated;
        EXPECT_EQ(pixel.g, 255) << tessellated;
        EXPECT_EQ(pixel.b, 0) << tessellated;
    }
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(BSPMapTest, UnreadableOrMalformedLevelsAreRefusedBeforeAnyTexture)
{
    testsupport::ensureGLContext();
    testsupport::TempDir directory;
    const std::string missing = directory.path() + "nowhere.bsp";
    try {
        BSPMap map(directory.path().c_str(), missing.c_str(), nullptr, nullptr);
        ADD_FAILURE() << "a missing level loaded";
    } catch (const LevelFormatError& error) {
        EXPECT_EQ(std::string(error.what()), missing + ": no such file");
    }

    LevelOnDisk disk;
    overwriteInt(disk.writer.lump(LevelFormat::Faces), 0, 3); // texture 3 of 3
    testsupport::CerrCapture capture;
    try {
        disk.load();
        ADD_FAILURE() << "a face with a texture outside the list loaded";
    } catch (const LevelFormatError& error) {
        EXPECT_EQ(std::string(error.what()), disk.levelPath + ": faces[0].texture 3 is not an index into 3 textures");
    }
    // The faces line is closed so the refusal that follows starts a line of its own.
    const std::string transcript = capture.text();
    EXPECT_EQ(transcript.substr(transcript.size() - 18), "loading faces... \n");
}
