#include "../files/TestArchives.h"
#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <filesystem>

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
        {"width = 640 height = 480 start_vec = 1 two 3\n",
         "verdanth: test.cfg: the value of \"start_vec\" is not three whole numbers\n"},
        {"height = 480\n", "verdanth: test.cfg: \"width\" is missing\n"},
        {"width = 640 height = 0\n", "verdanth: test.cfg: \"height\" must be a positive whole number, not 0\n"},
        {"width = 640 height = 480 players = narrow.players\n",
         "verdanth: narrow.players: players box is 0 units wide on the y axis; it must be at least 1\n"},
    };
    for (const Case& c : cases) {
        dir.write("test.cfg", c.configuration);
        const Refusal refusal = runToExit({viewerBinary(), "test.cfg"}, dir.path());
        expectRefusal(refusal, 1, c.message);
        EXPECT_EQ(refusal.transcript.find("root directory:"), std::string::npos) << refusal.transcript;
    }
}

// Every refusal of the three programs: the one line (two for a command line: what is wrong,
// then where to look) on stderr, exactly, and its status. Run in a folder holding:
//   notes.bsp (prose), empty.bsp, short.bsp ("IBSP." only), typo.cfg (a configuration with a
//   misspelt key), root/ (maps/empty.bsp, and levels.pk3 holding the cut-short maps/cut.bsp and
//   an empty maps/void.bsp),
//   bare/ (nothing), mapsonly/ (an empty maps/).
TEST(StartupRefusalTest, EachRefusalIsOneLineWithItsStatus)
{
    TempDir dir;
    dir.write("notes.bsp", "not a level\n");
    dir.write("empty.bsp", "");
    dir.write("short.bsp", "IBSP.");
    dir.write("typo.cfg", "Width = 640 height = 480\n");
    dir.write("test.cfg", "width = 640 height = 480\n");
    dir.write("root/maps/empty.bsp", "");
    testarchives::writeZip(dir, "root/levels.pk3", {{"maps/cut.bsp", "IBSP."}, {"maps/void.bsp", ""}});
    std::filesystem::create_directories(dir.path() + "bare");
    std::filesystem::create_directories(dir.path() + "mapsonly/maps");
    const std::string verdanth = viewerBinary();
    const std::string levelinfo = LEVELINFO_PROGRAM;
    const std::string levelgen = LEVELGEN_PROGRAM;
    const std::string neither = "neither a level (it does not begin with IBSP) nor a configuration file (it gives no "
                                "\"width\" or \"height\")";
    const std::string lookedFor = "(looked for maps/*.bsp and *.bsp, loose and in its *.pk3 and *.zip archives)";
    const std::string cutShort = "file is 5 bytes, shorter than its 144-byte header and directory";
    struct Case {
        std::vector<std::string> command;
        std::string message; // all of stderr
        int status;
    };
    const Case cases[] = {
        {{verdanth, "nosuchfile.bsp"}, "verdanth: nosuchfile.bsp: no such file\n", 1},
        {{verdanth, "notes.bsp"}, "verdanth: notes.bsp: " + neither + "\n", 1},
        {{verdanth, "empty.bsp"}, "verdanth: empty.bsp: the file is empty: neither a level nor a configuration file\n", 1},
        {{verdanth, "typo.cfg"}, // the configuration reader's own lines, out of step after the misspelt key
         "unknown propertyWidth\nunknown property640\nunknown property=\nverdanth: typo.cfg: \"width\" is missing\n", 1},
        {{verdanth, "short.bsp"}, "verdanth: short.bsp: " + cutShort + "\n", 1},
        {{verdanth, "--data", "root", "empty"}, "verdanth: root/maps/empty.bsp: the level file is empty\n", 1},
        {{verdanth, "--data", "root", "cut"}, "verdanth: root/levels.pk3: maps/cut.bsp: " + cutShort + "\n", 1},
        {{verdanth, "--data", "root", "void"}, "verdanth: root/levels.pk3: maps/void.bsp: the level file is empty\n", 1},
        {{verdanth, "--data", "root", "emty"},
         "verdanth: root/maps/emty.bsp: no such level, loose or in an archive; near names: empty; --list shows all 3\n",
         1},
        {{verdanth, "--data", "bare", "nosuch"},
         "verdanth: bare/maps/nosuch.bsp: no such level, loose or in an archive; there are no levels under bare\n", 1},
        {{verdanth, "--data", "bare", "--list"}, "verdanth: no levels under bare " + lookedFor + "\n", 1},
        {{verdanth, "--data", "mapsonly", "--list"}, "verdanth: no levels under mapsonly " + lookedFor + "\n", 0},
        {{verdanth, "--data", "none", "--list"}, "verdanth: none: no such folder\n", 1},
        {{verdanth, "--snapshot", "nofolder/shot.png", "short.bsp"},
         "verdanth: nofolder/shot.png: cannot be written: no such folder nofolder\n", 1},
        {{verdanth, "--overview", "bare", "short.bsp"}, "verdanth: bare: is a folder, not a picture file to write\n", 1},
        {{verdanth, "--no-hud", "test.cfg"},
         "verdanth: --no-hud opens a level without its gun and status line, not the configuration file test.cfg\n", 1},
        {{verdanth, "--bogus", "a.bsp"}, "verdanth: unknown option --bogus\nTry 'verdanth --help'\n", 2},
        {{verdanth, "--pitch", "90", "a.bsp"},
         "verdanth: --pitch needs degrees from -89 to 89, not 90\nTry 'verdanth --help'\n", 2},
        {{verdanth, "short.bsp", "--overview"},
         "verdanth: --overview needs a PNG file to write\nTry 'verdanth --help'\n", 2},
        {{levelinfo, "--bogus"}, "levelinfo: unknown option --bogus\nTry 'levelinfo --help'\n", 2},
        {{levelinfo, "--materials", "short.bsp"},
         "levelinfo: --materials needs --data DIR, where the material scripts are\nTry 'levelinfo --help'\n", 2},
        {{levelinfo, "nosuchfile.bsp"}, "levelinfo: nosuchfile.bsp: no such file\n", 1},
        {{levelinfo, "cut", "--data", "root"}, "levelinfo: root/levels.pk3: maps/cut.bsp: " + cutShort + "\n", 1},
        {{levelinfo, "--data", "root", "emty"},
         "levelinfo: root: no level emty, loose or in an archive; near names: empty\n", 1},
        {{levelgen, "--bogus", "a.plan", "out"}, "levelgen: unknown option --bogus\nTry 'levelgen --help'\n", 2},
        {{levelgen, "--maze", "5x5", "--seed", "1", "out"},
         "levelgen: maze size must be WxH with sides from 9 to 1024, not 5x5\nTry 'levelgen --help'\n", 2},
        {{levelgen, "--maze", "20x20", "--seed", "-3", "out"},
         "levelgen: seed must be a whole number, not -3\nTry 'levelgen --help'\n", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command[1] + " " + c.command.back());
        const Refusal refusal = runToExit(c.command, dir.path());
        EXPECT_EQ(refusal.transcript, c.message);
        EXPECT_TRUE(refusal.status.exited && refusal.status.code == c.status) << refusal.status.code;
    }
}
