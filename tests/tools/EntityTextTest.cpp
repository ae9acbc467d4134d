#include "LevelBytes.h"
#include "ToolsFixtures.h"

#include "DataSet.h"
#include "LevelBuilder.h"
#include "LevelWriter.h"
#include "MazeGenerator.h"
#include "Plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

// The entity lump read back from the level's bytes, with a parser of its own: blocks of
// quoted key-value pairs.
namespace {

using Entity = std::map<std::string, std::string>;

std::vector<Entity> parseEntities(const std::string& text, std::string& problem)
{
    std::vector<Entity> entities;
    std::vector<std::string> strings;
    bool inside = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' && !inside) {
            inside = true;
            strings.clear();
        } else if (c == '}' && inside) {
            if (strings.size() % 2 != 0)
                problem = "a key without a value";
            Entity entity;
            for (size_t k = 0; k + 1 < strings.size(); k += 2)
                entity[strings[k]] = strings[k + 1];
            entities.push_back(entity);
            inside = false;
        } else if (c == '"' && inside) {
            const size_t end = text.find('"', i + 1);
            if (end == std::string::npos) {
                problem = "an unterminated string";
                return entities;
            }
            strings.push_back(text.substr(i + 1, end - i - 1));
            i = end;
        } else if (!std::isspace(static_cast<unsigned char>(c))) {
            problem = std::string("a stray '") + c + "'";
        }
    }
    return entities;
}

std::vector<Entity> withClass(const std::vector<Entity>& entities, const std::string& classname)
{
    std::vector<Entity> found;
    for (const Entity& entity : entities) {
        if (entity.count("classname") && entity.at("classname") == classname)
            found.push_back(entity);
    }
    return found;
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
        std::string problem;
        const std::vector<Entity> entities = parseEntities(text, problem);
        EXPECT_EQ(problem, "") << text;

        const std::vector<Entity> world = withClass(entities, "worldspawn");
        ASSERT_EQ(world.size(), 1u) << text;
        EXPECT_EQ(world[0].at("message"), c.plan.name);
        EXPECT_EQ(withClass(entities, "light").size(), c.plan.lights.size());
        const std::vector<Entity> starts = withClass(entities, "info_player_deathmatch");
        ASSERT_EQ(starts.size(), 1u) << text;

        // The configuration's start_vec is the eye in the viewer's world: (x, z + 40, -y).
        std::istringstream configuration(configurationText(c.plan));
        std::string line;
        int eye[3] = {};
        while (std::getline(configuration, line)) {
            if (line.rfind("start_vec = ", 0) == 0)
                std::istringstream(line.substr(12)) >> eye[0] >> eye[1] >> eye[2];
        }
        std::istringstream origin(starts[0].at("origin"));
        int x = 0, y = 0, z = 0;
        origin >> x >> y >> z;
        ASSERT_FALSE(origin.fail()) << starts[0].at("origin");
        EXPECT_EQ(x, eye[0]);
        EXPECT_EQ(z + 40, eye[1]);
        EXPECT_EQ(-y, eye[2]);

        // Whatever the heading, the start looks into an open cell, not at a wall.
        const int angle = std::stoi(starts[0].at("angle"));
        EXPECT_EQ(angle, c.plan.startAngle);
        const double radians = angle * 3.14159265358979 / 180.0;
        const int ahead = static_cast<int>(std::lround(std::cos(radians)));
        const int up = static_cast<int>(std::lround(std::sin(radians))); // file +y is up the page: row - 1
        EXPECT_TRUE(c.plan.isOpen(c.plan.start.column + ahead, c.plan.start.row - up));
    }
}

} // namespace
