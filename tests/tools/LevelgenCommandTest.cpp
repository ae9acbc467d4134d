#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

// The levelgen program as a user runs it: exit status, messages and files.
namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome levelgen(const testsupport::TempDir& directory, const std::string& arguments)
{
    const std::string program = LEVELGEN_PROGRAM;
    const std::string out = directory.path() + "stdout.txt";
    const std::string err = directory.path() + "stderr.txt";
    const int raw = std::system((program + " " + arguments + " >" + out + " 2>" + err).c_str());
    const auto read = [](const std::string& path) {
        std::ifstream in(path);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    };
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read(out), read(err)};
}

TEST(LevelgenCommandTest, PlanErrorsEndWithStatusOneAndThePlansPosition)
{
    testsupport::TempDir directory;
    const std::string plan = directory.write("bad.plan", "cell 64\nmap\n####\n#S?#\n####\n");
    const Outcome run = levelgen(directory, plan + " " + directory.path() + "out");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, plan + ":4:3: unknown map character '?'\n");
    EXPECT_FALSE(std::filesystem::exists(directory.path() + "out/bad.bsp"));

    const Outcome missing = levelgen(directory, directory.path() + "none.plan " + directory.path() + "out");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, directory.path() + "none.plan: cannot open the plan\n");
}

TEST(LevelgenCommandTest, NoArgumentsShowTheUsage)
{
    testsupport::TempDir directory;
    const Outcome none = levelgen(directory, "");
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("usage: levelgen [--archive] PLAN OUTDIR"), std::string::npos);
}

TEST(LevelgenCommandTest, AMazeBuildsIntoItsDirectory)
{
    testsupport::TempDir directory;
    const Outcome run = levelgen(directory, "--maze 31x23 --seed 4 " + directory.path() + "maze");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("levelgen: maze (31 x 23 cells): ", 0), 0u) << run.out;
    for (const char* file : {"maze.bsp", "maze.cfg", "maze.lights", "maze.players",
                             "textures/skies/intelredclouds.jpg", "textures/verdanth/bricks.jpg",
                             "textures/verdanth/metal.tga"})
        EXPECT_TRUE(std::filesystem::exists(directory.path() + "maze/" + file)) << file;
}

TEST(LevelgenCommandTest, ArchiveFormsWriteOnlyTheArchiveAndTheLooseTextFiles)
{
    testsupport::TempDir directory;
    const std::string plan = directory.write("hall.plan", "map\n#####\n#.L.#\n#.S.#\n#####\n");
    const struct {
        const char* arguments;
        const char* name;
    } cases[] = {{"--archive PLAN OUT/a", "hall"}, {"--maze 21x17 --seed 2 --archive OUT/b", "maze"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        std::string arguments = c.arguments;
        arguments.replace(arguments.find("OUT/"), 4, directory.path());
        if (arguments.find("PLAN") != std::string::npos)
            arguments.replace(arguments.find("PLAN"), 4, plan);
        const Outcome run = levelgen(directory, arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string out = arguments.substr(arguments.rfind(' ') + 1) + "/";
        const std::string name = c.name;
        for (const std::string& file : {name + ".pk3", name + ".cfg", name + ".lights", name + ".players"})
            EXPECT_TRUE(std::filesystem::exists(out + file)) << file;
        EXPECT_FALSE(std::filesystem::exists(out + name + ".bsp"));
        EXPECT_FALSE(std::filesystem::exists(out + "textures"));
    }
}

} // namespace
