#include "PNGFile.h"
#include "RoomLevel.h"
#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
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
const std::string size = std::to_string(width) + "x" + std::to_string(height);

// Where the status line is written (configuration mode: from 35 pixels right of and above the
// lower left corner; level mode at this size: from 10, on its backing; as far right as it goes)
// and where the gun shows (below the middle), in picture rows from the top.
bool inStatusLine(int x, int y) { return x >= 4 && y >= height - 62 && y < height - 2; }
bool inGun(int x, int y) { return x >= width / 4 && x < 3 * width / 4 && y >= height / 2; }

// The status line is pure white text; nothing in the lit room is.
int whiteInStatusLine(const PNGFile& picture)
{
    int count = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const unsigned char* pixel = picture.at(x, y);
            count += inStatusLine(x, y) && pixel[0] == 255 && pixel[1] == 255 && pixel[2] == 255 ? 1 : 0;
        }
    return count;
}

// Drawn in the hidden window, as 'p' pictures a window: off-screen the same frame may differ by
// a level in a few pixels (OffscreenPictureTest).
PNGFile snapshot(const std::string& level, const TempDir& dir, const std::string& name, bool hud)
{
    std::vector<std::string> arguments{"/usr/bin/env", "__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent", viewerBinary(),
                                       "--snapshot", dir.path() + name, "--size", size};
    if (!hud)
        arguments.push_back("--no-hud");
    arguments.push_back(level);
    ViewerProcess viewer(arguments, dir.path());
    const auto status = viewer.waitForExit(120.0);
    EXPECT_TRUE(status && status->exited && status->code == 0) << viewer.transcript();
    return PNGFile::read(dir.path() + name);
}

// The picture 'p' writes next into the viewer's folder `folder`, once the viewer reports it.
PNGFile nextShot(const ViewerProcess& viewer, const PrivateDisplay& display, const std::string& window,
                 const std::string& folder, int number)
{
    display.run("xdotool key --window " + window + " p 2>/dev/null");
    const std::string ending = "-" + std::to_string(number) + ".png\n";
    EXPECT_TRUE(viewer.waitForTranscript(ending, 30.0)) << viewer.transcript();
    const std::string transcript = viewer.transcript();
    const std::size_t end = transcript.find(ending) + ending.size() - 1;
    const std::size_t start = transcript.rfind("screenshot ", end) + std::string("screenshot ").size();
    return PNGFile::read(folder + "/" + transcript.substr(start, end - start));
}
} // namespace

TEST(HudTest, NoHudLeavesTheGunAndTheStatusLineOutOfThePictureAndNothingElse)
{
    TempDir dir;
    const std::string level = roomlevel::build(dir, roomlevel::plan(90)) + "/room.bsp";
    const PNGFile shown = snapshot(level, dir, "hud.png", true);
    const PNGFile clean = snapshot(level, dir, "clean.png", false);
    ASSERT_TRUE(shown.error.empty() && clean.error.empty()) << shown.error << clean.error;
    ASSERT_EQ(clean.width, width);
    EXPECT_GT(whiteInStatusLine(shown), 20);
    EXPECT_EQ(whiteInStatusLine(clean), 0);

    int statusLineChanges = 0, gunChanges = 0, otherChanges = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (std::equal(shown.at(x, y), shown.at(x, y) + 3, clean.at(x, y)))
                continue;
            (inStatusLine(x, y) ? statusLineChanges : inGun(x, y) ? gunChanges : otherChanges) += 1;
        }
    EXPECT_GT(statusLineChanges, 20);
    EXPECT_GT(gunChanges, 100);
    EXPECT_EQ(otherChanges, 0);
}

// 'h' in level mode gives the picture --no-hud gives, and gives the status line back; in
// configuration mode it does nothing.
TEST(HudTest, HTogglesTheGunAndTheStatusLineInLevelModeOnly)
{
    TempDir dir;
    const std::string data = roomlevel::build(dir, roomlevel::plan(90));
    const PNGFile clean = snapshot(data + "/room.bsp", dir, "clean.png", false);
    ASSERT_TRUE(clean.error.empty()) << clean.error;
    std::filesystem::copy_file(data + "/room.cfg", data + "/test.cfg");
    std::ofstream(data + "/test.cfg", std::ios::app)
        << "width = " << width << "\nheight = " << height << "\ndatapath = " << data << "/\nlevel = " << data
        << "/room.bsp\nlights = " << data << "/room.lights\nscreenshots = 1\n";
    struct Run {
        const char* name;
        std::vector<std::string> arguments;
    };
    const Run runs[] = {
        {"level mode", {viewerBinary(), "--size", size, data + "/room.bsp"}},
        {"configuration mode", {viewerBinary(), "test.cfg"}},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        const bool levelMode = run.arguments.size() > 2;
        const PrivateDisplay display;
        ViewerProcess viewer(run.arguments, data, display.name());
        const std::string window = display.waitForWindow("Verdanth", 60.0);
        ASSERT_FALSE(window.empty()) << viewer.transcript();
        pause(1.0);
        display.run("xdotool key --window " + window + " h 2>/dev/null");
        const PNGFile hidden = nextShot(viewer, display, window, data, 1);
        ASSERT_TRUE(hidden.error.empty()) << hidden.error;
        EXPECT_EQ(whiteInStatusLine(hidden) == 0, levelMode);
        if (levelMode) {
            EXPECT_TRUE(hidden.rgb == clean.rgb) << "'h' does not give the --no-hud picture";
        }
        display.run("xdotool key --window " + window + " h 2>/dev/null");
        const PNGFile back = nextShot(viewer, display, window, data, 2);
        EXPECT_GT(whiteInStatusLine(back), 20);
        display.run("xdotool key --window " + window + " Escape 2>/dev/null");
        const auto status = viewer.waitForExit(30.0);
        EXPECT_TRUE(status && status->exited && status->code == 0) << viewer.transcript();
    }
}
