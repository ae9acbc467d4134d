#include "LevelBytes.h"
#include "ToolsFixtures.h"

#include "DataSet.h"
#include "LevelBuilder.h"
#include "LevelWriter.h"
#include "MazeGenerator.h"
#include "Plan.h"

#include "level/EntityText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

// The entity lump read back through the viewer's own reader, as the level loads it.
namespace {

std::size_t countOf(const std::vector<Entity>& entities, const std::string& classname)
{
    std::size_t count = 0;
    for (const Entity& entity : entities)
        count += entity.hasClass(classname) ? 1 : 0;
    return count;
}

struct StartCase {
    const char* name;
    Plan plan;
};

TEST(EntityTextTest, TheDeathmatchStartSitsFortyBelowTheConfiguredEyeFacingThePlansAngle)
{
    const StartCase cases[] = {
        {"demo", toolstest::demoPlan()},
        {"facing south", parsePlan("cell 48\nheight 96\nangle 270\nmap\n#####\n#.L.#\n#.S.#\n#...#\n#####\n",
                                   "south.plan")},
        {"maze", generateMaze(41, 33, 9)},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = serializeLevel(buildLevel(c.plan));
        const toolstest::LumpSpan lump = toolstest::lumpAt(bytes, 0);
        const std::string text(bytes.begin() + lump.offset, bytes.begin() + lump.offset + lump.length);
        const EntityList list = EntityText::parse(text);
        EXPECT_EQ(list.problem, "") << text;
        const std::vector<Entity>& entities = list.entities;

        ASSERT_EQ(countOf(entities, "worldspawn"), 1u) << text;
        ASSERT_NE(worldMessage(entities), nullptr);
        EXPECT_EQ(*worldMessage(entities), c.plan.name);
        EXPECT_EQ(countOf(entities, "light"), c.plan.lights.size());
        ASSERT_EQ(countOf(entities, "info_player_deathmatch"), 1u) << text;
        const std::optional<PlayerStart> start = findPlayerStart(entities);
        ASSERT_TRUE(start.has_value()) << text;

        // The configuration's start_vec is the eye in the viewer's world: (x, z + 40, -y).
        std::istringstream configuration(configurationText(c.plan));
        std::string line;
        int eye[3] = {};
        while (std::getline(configuration, line)) {
            if (line.rfind("start_vec = ", 0) == 0)
                std::istringstream(line.substr(12)) >> eye[0] >> eye[1] >> eye[2];
        }
        EXPECT_EQ(start->origin[0], float(eye[0]));
        EXPECT_EQ(start->origin[2] + 40, float(eye[1]));
        EXPECT_EQ(-start->origin[1], float(eye[2]));

        // Whatever the heading, the start looks into an open cell, not at a wall.
        const int angle = int(start->angle);
        EXPECT_EQ(angle, c.plan.startAngle);
        const double radians = angle * 3.14159265358979 / 180.0;
        const int ahead = static_cast<int>(std::lround(std::cos(radians)));
        const int up = static_cast<int>(std::lround(std::sin(radians))); // file +y is up the page: row - 1
        EXPECT_TRUE(c.plan.isOpen(c.plan.start.column + ahead, c.plan.start.row - up));
    }
}

} // namespace
