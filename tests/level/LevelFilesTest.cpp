#include "level/LevelFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What "no such level" suggests: a name the user nearly typed, never a list of every level.
TEST(LevelFilesTest, NearNamesAreFewAndNearestFirst)
{
    std::vector<LevelFiles::Level> levels;
    for (const char* name : {"arena1", "arena2", "arena3", "arena4", "courtyard", "demo", "dome"})
        levels.push_back({name, std::string("maps/") + name + ".bsp", "loose"});
    const struct {
        const char* typed;
        std::vector<std::string> near;
    } cases[] = {
        {"demo2", {"demo"}},                     // one slip; "dome" is three away
        {"demo.bsp", {"demo", "dome"}},          // the extension is not part of the name
        {"court", {"courtyard"}},                // a part of the name
        {"arena", {"arena1", "arena2", "arena3"}}, // at most three
        {"ARENA4", {"arena4", "arena1", "arena2"}}, // case ignored; the one holding it first
        {"xyz", {}},
        {"", {}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.typed);
        EXPECT_EQ(LevelFiles::nearNames(levels, test.typed), test.near);
    }
}
