#include "PNGFile.h"
#include "RoomLevel.h"
#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using testsupport::ExitStatus;
using testsupport::PNGFile;
using testsupport::TempDir;
using testsupport::ViewerProcess;
using testsupport::viewerBinary;

namespace {
constexpr int width = 320;
constexpr int height = 240;

struct Ended {
    ExitStatus status;
    std::string configuration; // stdout
    std::string transcript;
};

// Runs the viewer to its end with no X display: a snapshot draws off-screen.
Ended runToExit(const std::vector<std::string>& options, const std::string& directory)
{
    std::vector<std::string> arguments{"/usr/bin/env", "-u", "DISPLAY", viewerBinary()};
    arguments.insert(arguments.end(), options.begin(), options.end());
    ViewerProcess viewer(arguments, directory);
    const auto status = viewer.waitForExit(120.0);
    EXPECT_TRUE(status.has_value()) << "the snapshot did not end by itself\n" << viewer.transcript();
    return {status.value_or(ExitStatus{}), viewer.output(), viewer.transcript()};
}

std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}
} // namespace

TEST(SnapshotTest, WritesTheViewFromTheStartAndItsConfigurationGivesTheSamePicture)
{
    TempDir dir;
    const std::string level = roomlevel::build(dir, roomlevel::plan(90)) + "/room.bsp";
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    struct Case {
        std::vector<std::string> options;
        bool brick; // straight ahead: the brick north wall, else stone
    };
    const Case cases[] = {
        {{"--snapshot", "north.png", "--size", size, level}, true},
        {{"--snapshot", "south.png", "--frames", "1", "--angle", "270", "--size", size, level}, false},
    };
    std::string northConfiguration;
    for (const Case& c : cases) {
        const Ended run = runToExit(c.options, dir.path());
        ASSERT_TRUE(run.status.exited && run.status.code == 0) << run.transcript;
        const PNGFile picture = PNGFile::read(dir.path() + c.options[1]);
        ASSERT_TRUE(picture.error.empty()) << picture.error;
        ASSERT_EQ(picture.width, width);
        ASSERT_EQ(picture.height, height);
        const unsigned char* ahead = picture.at(width / 2, height / 2);
        EXPECT_EQ(roomlevel::isBrick(ahead[0], ahead[1], ahead[2]), c.brick)
            << c.options[1] << ": " << int(ahead[0]) << " " << int(ahead[1]) << " " << int(ahead[2]);
        EXPECT_EQ(roomlevel::isStone(ahead[0], ahead[1], ahead[2]), !c.brick) << c.options[1];
        if (c.brick)
            northConfiguration = run.configuration;
    }
    // The configuration a snapshot prints reopens the same view, to the pixel (the status line
    // differs: level mode's shows heading and pitch).
    ASSERT_NE(northConfiguration.find("start_angle = 90\n"), std::string::npos) << northConfiguration;
    const std::string configuration = dir.write("north.cfg", northConfiguration);
    const Ended again = runToExit({"--snapshot", "again.png", configuration}, dir.path());
    ASSERT_TRUE(again.status.exited && again.status.code == 0) << again.transcript;
    const PNGFile first = PNGFile::read(dir.path() + "north.png");
    const PNGFile second = PNGFile::read(dir.path() + "again.png");
    ASSERT_TRUE(second.error.empty()) << second.error;
    EXPECT_TRUE(roomlevel::sceneRows(first.rgb, width, height) == roomlevel::sceneRows(second.rgb, width, height));
}

