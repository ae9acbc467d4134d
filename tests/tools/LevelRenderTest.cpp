#include "DataSet.h"
#include "Image.h"
#include "LevelBuilder.h"
#include "Plan.h"

#include "ToolsFixtures.h"

#include "GLContext.h"
#include "TestFiles.h"
#include "ViewerScene.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>


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

// The plan's data set, with the wall picture replaced by one whose orientation can be read off.
struct BuiltFiles {
    testsupport::TempDir directory;
    std::string dataPath = directory.path();

    BuiltFiles(const Plan& plan, const std::string& wallFile)
    {
        writeDataSet(plan, buildLevel(plan), dataPath);
        if (wallFile.size() > 4 && wallFile.substr(wallFile.size() - 4) == ".tga")
            writeTga(quarters(), dataPath + wallFile);
        else
            writeJpeg(quarters(), dataPath + wallFile, 95);
    }
};

Point startPoint(const Plan& plan)
{
    const WorldPosition start = startPosition(plan);
    return Point(static_cast<float>(start.x), static_cast<float>(start.y), static_cast<float>(start.z));
}

// The files first (bases are built in order), then the viewer on them at the plan's start.
struct BuiltScene : BuiltFiles, testsupport::ViewerScene {
    BuiltScene(const Plan& plan, const std::string& wallFile)
        : BuiltFiles(plan, wallFile),
          ViewerScene(dataPath, dataPath + dataSetFiles(plan).level, dataPath + dataSetFiles(plan).lights,
                      startPoint(plan))
    {
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

// The demo's plan with every cell that needs a material replaced by its plain kind.
Plan plainDemoPlan()
{
    std::string text = toolstest::readText(LEVELGEN_DEMO_PLAN);
    for (size_t i = text.find("\nmap\n"); i < text.size(); ++i) {
        const char c = text[i];
        if (std::string("*GN~^FP").find(c) != std::string::npos)
            text[i] = '.';
        else if (std::string("&=+HY").find(c) != std::string::npos)
            text[i] = '#';
    }
    return parsePlan(text, "demo.plan");
}

std::vector<testsupport::Rgb> pictureFromTheStart(const Plan& plan)
{
    const testsupport::TempDir directory;
    writeDataSet(plan, buildLevel(plan), directory.path());
    const DataSetFiles files = dataSetFiles(plan);
    testsupport::ViewerScene scene(directory.path(), directory.path() + files.level, directory.path() + files.lights,
                                   startPoint(plan));
    scene.frame();
    std::vector<testsupport::Rgb> picture;
    for (int y = 0; y < testsupport::contextHeight; ++y) {
        for (int x = 0; x < testsupport::contextWidth; ++x)
            picture.push_back(testsupport::readPixel(x, y));
    }
    return picture;
}

TEST(LevelRenderTest, TheDemosMaterialSurfacesStayOutOfTheViewFromTheStart)
{
    const Plan demo = toolstest::demoPlan();
    const Plan plain = plainDemoPlan();
    ASSERT_NE(demo.cells, plain.cells);
    const std::vector<testsupport::Rgb> withMaterials = pictureFromTheStart(demo);
    const std::vector<testsupport::Rgb> without = pictureFromTheStart(plain);
    std::set<std::tuple<int, int, int>> colours;
    int different = 0;
    for (size_t i = 0; i < withMaterials.size(); ++i) {
        const testsupport::Rgb& a = withMaterials[i];
        const testsupport::Rgb& b = without[i];
        different += a.r != b.r || a.g != b.g || a.b != b.b;
        colours.insert({a.r, a.g, a.b});
    }
    EXPECT_EQ(different, 0);
    EXPECT_GT(colours.size(), 20u); // a real view of the hall, not an empty frame
}

} // namespace
