#include "DataSet.h"
#include "Image.h"
#include "LevelBuilder.h"
#include "Plan.h"

#include "GLContext.h"
#include "TestFiles.h"

#include "app/Callbacks.h"
#include "app/OnScreenDisplay.h"
#include "app/StatusLine.h"
#include "camera/Camera.h"
#include "level/BSPMap.h"
#include "lighting/LightingModule.h"
#include "render/Frustum.h"

#include <GL/glew.h>
#include <GL/glut.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A built level drawn by the viewer: the wall in front of the start must show the right
// part of its picture, the right way up and not mirrored, for JPEG and TGA textures alike.
namespace {

// The start looks north at a wall half a cell away. With 256 units per texture repeat the
// whole 64 x 64 picture shows the wall around s = 96 / 256 and t = (128 - eye) / 256: the
// upper left quarter of the texture.
std::string cornerPlan(const std::string& wallTexture)
{
    return "cell 64\nheight 128\ntexscale 256\ntexture wall " + wallTexture + "\nmap\n###\n#S#\n#.#\n###\n";
}

// Quarters in distinct colours: top left red, top right yellow, bottom left green,
// bottom right blue.
Image quarters()
{
    Image image(256, 256, 3);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const bool right = x >= 128;
            const bool bottom = y >= 128;
            uint8_t* p = image.pixel(x, y);
            p[0] = !bottom ? 230 : 20;
            p[1] = (!bottom && right) || (bottom && !right) ? 220 : 20;
            p[2] = bottom && right ? 230 : 20;
        }
    }
    return image;
}

struct BuiltScene {
    testsupport::TempDir directory;
    std::string dataPath;
    std::string levelPath;
    Frustum frustum;
    std::unique_ptr<OnScreenDisplay> display;
    std::unique_ptr<LightingModule> lighting;
    std::unique_ptr<BSPMap> map;
    std::unique_ptr<Camera> camera;
    StatusLine text;

    BuiltScene(const Plan& plan, const std::string& wallFile)
    {
        testsupport::ensureGLContext();
        onReshape(testsupport::contextWidth, testsupport::contextHeight);
        initGL();
        dataPath = directory.path();
        writeDataSet(plan, buildLevel(plan), dataPath);
        // Replace the generated wall picture by one whose orientation can be read off.
        if (wallFile.size() > 4 && wallFile.substr(wallFile.size() - 4) == ".tga")
            writeTga(quarters(), dataPath + wallFile);
        else
            writeJpeg(quarters(), dataPath + wallFile, 95);
        levelPath = dataPath + dataSetFiles(plan).level;
        testsupport::CerrCapture quiet;
        display = std::make_unique<OnScreenDisplay>(GLUT_BITMAP_TIMES_ROMAN_24);
        lighting = std::make_unique<LightingModule>(dataPath + dataSetFiles(plan).lights);
        map = std::make_unique<BSPMap>(dataPath.c_str(), levelPath.c_str(), display.get(), lighting.get());
        const WorldPosition start = startPosition(plan);
        camera = std::make_unique<Camera>(
            Point(static_cast<float>(start.x), static_cast<float>(start.y), static_cast<float>(start.z)), &frustum);
        map->setCamera(camera.get());
    }

    void frame()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        text.reset();
        text << "FPS:0";
        map->render(text, 0.0f, true, false);
    }
};

void expectUpperLeftQuarter(const testsupport::Rgb& pixel)
{
    EXPECT_GT(pixel.r, 180);
    EXPECT_LT(pixel.g, 80);
    EXPECT_LT(pixel.b, 80);
}

TEST(LevelRenderTest, TheWallAheadShowsItsJpegPictureTheRightWayRound)
{
    const Plan plan = parsePlan(cornerPlan("bricks"), "corner.plan");
    BuiltScene scene(plan, "textures/verdanth/bricks.jpg");
    scene.frame();
    // Above the gun, which rises from the bottom edge to near the centre.
    expectUpperLeftQuarter(testsupport::readPixel(testsupport::contextWidth / 2, testsupport::contextHeight * 3 / 4));
    expectUpperLeftQuarter(testsupport::readPixel(4, testsupport::contextHeight - 4));
}

TEST(LevelRenderTest, TheWallAheadShowsItsTgaPictureTheRightWayRound)
{
    const Plan plan = parsePlan(cornerPlan("metal"), "corner.plan");
    BuiltScene scene(plan, "textures/verdanth/metal.tga");
    scene.frame();
    expectUpperLeftQuarter(testsupport::readPixel(testsupport::contextWidth / 2, testsupport::contextHeight * 3 / 4));
    expectUpperLeftQuarter(testsupport::readPixel(testsupport::contextWidth - 4, testsupport::contextHeight - 4));
}

} // namespace
