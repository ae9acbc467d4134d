#include "level/EntityText.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {
using Fields = std::vector<std::pair<std::string, std::string>>;

std::vector<Fields> fieldsOf(const EntityList& list)
{
    std::vector<Fields> all;
    for (const Entity& entity : list.entities)
        all.push_back(entity.fields);
    return all;
}

std::string repeated(const std::string& text, std::size_t count)
{
    std::string all;
    for (std::size_t i = 0; i < count; ++i)
        all += text;
    return all;
}
} // namespace

TEST(EntityText, ReadsBlocksAcrossLinesAndComments)
{
    const std::string text = "// written by hand\r\n"
                             "{\r\n\"classname\" \"worldspawn\"\n\"message\"\n\"\" // empty title\n}"
                             "{\"classname\"\t\"light\" \"origin\" \"0 0 64\"\"origin\" \"1 1 1\"}\n"
                             "{ }\n"
                             "{ \"a/b\" \"x // not a comment\" }";
    const EntityList list = EntityText::parse(text);
    EXPECT_EQ(list.problem, "");
    EXPECT_EQ(fieldsOf(list), (std::vector<Fields>{
                                  {{"classname", "worldspawn"}, {"message", ""}},
                                  {{"classname", "light"}, {"origin", "0 0 64"}, {"origin", "1 1 1"}},
                                  {},
                                  {{"a/b", "x // not a comment"}},
                              }));
    ASSERT_EQ(list.entities.size(), 4u);
    const Entity& light = list.entities[1];
    ASSERT_NE(light.value("origin"), nullptr);
    EXPECT_EQ(*light.value("origin"), "0 0 64"); // the first of two
    EXPECT_EQ(light.value("Origin"), nullptr);   // keys keep their case
    EXPECT_TRUE(light.hasClass("LIGHT"));
    ASSERT_NE(worldMessage(list.entities), nullptr);
    EXPECT_EQ(*worldMessage(list.entities), "");
    EXPECT_EQ(worldMessage({light}), nullptr);

    // The lump ends with a NUL; what follows it is not text.
    const EntityList terminated = EntityText::parse(std::string("{ \"k\" \"v\" }\n\0{ \"k", 18));
    EXPECT_EQ(terminated.problem, "");
    EXPECT_EQ(fieldsOf(terminated), (std::vector<Fields>{{{"k", "v"}}}));
    EXPECT_EQ(EntityText::parse("").problem, "");
    EXPECT_EQ(EntityText::parse(" \n// only a comment").entities.size(), 0u);
}

