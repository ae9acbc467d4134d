#include "PNGFile.h"
#include "RoomLevel.h"
#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

using testsupport::PNGFile;
using testsupport::pause;
using testsupport::PrivateDisplay;
using testsupport::TempDir;
using testsupport::ViewerProcess;
using testsupport::viewerBinary;

namespace {
constexpr int width = 320;
constexpr int height = 240;

// The lines `c` printed on standard output, in order.
std::vector<std::string> printedViews(const std::string& output)
{
    return testsupport::matchedGroups(output, std::regex("(--at [^\n]*)\n"));
}

struct View {
    double x = 0, y = 0, z = 0, angle = 0, pitch = 0;
};

View parsed(const std::string& options)
{
    std::istringstream in(options);
    std::string at, angle, pitch;
    View view;
    in >> at >> view.x >> view.y >> view.z >> angle >> view.angle >> pitch >> view.pitch;
    EXPECT_EQ(at + angle + pitch, "--at--angle--pitch") << options;
    return view;
}

// Presses `c` and waits for the line it prints.
std::string pressC(const PrivateDisplay& display, const std::string& window, const ViewerProcess& viewer)
{
    const std::size_t before = printedViews(viewer.output()).size();
    display.run("xdotool key --window " + window + " c 2>/dev/null");
    for (int wait = 0; wait < 200; ++wait, pause(0.1)) {
        const std::vector<std::string> views = printedViews(viewer.output());
        if (views.size() > before)
            return views.back();
    }
    ADD_FAILURE() << "c printed nothing";
    return "";
}

// Where the pointer is, "X=160 Y=120 ", once it is at the window's centre or 20 seconds passed;
// the window sits at the screen's origin.
std::string pointerOnceCentred(const PrivateDisplay& display)
{
    std::string location;
    for (int wait = 0; wait < 200; ++wait, pause(0.1)) {
        location = display.run("xdotool getmouselocation --shell 2>/dev/null | head -2 | tr '\\n' ' '");
        if (location == "X=160 Y=120 ")
            break;
    }
    return location;
}

std::string reportedShot(const ViewerProcess& viewer)
{
    static const std::regex line("screenshot (\\S+)\n");
    std::smatch match;
    for (int wait = 0; wait < 200; ++wait, pause(0.1)) {
        const std::string transcript = viewer.transcript();
        if (std::regex_search(transcript, match, line))
            return match[1];
    }
    return "";
}

// Channels more than a few levels apart, as a fraction of all.
double differingShare(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    if (a.size() != b.size() || a.empty())
        return 1.0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        differing += std::abs(int(a[i]) - int(b[i])) > 8;
    return double(differing) / double(a.size());
}
} // namespace

// Fly with a held key, look with the held pointer, keep the view with `c`, and reopen it with
// --snapshot: the same picture.
TEST(LevelControlsTest, AViewFoundByFlyingIsKeptByCAndReopenedByASnapshot)
{
    TempDir dir;
    const std::string level = roomlevel::build(dir, roomlevel::plan(90)) + "/room.bsp";
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const PrivateDisplay display;
    // Slow, so that however long the key is held on a busy machine the eye stays in the room.
    ViewerProcess viewer({viewerBinary(), "--size", size, "--speed", "100", "--shots", dir.path(), level}, dir.path(),
                         display.name());
    const std::string window = display.waitForWindow("Verdanth", 60.0);
    ASSERT_FALSE(window.empty()) << viewer.transcript();
    ASSERT_TRUE(viewer.waitForTranscript("textures: ", 60.0)) << viewer.transcript();
    display.run("xdotool windowmove " + window + " 0 0 2>/dev/null");
    pause(1.0);
    const View start = parsed(pressC(display, window, viewer));
    EXPECT_EQ(start.angle, 90);
    EXPECT_EQ(start.pitch, 0);

    display.run("xdotool keydown --window " + window + " w 2>/dev/null");
    pause(0.3);
    display.run("xdotool keyup --window " + window + " w 2>/dev/null");
    pause(0.3);
    const std::string flown = pressC(display, window, viewer);
    pause(0.5);
    EXPECT_EQ(pressC(display, window, viewer), flown) << "the eye stops when the key is let go";
    const View afterKey = parsed(flown);
    EXPECT_EQ(afterKey.x, start.x);
    EXPECT_LT(afterKey.z, start.z - 1) << "w flies north, along world -Z";

    // The click holds the pointer, warping it to the centre; then 0.15 degrees per pixel. Each
    // relative move starts from where the pointer is, so the warp is waited for first.
    display.run("xdotool mousemove --window " + window + " 100 100 click 1 2>/dev/null");
    ASSERT_EQ(pointerOnceCentred(display), "X=160 Y=120 ") << "the click warps the pointer to the centre";
    display.run("xdotool mousemove_relative -- 40 -20 2>/dev/null");
    display.run("xdotool mousemove_relative -- 100 0 2>/dev/null");
    EXPECT_EQ(pointerOnceCentred(display), "X=160 Y=120 ")
        << "a pointer strayed a quarter of the window from the centre is warped back";
    const std::string kept = pressC(display, window, viewer);
    const View turned = parsed(kept);
    EXPECT_NEAR(turned.angle, 90 - 140 * 0.15, 0.001);
    EXPECT_NEAR(turned.pitch, 20 * 0.15, 0.001);

    display.run("xdotool key --window " + window + " p 2>/dev/null");
    const std::string shot = reportedShot(viewer);
    ASSERT_FALSE(shot.empty()) << viewer.transcript();

    // Tab lets the pointer go: moving it no longer turns the view.
    display.run("xdotool key --window " + window + " Tab 2>/dev/null");
    pause(0.3);
    display.run("xdotool mousemove_relative -- 30 10 2>/dev/null");
    pause(0.3);
    EXPECT_EQ(pressC(display, window, viewer), kept);
    display.run("xdotool key --window " + window + " Escape 2>/dev/null");
    const auto status = viewer.waitForExit(30.0);
    EXPECT_TRUE(status && status->exited && status->code == 0) << viewer.transcript();

    std::vector<std::string> arguments{viewerBinary(), "--snapshot", dir.path() + "kept.png", "--size", size};
    std::istringstream options(kept);
    for (std::string option; options >> option;)
        arguments.push_back(option);
    arguments.push_back(level);
    ViewerProcess snapshot(arguments, dir.path(), display.name());
    const auto snapshotStatus = snapshot.waitForExit(120.0);
    ASSERT_TRUE(snapshotStatus && snapshotStatus->exited && snapshotStatus->code == 0) << snapshot.transcript();
    const PNGFile fromKey = PNGFile::read(shot);
    const PNGFile reopened = PNGFile::read(dir.path() + "kept.png");
    ASSERT_TRUE(fromKey.error.empty() && reopened.error.empty()) << fromKey.error << reopened.error;
    EXPECT_LT(differingShare(roomlevel::sceneRows(fromKey.rgb, width, height),
                             roomlevel::sceneRows(reopened.rgb, width, height)),
              0.01);
}