TEST(SnapshotTest, ALevelOrPictureThatCannotBeWrittenOrOpenedExitsOneLeavingNoFile)
{
    TempDir dir;
    const std::string level = roomlevel::build(dir, roomlevel::plan(90)) + "/room.bsp";
    TempDir out;
    out.write("truncated.bsp", "IBSP.");
    struct Case {
        std::vector<std::string> options;
        std::string message;
    };
    const Case cases[] = {
        {{"--data", out.path(), "nosuch"},
         "verdanth: " + out.path() + "maps/nosuch.bsp: no such level, loose or in an archive; --list shows all 1\n"},
        {{out.path() + "truncated.bsp"}, "verdanth: " + out.path()
                                             + "truncated.bsp: file is 5 bytes, shorter than its 144-byte header and "
                                               "directory\n"},
        {{out.path() + "missing.cfg"},
         "verdanth: " + out.path() + "missing.cfg: no such file\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> options{"--snapshot", out.path() + "shot.png"};
        options.insert(options.end(), c.options.begin(), c.options.end());
        const Ended run = runToExit(options, out.path());
        EXPECT_TRUE(run.status.exited && run.status.code == 1) << run.transcript;
        EXPECT_NE(run.transcript.find(c.message), std::string::npos) << run.transcript;
        EXPECT_EQ(namesIn(out.path()), std::set<std::string>{"truncated.bsp"});
    }
    const Ended unwritable = runToExit({"--snapshot", out.path() + "nowhere/shot.png", level}, out.path());
    EXPECT_TRUE(unwritable.status.exited && unwritable.status.code == 1) << unwritable.transcript;
    EXPECT_NE(unwritable.transcript.find("verdanth: " + out.path()
                                         + "nowhere/shot.png: cannot be written: no such folder " + out.path() + "nowhere\n"),
              std::string::npos)
        << unwritable.transcript;
    EXPECT_EQ(namesIn(out.path()), std::set<std::string>{"truncated.bsp"});
    const Ended unmapped = runToExit({"--overview", out.path() + "nowhere/map.png", level}, out.path());
    EXPECT_TRUE(unmapped.status.exited && unmapped.status.code == 1) << unmapped.transcript;
    EXPECT_NE(unmapped.transcript.find("verdanth: " + out.path()
                                       + "nowhere/map.png: cannot be written: no such folder " + out.path() + "nowhere\n"),
              std::string::npos)
        << unmapped.transcript;
    EXPECT_EQ(namesIn(out.path()), std::set<std::string>{"truncated.bsp"});
}

// A square room with the start in its middle cell, facing north: the map's middle.
TEST(SnapshotTest, OverviewDrawsTheLevelFromAboveBesideASnapshotInOneRun)
{
    TempDir dir;
    const std::string plan = "cell 64\nheight 160\nangle 90\nmap\n#########\n#.......#\n#.......#\n#.......#\n"
                             "#...S...#\n#.......#\n#.......#\n#.......#\n#########\n";
    const std::string level = roomlevel::build(dir, plan) + "/room.bsp";
    const Ended run = runToExit({"--snapshot", "view.png", "--overview", "map.png", "--size", "300x200", level},
                                dir.path());
    ASSERT_TRUE(run.status.exited && run.status.code == 0) << run.transcript;
    EXPECT_TRUE(PNGFile::read(dir.path() + "view.png").error.empty());
    const PNGFile map = PNGFile::read(dir.path() + "map.png");
    ASSERT_TRUE(map.error.empty()) << map.error;
    ASSERT_EQ(map.width, 300);
    ASSERT_EQ(map.height, 200);
    const unsigned char* start = map.at(150, 100);
    EXPECT_TRUE(start[0] > 200 && start[1] < 60 && start[2] < 60) << "no arrow on the start";
    const unsigned char* floor = map.at(100, 60);
    EXPECT_TRUE(floor[0] == floor[1] && floor[1] == floor[2] && floor[0] > 50) << "no floor in the room";
}

// With --data the target is a level name, even where a folder of that name sits in the working
// folder (as the data set's own folder does here).
TEST(SnapshotTest, ALevelNameUnderDataIsALevelWhereAFolderOfThatNameSits)
{
    TempDir dir;
    roomlevel::build(dir, roomlevel::plan(90), "--archive");
    ASSERT_TRUE(std::filesystem::is_directory(dir.path() + "room"));
    const Ended run = runToExit({"--snapshot", "room.png", "--size", "64x48", "--data", "room", "room"}, dir.path());
    EXPECT_TRUE(run.status.exited && run.status.code == 0) << run.transcript;
    EXPECT_TRUE(PNGFile::read(dir.path() + "room.png").error.empty());
    EXPECT_EQ(run.transcript.find("is a folder"), std::string::npos) << run.transcript;
}

// Two cells east of the demo's door, looking west down the corridor it closes: level mode draws
// the door (a metal slab, bluish) across the view; the configuration's frame draws no brush
// entity, so the corridor runs on to a brick wall.
TEST(SnapshotTest, TheDemosDoorStandsInLevelModeAndNotInTheConfigurationsFrame)
{
    TempDir dir;
    const std::string demo = testsupport::buildDir() + "/demo/";
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const Ended level = runToExit({"--snapshot", "level.png", "--size", size, "--at", "1248", "80", "-288", "--angle",
                                   "180", "--data", demo, "demo"},
                                  dir.path());
    ASSERT_TRUE(level.status.exited && level.status.code == 0) << level.transcript;
    const std::string plain = dir.write("plain.cfg", "width = " + std::to_string(width) + "\nheight = "
                                                         + std::to_string(height) + "\ndatapath = " + demo
                                                         + "\nlevel = " + demo + "demo.bsp\nlights = " + demo
                                                         + "demo.lights\nstart_vec = 1248 80 -288\nstart_angle = 180\n");
    const Ended configured = runToExit({"--snapshot", "plain.png", plain}, dir.path());
    ASSERT_TRUE(configured.status.exited && configured.status.code == 0) << configured.transcript;

    const PNGFile withDoor = PNGFile::read(dir.path() + "level.png");
    const PNGFile without = PNGFile::read(dir.path() + "plain.png");
    ASSERT_TRUE(withDoor.error.empty() && without.error.empty()) << withDoor.error << without.error;
    const unsigned char* door = withDoor.at(width / 2, height * 3 / 8);
    const unsigned char* beyond = without.at(width / 2, height * 3 / 8);
    EXPECT_GT(door[2], door[0]) << "the door: " << int(door[0]) << " " << int(door[1]) << " " << int(door[2]);
    EXPECT_GT(beyond[0], beyond[2] + 30) << "the far wall: " << int(beyond[0]) << " " << int(beyond[1]) << " "
                                         << int(beyond[2]);
}

// The demo's fan, bobbing platform and train, each seen from a few steps away at two times on
// the clock: `--time` moves them; the same time twice gives the same picture.
TEST(SnapshotTest, TheDemosMoversStandWhereTheTimeSaysAndOneTimeGivesOnePicture)
{
    TempDir dir;
    const std::string demo = testsupport::buildDir() + "/demo/";
    const struct {
        const char* name;
        std::vector<std::string> view;
    } cases[] = {
        {"fan", {"--at", "1440", "40", "-250", "--angle", "90", "--pitch", "30"}},
        {"bobbing", {"--at", "1248", "53", "-400", "--angle", "90"}},
        {"train", {"--at", "1696", "53", "-400", "--angle", "90"}},
    };
    const auto snapshot = [&](const std::vector<std::string>& view, const char* seconds, const std::string& name) {
        std::vector<std::string> options{"--snapshot", name, "--size", "160x120", "--no-hud", "--time", seconds};
        options.insert(options.end(), view.begin(), view.end());
        options.insert(options.end(), {"--data", demo, "demo"});
        const Ended run = runToExit(options, dir.path());
        EXPECT_TRUE(run.status.exited && run.status.code == 0) << run.transcript;
        return PNGFile::read(dir.path() + name);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PNGFile early = snapshot(c.view, "0", std::string(c.name) + "0.png");
        const PNGFile later = snapshot(c.view, "1", std::string(c.name) + "1.png");
        ASSERT_TRUE(early.error.empty() && later.error.empty()) << early.error << later.error;
        int changed = 0;
        for (std::size_t i = 0; i < early.rgb.size(); i += 3)
            changed += std::abs(int(early.rgb[i]) - int(later.rgb[i])) > 16 ? 1 : 0;
        EXPECT_GT(changed, 200) << "pixels that changed between 0 and 1 s";
        if (std::string(c.name) == "fan") {
            const PNGFile again = snapshot(c.view, "1", "fan-again.png");
            EXPECT_EQ(again.rgb, later.rgb);
        }
    }
}

// The health pickup lying in the demo's south hall, from a step south of it looking down: a
// cross facing the eye at 0 s, in the health colour, and turned edge-on a quarter turn later.
TEST(SnapshotTest, ThePickupsStandInTheSnapshotTurningWithTheTime)
{
    TempDir dir;
    const std::string demo = testsupport::buildDir() + "/demo/";
    const auto snapshot = [&](const char* seconds, const std::string& name) {
        const Ended run = runToExit({"--snapshot", name, "--size", "320x240", "--no-hud", "--time", seconds, "--at",
                                     "1696", "30", "-440", "--angle", "90", "--pitch", "-20", "--data", demo, "demo"},
                                    dir.path());
        EXPECT_TRUE(run.status.exited && run.status.code == 0) << run.transcript;
        return PNGFile::read(dir.path() + name);
    };
    const PNGFile facing = snapshot("0", "facing.png");
    const PNGFile turned = snapshot("1.5", "turned.png");
    ASSERT_TRUE(facing.error.empty() && turned.error.empty()) << facing.error << turned.error;
    const auto pink = [](const unsigned char* pixel) { // the health colour, 255 90 120, lit or shaded
        return pixel[0] > 100 && std::abs(pixel[1] * 255 - pixel[0] * 90) <= 3 * 255
            && std::abs(pixel[2] * 255 - pixel[0] * 120) <= 3 * 255;
    };
    const struct {
        int x, y;
        bool facing, turned;
    } points[] = {{160, 150, true, true}, {120, 155, true, false}, {200, 155, true, false}, {160, 60, false, false}};
    for (const auto& point : points) {
        SCOPED_TRACE(std::to_string(point.x) + ", " + std::to_string(point.y));
        const unsigned char* early = facing.at(point.x, point.y);
        EXPECT_EQ(pink(early), point.facing) << int(early[0]) << " " << int(early[1]) << " " << int(early[2]);
        const unsigned char* later = turned.at(point.x, point.y);
        EXPECT_EQ(pink(later), point.turned) << int(later[0]) << " " << int(later[1]) << " " << int(later[2]);
    }
}
