#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>

using testsupport::ExitStatus;
using testsupport::TempDir;
using testsupport::ViewerProcess;
using testsupport::viewerBinary;

namespace {
struct Refusal {
    std::string transcript;
    ExitStatus status;
};

Refusal runToExit(const std::vector<std::string>& arguments, const std::string& directory)
{
    ViewerProcess viewer(arguments, directory);
    const auto status = viewer.waitForExit(30.0);
    EXPECT_TRUE(status.has_value()) << "the viewer did not stop by itself";
    return {viewer.transcript(), status.value_or(ExitStatus{})};
}

void expectRefusal(const Refusal& refusal, int code, const std::string& message)
{
    EXPECT_TRUE(refusal.status.exited) << "ended by signal " << refusal.status.code << "\n" << refusal.transcript;
    EXPECT_EQ(refusal.status.code, code) << refusal.transcript;
    EXPECT_NE(refusal.transcript.find(message), std::string::npos) << refusal.transcript;
    EXPECT_EQ(refusal.transcript.find("Sanitizer"), std::string::npos) << refusal.transcript;
}
} // namespace

TEST(StartupRefusalTest, NoArgumentPrintsUsage)
{
    TempDir dir;
    const Refusal refusal = runToExit({viewerBinary()}, dir.path());
    expectRefusal(refusal, 2, "usage: verdanth CONFIG_FILE\n");
}

TEST(StartupRefusalTest, ConfigurationProblemsStopBeforeTheWindow)
{
    TempDir dir;
    dir.write("narrow.players", "1 1 0 0 0 10 0 10\n");
    struct Case {
        std::string configuration;
        std::string message;
    };
    const Case cases[] = {
        {"", "verdanth: missing.cfg: cannot open the configuration file\n"},
        {"width = 640 height = 480 start_vec = 1 two 3\n",
         "verdanth: test.cfg: the value of \"start_vec\" is not three whole numbers\n"},
        {"height = 480\n", "verdanth: test.cfg: \"width\" is missing\n"},
        {"width = 640 height = 0\n", "verdanth: test.cfg: \"height\" must be a positive whole number, not 0\n"},
        {"width = 640 height = 480 players = narrow.players\n",
         "verdanth: narrow.players: players box is 0 units wide on the y axis; it must be at least 1\n"},
    };
    for (const Case& c : cases) {
        std::string file = "missing.cfg";
        if (!c.configuration.empty())
            file = "test.cfg", dir.write(file, c.configuration);
        const Refusal refusal = runToExit({viewerBinary(), file}, dir.path());
        expectRefusal(refusal, 1, c.message);
        EXPECT_EQ(refusal.transcript.find("root directory:"), std::string::npos) << refusal.transcript;
    }
}

TEST(StartupRefusalTest, LevelModeRefusalsNameWhatCannotBeOpened)
{
    TempDir dir;
    dir.write("short.bsp", "IBSP.");
    dir.write("test.cfg", "width = 640 height = 480\n");
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--bogus", "a.bsp"}, 2, "verdanth: unknown option --bogus\nusage: verdanth CONFIG_FILE\n"},
        {{"--pitch", "90", "a.bsp"}, 2, "verdanth: --pitch needs degrees from -89 to 89, not 90\nusage:"},
        {{"--speed", "0", "a.bsp"}, 2, "verdanth: --speed needs units per second from 1 to 100000, not 0\nusage:"},
        {{"--mouse", "fast", "a.bsp"}, 2, "verdanth: --mouse needs degrees per pixel from 0.001 to 10, not fast\nusage:"},
        {{"--brightness", "5", "a.bsp"}, 2, "verdanth: --brightness needs a factor from 0.25 to 4, not 5\nusage:"},
        {{"--data", dir.path() + "none", "--list"}, 1, "verdanth: " + dir.path() + "none: no such folder\n"},
        {{"--data", dir.path(), "nosuch"}, 1,
         "verdanth: " + dir.path() + "maps/nosuch.bsp: no such level, loose or in an archive\n"},
        {{"short.bsp"}, 1, "verdanth: short.bsp: file is 5 bytes, shorter than its 144-byte header and directory\n"},
        {{"--no-hud", "test.cfg"}, 1,
         "verdanth: --no-hud opens a level without its gun and status line, not the configuration file test.cfg\n"},
        {{"short.bsp", "--overview"}, 2, "verdanth: --overview needs a PNG file to write\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{viewerBinary()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        expectRefusal(runToExit(arguments, dir.path()), c.status, c.message);
    }
}
