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
// script's stage (written .tga, stored .jpg); the sky is a material with no image of its own.
TEST(LevelInfoTest, SaysWhereEachTextureIsFoundUnderADataRoot)
{
    const std::string output = run("--data " + testsupport::buildDir() + "/demo-archive demo");
    for (const char* line : {"texture textures/verdanth/bricks: demo.pk3\n", "texture textures/demo/panelwall: demo.pk3\n",
                             "texture textures/demo/grate: demo.pk3\n", "textures: 12 of 13 found; "})
        EXPECT_NE(output.find(line), std::string::npos) << line << "\n" << output;
    EXPECT_NE(output.find("texture textures/demo/sky: missing, "), std::string::npos) << output;
    EXPECT_EQ(run("--data " + testsupport::buildDir() + "/demo-archive nosuch"),
              "levelinfo: " + testsupport::buildDir() + "/demo-archive: no level nosuch, loose or in an archive\nexit 1");
}
