#include "app/LevelWatch.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A data root whose level looked up its wall image (found as .jpg, after trying .tga), a missing
// image, a script and an image in a folder that does not exist; the level file is in maps/.
// Each write is followed by a fresh watch's drain: what it says is whether that write matters.
TEST(LevelWatchTest, OnlyWhatTheLevelIsMadeOfMatters)
{
    const struct {
        const char* name;
        const char* path; // written under the root; a trailing '/' makes a folder
        bool matters;
    } cases[] = {
        {"a note beside the level", "maps/notes.txt", false},
        {"an editor's backup", "maps/level.bsp~", false},
        {"a screenshot in the root", "verdanth-0001.png", false},
        {"an image the level never named", "textures/other.jpg", false},
        {"the level file", "maps/level.bsp", true},
        {"an image the level shows", "textures/Wall.jpg", true},
        {"an image the level lacked", "textures/missing.tga", true},
        {"the folder of an image looked for in it", "textures/sub/", true},
        {"a script that was read", "scripts/level.shader", true},
        {"an archive in the root", "extra.pk3", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const testsupport::TempDir root;
        root.write("maps/level.bsp", "IBSP");
        root.write("textures/Wall.jpg", "old");
        root.write("scripts/level.shader", "old");
        LevelWatch::Files files;
        files.root = root.path();
        files.consulted = {"maps/level.bsp",       "textures/wall.tga",   "textures/wall.jpg",
                           "textures/missing.tga", "textures/missing.jpg", "textures/sub/deep.jpg",
                           "scripts/level.shader"};
        files.outside = {root.path() + "maps/level.bsp"};
        LevelWatch watch(files);
        ASSERT_GE(watch.descriptor(), 0);
        const std::string path = c.path;
        if (path.back() == '/')
            std::filesystem::create_directories(root.path() + path);
        else
            root.write(path, "new");
        EXPECT_EQ(watch.drain(1000), c.matters);
        EXPECT_EQ(watch.untilSettled(1000), c.matters ? LevelWatch::settleMilliseconds : -1);
        EXPECT_FALSE(watch.settled(1000 + LevelWatch::settleMilliseconds - 1));
        EXPECT_EQ(watch.settled(1000 + LevelWatch::settleMilliseconds), c.matters);
    }
}

// A folder of the root that is a link out of it is never watched through the link: what changes
// out there reloads nothing.
TEST(LevelWatchTest, ALinkOutOfTheRootIsNotFollowed)
{
    const testsupport::TempDir root;
    const testsupport::TempDir elsewhere;
    root.write("maps/level.bsp", "IBSP");
    elsewhere.write("wall.jpg", "old");
    std::filesystem::create_directory_symlink(elsewhere.path(), root.path() + "textures");
    LevelWatch::Files files;
    files.root = root.path();
    files.consulted = {"maps/level.bsp", "textures/wall.jpg"};
    LevelWatch watch(files);
    ASSERT_GE(watch.descriptor(), 0);
    elsewhere.write("wall.jpg", "new");
    EXPECT_FALSE(watch.drain(1000));
    root.write("maps/level.bsp", "IBSP again");
    EXPECT_TRUE(watch.drain(1000)) << "the root itself is still watched";
}

} // namespace
