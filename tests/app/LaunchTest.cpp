#include "../level/LevelWriter.h"

#include "TestFiles.h"

#include "app/Launch.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

using leveltest::LevelWriter;
using testsupport::CerrCapture;
using testsupport::TempDir;

// A saved configuration must reopen its view: a start or a box no configuration can write is
// brought inside the level's box, within the world's limit, before it is printed.
TEST(LaunchTest, TheStartIsKeptInsideTheLevelsBoxSoThePrintedConfigurationReopens)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::string farStart = "{ \"classname\" \"info_player_start\" \"origin\" \"3e38 3e38 3e38\" }";
    struct Case {
        const char* name;
        std::string entities;
        leveltest::Triple mins, maxs; // model 0's box, file coordinates
        const char* startLine;
    };
    const Case cases[] = {
        {"a start far outside", farStart, {-500, -400, -300}, {500, 400, 300}, "start_vec = 500 300 -400\n"},
        {"a box of NaN, no start", "", {nan, nan, nan}, {nan, nan, nan}, "start_vec = 0 0 0\n"},
        {"a box of NaN and a far start", farStart, {nan, nan, nan}, {nan, nan, nan}, "start_vec = 0 0 0\n"},
        {"a box beyond any level", farStart, {-1e30f, -1e30f, -1e30f}, {1e30f, 1e30f, 1e30f},
         "start_vec = 1000000 1000000 -1000000\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir directory;
        LevelWriter writer = leveltest::smallLevel();
        writer.setEntities(c.entities);
        writer.lump(LevelFormat::Models).clear();
        writer.addModel(c.mins, c.maxs, 0, 2, 0, 1);
        CommandLine line;
        line.target = directory.write("level.bsp", writer.bytes());
        CerrCapture quiet;
        std::ostringstream printed;
        Launch::fromLevel(line, printed);
        EXPECT_NE(printed.str().find(c.startLine), std::string::npos) << printed.str();

        std::istringstream saved(printed.str());
        const Configuration reopened = readConfiguration(saved, [](const std::string&) { return nullptr; });
        EXPECT_EQ(configurationProblem(reopened, "saved.cfg"), std::nullopt);
    }
}