namespace {
std::size_t loggedFrames(const std::string& path)
{
    std::ifstream log(path);
    std::size_t lines = 0;
    for (std::string line; std::getline(log, line);)
        ++lines;
    return lines;
}

// The frame count once it has stood still for a second (the log, one line per frame after the
// first, is written out when the viewer comes to rest); nothing when it never does in 30 seconds.
std::optional<std::size_t> framesAtRest(const std::string& path)
{
    std::size_t before = loggedFrames(path);
    for (int wait = 0; wait < 30; ++wait) {
        pause(1.0);
        const std::size_t now = loggedFrames(path);
        if (now == before)
            return now;
        before = now;
    }
    return std::nullopt;
}
} // namespace

// Nothing moves in the room: the viewer draws what changed and then sleeps, watching its level
// yet never waking, drawing no frame until a key asks for one.
TEST(LevelControlsTest, AStillViewDrawsNothingAndNeverWakesUntilAKeyChangesIt)
{
    TempDir dir;
    const std::string level = roomlevel::build(dir, roomlevel::plan(90)) + "/room.bsp";
    const std::string log = dir.path() + "frames.log";
    const PrivateDisplay display;
    ViewerProcess viewer({viewerBinary(), "--size", "160x120", "--frame-log", log, level}, dir.path(), display.name());
    const std::string window = display.waitForWindow("Verdanth", 60.0);
    ASSERT_FALSE(window.empty()) << viewer.transcript();
    ASSERT_TRUE(viewer.waitForTranscript("textures: ", 60.0)) << viewer.transcript();
    const std::optional<std::size_t> rested = framesAtRest(log);
    ASSERT_TRUE(rested) << "the frames never stopped";
    const std::optional<long> switchesBefore = viewer.contextSwitches();
    pause(5.0);
    const std::optional<long> switchesAfter = viewer.contextSwitches();
    ASSERT_TRUE(switchesBefore && switchesAfter);
    EXPECT_EQ(*switchesAfter - *switchesBefore, 0) << "woken at rest";
    EXPECT_EQ(loggedFrames(log), *rested) << "no frame drawn at rest";
    display.run("xdotool key --window " + window + " w 2>/dev/null");
    const std::optional<std::size_t> after = framesAtRest(log);
    ASSERT_TRUE(after);
    EXPECT_GT(*after, *rested) << "the key was drawn";
    EXPECT_LT(*after, *rested + 60) << "and then the viewer rested again";
    display.run("xdotool key --window " + window + " Escape 2>/dev/null");
    EXPECT_TRUE(viewer.waitForExit(30.0));
}