TEST(EntityText, StopsAtTheFirstBreakAndKeepsWhatCameBefore)
{
    const std::string good = "{ \"classname\" \"worldspawn\" }\n"; // line 1, then the case from line 2
    const std::string longWord(40, 'w');
    struct Case {
        const char* name;
        std::string text;
        std::string problem;
    };
    const Case cases[] = {
        {"value left open", good + "{ \"a\" \"b\n\" }", "entities: line 2: unterminated string"},
        {"key left open at the end", good + "\n{ \"a", "entities: line 3: unterminated string"},
        {"quote left open outside", good + "\"", "entities: line 2: unterminated string"},
        {"key before }", good + "{\n\"classname\"\n}", "entities: line 3: key \"classname\" has no value"},
        {"key at the end", good + "{ \"a\" ", "entities: line 2: key \"a\" has no value"},
        {"bare value", good + "{ \"a\" b }", "entities: line 2: key \"a\" has no value"},
        {"missing }", good + "{ \"a\" \"b\"\n\n// the end\n", "entities: line 2: entity has no closing }"},
        {"nested {", good + "{ \"a\" \"b\" {", "entities: line 2: expected a key or } but found {"},
        {"stray word inside", good + "{ \"a\" \"b\" c }", "entities: line 2: expected a key or } but found c"},
        {"stray word outside", good + "junk", "entities: line 2: expected { but found junk"},
        {"single slash", good + "/ { }", "entities: line 2: expected { but found /"},
        {"stray }", good + "}", "entities: line 2: expected { but found }"},
        {"string outside", good + "\"classname\" \"light\"", "entities: line 2: expected { but found \"classname\""},
        {"long word cut", good + longWord, "entities: line 2: expected { but found " + longWord.substr(0, 32) + "..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EntityList list = EntityText::parse(c.text);
        EXPECT_EQ(list.problem, c.problem);
        EXPECT_EQ(fieldsOf(list), (std::vector<Fields>{{{"classname", "worldspawn"}}}));
    }
}

TEST(EntityText, CapsEntitiesAndFields)
{
    const EntityList most = EntityText::parse(repeated("{}", EntityText::maxEntities));
    EXPECT_EQ(most.problem, "");
    EXPECT_EQ(most.entities.size(), EntityText::maxEntities);
    const EntityList tooMany = EntityText::parse(repeated("{}\n", EntityText::maxEntities + 1));
    EXPECT_EQ(tooMany.problem, "entities: line 65537: more than 65536 entities");
    EXPECT_EQ(tooMany.entities.size(), EntityText::maxEntities);

    const std::string field = "\"k\" \"v\"\n";
    const EntityList full = EntityText::parse("{" + repeated(field, EntityText::maxFields) + "}");
    EXPECT_EQ(full.problem, "");
    ASSERT_EQ(full.entities.size(), 1u);
    EXPECT_EQ(full.entities[0].fields.size(), EntityText::maxFields);
    const EntityList overfull = EntityText::parse("{}{" + repeated(field, EntityText::maxFields + 1) + "}");
    EXPECT_EQ(overfull.problem, "entities: line 1025: entity has more than 1024 fields");
    EXPECT_EQ(overfull.entities.size(), 1u);
}

TEST(EntityText, FindsThePlayerStart)
{
    struct Case {
        const char* name;
        std::string text;
        bool found;
        float origin[3];
        float angle;
    };
    // The fallback after a skipped start: its origin differs from every skipped one's first numbers.
    const std::string start = "{ \"classname\" \"info_player_start\" \"origin\" \"10 20 30\" }";
    const Case cases[] = {
        {"a start", start, true, {10, 20, 30}, 0},
        {"deathmatch preferred though later",
         start + "{ \"classname\" \"info_player_deathmatch\" \"origin\" \"4 5 6\" \"angle\" \"90\" }", true, {4, 5, 6}, 90},
        {"classname ignores case", "{ \"classname\" \"Info_Player_Start\" \"origin\" \"7 8 9\" }", true, {7, 8, 9}, 0},
        {"white space around numbers", "{ \"classname\" \"info_player_start\" \"origin\" \" -1.5\t2e1  +3 \" }", true,
         {-1.5f, 20, 3}, 0},
        {"first origin key counts", "{ \"classname\" \"info_player_start\" \"origin\" \"1 1 1\" \"origin\" \"x\" }", true,
         {1, 1, 1}, 0},
        {"deathmatch without origin skipped",
         "{ \"classname\" \"info_player_deathmatch\" }" + start, true, {10, 20, 30}, 0},
        {"start without origin skipped",
         "{ \"classname\" \"info_player_start\" \"Origin\" \"0 0 0\" }" + start, true, {10, 20, 30}, 0},
        {"two numbers", "{ \"classname\" \"info_player_start\" \"origin\" \"1 2\" }" + start, true, {10, 20, 30}, 0},
        {"four numbers", "{ \"classname\" \"info_player_start\" \"origin\" \"1 2 3 4\" }" + start, true, {10, 20, 30}, 0},
        {"commas", "{ \"classname\" \"info_player_start\" \"origin\" \"1,2,3\" }" + start, true, {10, 20, 30}, 0},
        {"not a number", "{ \"classname\" \"info_player_start\" \"origin\" \"nan 0 0\" }" + start, true, {10, 20, 30}, 0},
        {"too large", "{ \"classname\" \"info_player_start\" \"origin\" \"0 1e40 0\" }" + start, true, {10, 20, 30}, 0},
        {"angle garbage", "{ \"classname\" \"info_player_start\" \"origin\" \"0 0 0\" \"angle\" \"east\" }", true,
         {0, 0, 0}, 0},
        {"angle with a unit", "{ \"classname\" \"info_player_start\" \"origin\" \"0 0 0\" \"angle\" \"45deg\" }", true,
         {0, 0, 0}, 0},
        {"angle infinite", "{ \"classname\" \"info_player_start\" \"origin\" \"0 0 0\" \"angle\" \"inf\" }", true,
         {0, 0, 0}, 0},
        {"angle negative", "{ \"classname\" \"info_player_start\" \"origin\" \"0 0 0\" \"angle\" \"-22.5\" }", true,
         {0, 0, 0}, -22.5f},
        {"a team spawn before an intermission view when there is no other start",
         "{ \"classname\" \"info_player_intermission\" \"origin\" \"1 1 1\" }"
         "{ \"classname\" \"team_x_bluespawn\" \"origin\" \"2 2 2\" }", true, {2, 2, 2}, 0},
        {"no start", "{ \"classname\" \"worldspawn\" \"origin\" \"1 2 3\" }", false, {}, 0},
        {"no readable start", "{ \"classname\" \"info_player_start\" \"origin\" \"\" }", false, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const EntityList list = EntityText::parse(c.text);
        ASSERT_EQ(list.problem, "");
        const std::optional<PlayerStart> found = findPlayerStart(list.entities);
        ASSERT_EQ(found.has_value(), c.found);
        if (!found)
            continue;
        EXPECT_EQ(found->origin[0], c.origin[0]);
        EXPECT_EQ(found->origin[1], c.origin[1]);
        EXPECT_EQ(found->origin[2], c.origin[2]);
        EXPECT_EQ(found->angle, c.angle);
    }
}

TEST(EntityText, ReadsEveryKindOfStartInFileOrderWithItsName)
{
    const EntityList list = EntityText::parse(
        "{ \"classname\" \"team_x_redspawn\" \"origin\" \"1 0 0\" \"angle\" \"90\" }\n"
        "{ \"classname\" \"info_player_intermission\" \"origin\" \"2 0 0\" \"angles\" \"-20 45 0\" }\n"
        "{ \"classname\" \"light\" \"origin\" \"9 9 9\" }\n"
        "{ \"classname\" \"team_x_redflag\" \"origin\" \"9 9 9\" }\n"
        "{ \"classname\" \"info_player_start\" \"origin\" \"3 0 0\" }\n"
        "{ \"classname\" \"Team_Blue_Player\" \"origin\" \"4 0 0\" }\n"
        "{ \"classname\" \"info_player_deathmatch\" \"origin\" \"5 0 0\" \"angle\" \"180\" \"angles\" \"0 45 0\" }\n"
        "{ \"classname\" \"team_spawn\" \"origin\" \"6 0 0\" }\n"
        "{ \"classname\" \"team_abcdefghijklmnopqrstuvwxyzspawn\" \"origin\" \"7 0 0\" }\n"
        "{ \"classname\" \"team_x_greenspawn\" }\n");
    ASSERT_EQ(list.problem, "");
    const std::vector<PlayerStart> starts = playerStarts(list.entities);
    const struct {
        float x;
        float angle;
        const char* name;
    } expected[] = {{1, 90, "team red"},  {2, 45, "intermission"}, {3, 0, "ordinary"},
                    {4, 0, "team blue"},  {5, 180, "deathmatch"},  {6, 0, "team"},
                    {7, 0, "team abcdefghijklmnop"}};
    ASSERT_EQ(starts.size(), std::size(expected)) << "a flag is no spawn; a spawn needs an origin";
    for (std::size_t i = 0; i < starts.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(starts[i].origin[0], expected[i].x);
        EXPECT_EQ(starts[i].angle, expected[i].angle);
        EXPECT_EQ(starts[i].name(), expected[i].name);
    }
}
