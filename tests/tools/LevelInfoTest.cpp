#include "../level/StepRoom.h"

#include "TestFiles.h"
#include "ViewerProcess.h"

#include "level/LevelLoader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

using testsupport::shellOutput;

namespace {
std::string run(const std::string& arguments)
{
    return shellOutput(std::string(LEVELINFO_PROGRAM) + " " + arguments + " 2>&1; echo \"exit $?\"");
}
} // namespace

TEST(LevelInfoTest, SummarisesTheDemoAsTheViewerLoadsIt)
{
    const std::string demo = testsupport::buildDir() + "/demo/demo.bsp";
    std::ifstream file(demo, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::ostringstream quiet;
    const LevelData level = parseLevel(demo, bytes, quiet);

    const std::string output = run(demo);
    EXPECT_NE(output.find("magic IBSP, version 46\n"), std::string::npos) << output;
    EXPECT_NE(output.find("nodes: " + std::to_string(level.nodes.size()) + ", leaves: "
                          + std::to_string(level.leaves.size())),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("faces: " + std::to_string(level.faces.size()) + " ("), std::string::npos) << output;
    EXPECT_NE(output.find("visibility: " + std::to_string(level.visData->clusterCount) + " clusters"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("texture " + level.textureNames.at(0) + "\n"), std::string::npos) << output;
    EXPECT_EQ(output.substr(output.size() - 6), "exit 0");
}

TEST(LevelInfoTest, ReportsWhyTheViewerWouldRefuseAFile)
{
    const std::string corpus = testsupport::sourceDir() + "/tests/data/malformed/";
    const std::string output = run(corpus + "node_plane_minus_one.bsp");
    EXPECT_EQ(output.rfind("levelinfo: " + corpus + "node_plane_minus_one.bsp: nodes[", 0), 0u) << output;
    EXPECT_EQ(output.substr(output.size() - 6), "exit 1");
    EXPECT_EQ(run("/nonexistent.bsp"), "levelinfo: /nonexistent.bsp: cannot open the level file\nexit 1");
    EXPECT_EQ(run(""), "usage: levelinfo [--data DIR] LEVEL_FILE\n       levelinfo --data DIR NAME\nexit 2");
    EXPECT_EQ(run(testsupport::sourceDir()), "levelinfo: " + testsupport::sourceDir() + ": is a folder, not a level file\nexit 1");
}

// The archived demo: every image is inside demo.pk3; the material-only wall resolves through its
// script's stage (written .tga, stored .jpg); the sky is a material with no image of its own and
// needs none, and the foliage is shown only by billboards, which are never drawn.
TEST(LevelInfoTest, SaysWhereEachTextureIsFoundUnderADataRoot)
{
    const std::string output = run("--data " + testsupport::buildDir() + "/demo-archive demo");
    for (const char* line : {"texture textures/verdanth/bricks: demo.pk3\n", "texture textures/demo/panelwall: demo.pk3\n",
                             "texture textures/demo/grate: demo.pk3\n", "textures: all 10 found\n",
                             "texture textures/demo/sky: sky or nodraw surface, needs no image\n",
                             "texture textures/verdanth/foliage: no face shows it (demo.pk3)\n"})
        EXPECT_NE(output.find(line), std::string::npos) << line << "\n" << output;
    EXPECT_EQ(run("--data " + testsupport::buildDir() + "/demo-archive nosuch"),
              "levelinfo: " + testsupport::buildDir() + "/demo-archive: no level nosuch, loose or in an archive\nexit 1");
}

// Each inline model with the entity that names it, its faces and that entity's origin; the
// title is the worldspawn's message.
TEST(LevelInfoTest, ListsTheTitleAndTheInlineModels)
{
    leveltest::LevelWriter writer = leveltest::stepRoom(
        "{ \"classname\" \"worldspawn\" \"message\" \"Step & <Room>\" }\n"
        "{ \"classname\" \"func_door\" \"model\" \"*1\" \"origin\" \"0 0 8\" }\n"
        "{ \"classname\" \"func_plat\" \"model\" \"*3\" }\n"
        "{ \"classname\" \"func_static\" \"model\" \"*04\" }\n"
        "{ \"classname\" \"func_bobbing\" \"model\" \"*99999999999\" }\n");
    writer.addModel({0, 0, 0}, {1, 1, 1}, 0, 0, 0, 0);
    writer.addModel({0, 0, 0}, {1, 1, 1}, 4, 9, 0, 0);
    writer.addModel({0, 0, 0}, {1, 1, 1}, 0, 2, 0, 0);
    testsupport::TempDir dir;
    const std::string level = dir.write("step.bsp", writer.bytes());
    const std::string output = run(level);
    const std::string expected = "entities: 5\n"
                                 "title: Step & <Room>\n"
                                 "inline models: 4\n"
                                 "model *1: func_door, 1 face, origin 0 0 8\n"
                                 "model *2: no entity, 0 faces\n"
                                 "model *3: func_plat, faces 4 + 9 outside the level's 6 faces\n"
                                 "model *4: func_static, 2 faces\n";
    EXPECT_NE(output.find(expected), std::string::npos) << output;
}
