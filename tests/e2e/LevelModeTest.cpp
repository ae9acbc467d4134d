#include "../files/TestArchives.h"

#include "RoomLevel.h"
#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

using testsupport::PrivateDisplay;
using testsupport::shellOutput;
using testsupport::TempDir;
using testsupport::ViewerProcess;
using testsupport::viewerBinary;

namespace {
constexpr int width = 320;
constexpr int height = 240;

struct FirstFrame {
    std::string configuration; // what the viewer printed on stdout
    std::string transcript;
    int red = 0, green = 0, blue = 0; // straight ahead
};

FirstFrame firstFrame(const std::vector<std::string>& options)
{
    const PrivateDisplay display;
    std::vector<std::string> arguments{viewerBinary(), "--size", std::to_string(width) + "x" + std::to_string(height)};
    arguments.insert(arguments.end(), options.begin(), options.end());
    ViewerProcess viewer(arguments, ".", display.name());
    FirstFrame frame;
    const std::string window = display.waitForWindow("Verdanth", 60.0);
    EXPECT_FALSE(window.empty()) << viewer.transcript();
    EXPECT_TRUE(viewer.waitForTranscript("textures: ", 60.0)) << viewer.transcript();
    if (window.empty())
        return frame;
    display.run("xdotool windowmove " + window + " 0 0 2>/dev/null");
    // The view stands still, so once frames are drawn the centre shows one colour that is not
    // the black of a window not yet drawn into.
    const std::size_t centre = std::size_t((height / 2 * width + width / 2) * 3);
    std::vector<unsigned char> previous;
    const std::vector<unsigned char> rgb = display.captureUntil(window, [&](const std::vector<unsigned char>& shot) {
        const bool drawn = shot.size() == std::size_t(width * height * 3)
                        && shot[centre] + shot[centre + 1] + shot[centre + 2] > 0 && previous.size() == shot.size()
                        && std::equal(shot.begin() + long(centre), shot.begin() + long(centre) + 3,
                                      previous.begin() + long(centre));
        previous = shot;
        return drawn;
    }, 60.0);
    EXPECT_EQ(rgb.size(), std::size_t(width * height * 3));
    if (rgb.size() == std::size_t(width * height * 3))
        frame = {"", "", rgb[centre], rgb[centre + 1], rgb[centre + 2]};
    display.run("xdotool key --window " + window + " Escape 2>/dev/null");
    const auto status = viewer.waitForExit(30.0);
    EXPECT_TRUE(status && status->exited && status->code == 0) << viewer.transcript();
    frame.configuration = viewer.output();
    frame.transcript = viewer.transcript();
    return frame;
}

bool isBrick(const FirstFrame& frame) { return roomlevel::isBrick(frame.red, frame.green, frame.blue); }
bool isStone(const FirstFrame& frame) { return roomlevel::isStone(frame.red, frame.green, frame.blue); }
} // namespace

TEST(LevelModeTest, OpensALevelFileAtItsPlayerStartFacingItsAngle)
{
    TempDir dir;
    const std::string level = roomlevel::build(dir, roomlevel::plan(90)) + "/room.bsp";
    const FirstFrame north = firstFrame({level});
    EXPECT_TRUE(isBrick(north)) << north.red << " " << north.green << " " << north.blue;
    EXPECT_NE(north.configuration.find("start_angle = 90\n"), std::string::npos) << north.configuration;
    EXPECT_NE(north.configuration.find("default_lights = 1\n"), std::string::npos) << north.configuration;
    EXPECT_NE(north.transcript.find("textures: "), std::string::npos) << north.transcript;

    const FirstFrame south = firstFrame({"--angle", "270", level});
    EXPECT_TRUE(isStone(south)) << south.red << " " << south.green << " " << south.blue;

    TempDir other;
    const std::string eastLevel = roomlevel::build(other, roomlevel::plan(0)) + "/room.bsp"; // the plan's own angle
    const FirstFrame east = firstFrame({eastLevel});
    EXPECT_TRUE(isStone(east)) << east.red << " " << east.green << " " << east.blue;
}

TEST(LevelModeTest, ListsAndOpensALevelInsideAnArchive)
{
    TempDir dir;
    const std::string root = roomlevel::build(dir, roomlevel::plan(90), "--archive");
    EXPECT_EQ(shellOutput(viewerBinary() + " --data " + root + " --list"), "room\troom.pk3\tmaps/room.bsp");
    const FirstFrame archived = firstFrame({"--data", root, "room"});
    EXPECT_TRUE(isBrick(archived)) << archived.red << " " << archived.green << " " << archived.blue;
    EXPECT_NE(archived.configuration.find("level = maps/room.bsp\n"), std::string::npos) << archived.configuration;
    EXPECT_NE(archived.configuration.find("archives = 1\n"), std::string::npos) << archived.configuration;

    // The archive given as the file: its one level, the archive's folder the data root.
    const FirstFrame given = firstFrame({root + "/room.pk3"});
    EXPECT_TRUE(isBrick(given)) << given.red << " " << given.green << " " << given.blue;
    EXPECT_NE(given.configuration.find("datapath = " + root + "/\nlevel = maps/room.bsp\n"), std::string::npos)
        << given.configuration;
}

// An archive of several levels is listed, with how to name one; one of none, or a broken one, is
// refused in one line.
TEST(LevelModeTest, AnArchiveOfManyLevelsNoneOrBrokenIsRefusedSayingWhatItHolds)
{
    TempDir dir;
    const std::string folder = dir.path().substr(0, dir.path().size() - 1);
    const struct {
        std::vector<testarchives::TestEntry> entries; // none: a file that starts as a zip and is not one
        std::string printed;
        std::string said;
    } cases[] = {
        {{{"maps/b.bsp", "IBSP"}, {"textures/x.jpg", ""}, {"a.bsp", "IBSP"}}, "a\ta.bsp\nb\tmaps/b.bsp\n",
         "verdanth: " + dir.path() + "pack.pk3 holds 2 levels: add the name of one, as in verdanth --data "
             + folder + " a\n"},
        {{{"textures/x.jpg", ""}}, "", "verdanth: " + dir.path() + "pack.pk3: holds no level (maps/NAME.bsp)\n"},
        {{}, "", "verdanth: " + dir.path() + "pack.pk3: cannot be read as a zip archive (not a zip archive (Not a zip "
                                             "archive))\n"},
    };
    for (const auto& c : cases) {
        const std::string pack = c.entries.empty() ? dir.write("pack.pk3", std::string("PK\x03\x04 broken"))
                                                   : testarchives::writeZip(dir, "pack.pk3", c.entries);
        ViewerProcess viewer({viewerBinary(), pack});
        const auto status = viewer.waitForExit(60.0);
        EXPECT_TRUE(status && status->exited && status->code == 1) << viewer.transcript();
        EXPECT_EQ(viewer.output(), c.printed);
        EXPECT_EQ(viewer.transcript(), c.said);
    }
}