// Escape closes an open search line and quits only once none is open: c typed into the line
// prints nothing, c after it prints the view.
TEST(LevelControlsTest, EscapeClosesTheSearchLineFirstThenQuits)
{
    TempDir dir;
    const std::string level = roomlevel::build(dir, roomlevel::plan(90)) + "/room.bsp";
    const PrivateDisplay display;
    ViewerProcess viewer({viewerBinary(), "--size", "160x120", level}, dir.path(), display.name());
    const std::string window = display.waitForWindow("Verdanth", 60.0);
    ASSERT_FALSE(window.empty()) << viewer.transcript();
    ASSERT_TRUE(viewer.waitForTranscript("textures: ", 60.0)) << viewer.transcript();
    display.run("xdotool key --window " + window + " slash c Escape 2>/dev/null");
    EXPECT_FALSE(pressC(display, window, viewer).empty());
    EXPECT_EQ(printedViews(viewer.output()).size(), 1u) << viewer.output();
    display.run("xdotool key --window " + window + " Escape 2>/dev/null");
    const auto status = viewer.waitForExit(30.0);
    EXPECT_TRUE(status && status->exited && status->code == 0) << viewer.transcript();
}

// g walks: the player falls from where the eye flew onto the jump pad's lane, the pad throws it
// onto the ledge beyond, and it comes to rest standing there, its eye 50 units above the ledge.
TEST(LevelControlsTest, GWalksAndAJumpPadThrowsThePlayerOntoItsLedge)
{
    TempDir dir;
    testsupport::shellOutput(std::string(LEVELGEN_PROGRAM) + " " + testsupport::sourceDir() + "/demo/walk.plan "
                             + dir.path() + "walk >/dev/null 2>&1");
    const PrivateDisplay display;
    // Flying above the pad (file x 1120, y 224), facing north along the lane.
    ViewerProcess viewer({viewerBinary(), "--size", "160x120", "--at", "1120", "100", "-224", "--angle", "90",
                          dir.path() + "walk/walk.bsp"},
                         dir.path(), display.name());
    const std::string window = display.waitForWindow("Verdanth", 60.0);
    ASSERT_FALSE(window.empty()) << viewer.transcript();
    ASSERT_TRUE(viewer.waitForTranscript("textures: ", 60.0)) << viewer.transcript();
    display.run("xdotool key --window " + window + " g 2>/dev/null");
    pause(3.0);
    const View landed = parsed(pressC(display, window, viewer));
    EXPECT_NEAR(landed.x, 1120, 1);
    EXPECT_NEAR(landed.y, 128 + 50, 0.5) << "standing on the ledge, 128 high";
    EXPECT_LT(landed.z, -640) << "beyond the ledge's near edge (file y 640)";
    EXPECT_GT(landed.z, -928) << "short of its far edge";
    pause(0.5);
    EXPECT_EQ(parsed(pressC(display, window, viewer)).z, landed.z) << "at rest";
    display.run("xdotool key --window " + window + " Escape 2>/dev/null");
    EXPECT_TRUE(viewer.waitForExit(30.0));
}

// A level rebuilt under a running viewer is drawn anew where the eye stands; one caught
// half-written is refused with one line and the level shown stays.
TEST(LevelControlsTest, ARebuiltLevelIsReloadedWhereTheEyeStandsAndABrokenOneIsNot)
{
    TempDir dir;
    const std::string level = roomlevel::build(dir, roomlevel::plan(90)) + "/room.bsp";
    const PrivateDisplay display;
    ViewerProcess viewer({viewerBinary(), "--size", "160x120", level}, dir.path(), display.name());
    const std::string window = display.waitForWindow("Verdanth", 60.0);
    ASSERT_FALSE(window.empty()) << viewer.transcript();
    ASSERT_TRUE(viewer.waitForTranscript("textures: ", 60.0)) << viewer.transcript();
    display.run("xdotool windowmove " + window + " 0 0 2>/dev/null");
    const std::size_t centre = (60 * 160 + 80) * 3;
    const auto centreShows = [&](bool (*colour)(int, int, int)) {
        const std::vector<unsigned char> rgb = display.captureUntil(window, [&](const std::vector<unsigned char>& shot) {
            return shot.size() > centre + 2 && colour(shot[centre], shot[centre + 1], shot[centre + 2]);
        }, 30.0);
        return rgb.size() > centre + 2 && colour(rgb[centre], rgb[centre + 1], rgb[centre + 2]);
    };
    ASSERT_TRUE(centreShows(roomlevel::isBrick));
    const std::string view = pressC(display, window, viewer);

    std::string stoneNorth = roomlevel::plan(90);
    stoneNorth.replace(stoneNorth.find("texture wall bricks"), 19, "texture wall stone");
    roomlevel::build(dir, stoneNorth);
    EXPECT_TRUE(viewer.waitForTranscript("verdanth: reloaded ", 30.0)) << viewer.transcript();
    EXPECT_TRUE(centreShows(roomlevel::isStone)) << "the north wall is stone now";
    EXPECT_EQ(pressC(display, window, viewer), view) << "the view stays";

    std::string head(100, '\0');
    std::ifstream(level, std::ios::binary).read(head.data(), long(head.size()));
    std::ofstream(level, std::ios::binary | std::ios::trunc) << head; // cut short, as if caught being written
    EXPECT_TRUE(viewer.waitForTranscript("not reloaded, the level shown stays", 30.0)) << viewer.transcript();
    EXPECT_TRUE(centreShows(roomlevel::isStone));
    display.run("xdotool key --window " + window + " Escape 2>/dev/null");
    EXPECT_TRUE(viewer.waitForExit(30.0));
}
