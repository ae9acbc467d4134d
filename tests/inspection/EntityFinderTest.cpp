#include "inspection/EntityFinder.h"
#include "inspection/Inspection.h"
#include "level/EntityText.h"
#include "level/LevelLoader.h"
#include "math/FileAxes.h"
#include "simulation/World.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>

namespace {

// The demo as levelgen builds it, and its entities with a few whose places cannot be visited
// appended after them.
struct Demo {
    testsupport::TempDir directory;
    LevelData level;
    std::vector<Entity> entities;

    Demo()
    {
        const std::string command = std::string(LEVELGEN_PROGRAM) + " " + VERDANTH_SOURCE_DIR + "/demo/demo.plan "
                                  + directory.path() + " > /dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0);
        std::ostringstream quiet;
        level = parseLevel("demo", LevelLoader::readLevelFile(directory.path() + "demo.bsp"), quiet);
        entities = EntityText::parse(R"({ "classname" "info_notnull" "targetname" "nan" "origin" "nan 0 0" }
{ "classname" "info_notnull" "targetname" "far" "origin" "0 2e6 0" }
{ "classname" "info_notnull" "targetname" "infinite" "origin" "inf 0 0" }
{ "classname" "func_wall" "model" "*99" })").entities;
        entities.insert(entities.begin(), level.entities.entities.begin(), level.entities.entities.end());
    }
};

std::string classOf(const Entity& entity)
{
    const std::string* classname = entity.value("classname");
    return classname != nullptr ? *classname : "";
}

} // namespace

// A text names the entities holding it in a key or value, in any case and in file order; each
// is seen from a spot where a standing player's box is clear and no solid hides it (a brush
// entity's box centre where it stands), or it is named but not visited, with the reason.
TEST(EntityFinderTest, FindsByAnyKeyOrValueAndVisitsFromAClearSpot)
{
    const Demo demo;
    std::vector<std::string> notices;
    const World world(demo.level, demo.entities, "demo", notices);
    const struct {
        const char* text;
        std::vector<std::string> classes; // of the matches, in file order
        const char* why;                  // of the first match; null: visited
        std::optional<Float3> target = {}; // the first match's, file coordinates
    } cases[] = {
        {"weapon", {"weapon_launcher"}, nullptr, Float3{1248, 480, 0}},
        {"TRAIN2_1", {"path_corner", "path_corner"}, nullptr},
        {"Func_Door", {"func_door"}, nullptr, Float3{1120, 288, 80}}, // its box's centre
        {"rotat", {"func_rotating"}, nullptr, Float3{1440, 352, 120}}, // stored around the origin it is placed by
        {"1440 1120", {"misc_teleporter_dest", "info_player_intermission"}, nullptr},
        {"_color", {"light", "light", "light", "light"}, nullptr},
        {"target6", {"trigger_push", "target_position"}, nullptr},
        {"lip", {"func_button"}, nullptr},
        {"nosuch", {}, nullptr},
        {"worldspawn", {"worldspawn"}, "it has no origin"},
        {"nan", {"info_notnull"}, "its origin \"nan 0 0\" is not three finite numbers"},
        {"far", {"info_notnull"}, "its origin \"0 2e6 0\" lies beyond 1000000 units"},
        {"infinite", {"info_notnull"}, "its origin \"inf 0 0\" is not three finite numbers"},
        {"*99", {"func_wall"}, "its model *99 is not one of the level's 9 inline models"},
    };
    const Float3 from = FileAxes::toWorld(Float3{1440, 96, 82}); // the demo's start
    std::vector<std::size_t> found;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EntityFinder::find(demo.entities, c.text, found);
        std::vector<std::string> classes;
        for (const std::size_t index : found)
            classes.push_back(classOf(demo.entities[index]));
        EXPECT_EQ(classes, c.classes);
        for (std::size_t i = 0; i < found.size(); ++i) {
            std::string why;
            const std::optional<EntityFinder::Visit> visit =
                EntityFinder::visit(world, demo.level, demo.entities[found[i]], from, why);
            if (i == 0 && c.why != nullptr) {
                EXPECT_FALSE(visit);
                EXPECT_EQ(why, c.why);
                continue;
            }
            ASSERT_TRUE(visit) << why;
            const Float3 origin = visit->eye - Float3{0, world.settings().eyeAboveOrigin, 0};
            EXPECT_FALSE(world.inSolid(origin)) << "the eye's box is clear";
            // Nothing solid before the target, or the first thing met is the model itself.
            const CollisionWorld::Trace sight =
                world.collision().trace(visit->eye, visit->target, {}, LevelFormat::contentsSolid);
            const std::optional<std::size_t> model = demo.entities[found[i]].inlineModel();
            EXPECT_TRUE((model && sight.model == *model)
                        || (1 - sight.fraction) * length(visit->target - visit->eye) <= Inspection::sightSlack)
                << "met model " << sight.model << " at " << sight.fraction;
            if (i == 0 && c.target) {
                EXPECT_LT(length(FileAxes::toFile(visit->target) - *c.target), 0.01f);
            }
        }
    }
}
