#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

using testsupport::buildDir;
using testsupport::shellOutput;
using testsupport::TempDir;
using testsupport::ViewerProcess;
using testsupport::viewerBinary;
using testsupport::pause;
using testsupport::PrivateDisplay;

namespace {
constexpr int width = 640;
constexpr int height = 480;

// A configuration for the demo level that runs from any directory, with our own players.
std::string demoConfiguration(const TempDir& dir, const std::string& players)
{
    const std::string demo = buildDir() + "/demo/";
    std::string text = "width = " + std::to_string(width) + "\nheight = " + std::to_string(height) + "\n"
                     + "datapath = " + demo + "\nlevel = " + demo + "demo.bsp\nlights = " + demo + "demo.lights\n"
                     + "start_vec = 1440 72 -96\n";
    if (!players.empty())
        text += "players = " + dir.write("test.players", players) + "\n";
    return dir.write("test.cfg", text);
}

void key(const PrivateDisplay& display, const std::string& window, const std::string& name)
{
    display.run("xdotool key --window " + window + " " + name + " 2>/dev/null");
    pause(0.3);
}

struct Screenshot {
    std::vector<unsigned char> rgb;
    unsigned char channel(int x, int y, int c) const { return rgb[std::size_t((y * width + x) * 3 + c)]; }
};

// The ink of the status line's last character (the score's last digit). The line is
// drawn in pure white with texturing and lighting off; with textures and lighting switched
// off by the test, the scene behind it is one flat colour that is not white.
std::vector<std::pair<int, int>> lastGlyph(const Screenshot& shot)
{
    const int top = height - 35 - 22, bottom = height - 35 + 6; // rows of the text band
    auto isInk = [&](int x, int y) {
        return shot.channel(x, y, 0) == 255 && shot.channel(x, y, 1) == 255 && shot.channel(x, y, 2) == 255;
    };
    auto columnHasInk = [&](int x) {
        for (int y = top; y < bottom; ++y)
            if (isInk(x, y))
                return true;
        return false;
    };
    int right = width - 1;
    while (right > 0 && !columnHasInk(right))
        --right;
    int left = right;
    while (left > 0 && columnHasInk(left - 1))
        --left;
    std::vector<std::pair<int, int>> ink;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (isInk(x, y))
                ink.emplace_back(x - left, y);
    return ink;
}

// The window's picture once the status line's last glyph satisfies `ready` (or after a minute,
// the last picture taken): a loaded machine may take long to draw what the keys asked for.
Screenshot screenshot(const PrivateDisplay& display, const std::string& window,
                      const std::function<bool(const std::vector<std::pair<int, int>>&)>& ready)
{
    const std::size_t size = std::size_t(width * height * 3);
    Screenshot shot{display.captureUntil(window, [&](const std::vector<unsigned char>& rgb) {
        return rgb.size() == size && ready(lastGlyph(Screenshot{rgb}));
    }, 60.0)};
    EXPECT_EQ(shot.rgb.size(), size);
    shot.rgb.resize(size);
    return shot;
}
} // namespace

TEST(DemoSessionTest, OpensTheWindowAndEndsWithEscape)
{
    TempDir dir;
    const PrivateDisplay display;
    ViewerProcess viewer({viewerBinary(), demoConfiguration(dir, "")}, dir.path(), display.name());
    const std::string window = display.waitForWindow("Verdanth", 60.0);
    ASSERT_FALSE(window.empty()) << viewer.transcript();
    EXPECT_NE(display.run("xdotool getwindowgeometry " + window).find("Geometry: 640x480"), std::string::npos);
    ASSERT_TRUE(viewer.waitForTranscript("SKYBOX DONE \n", 60.0)) << viewer.transcript();
    pause(1.0);
    key(display, window, "Escape");
    const auto status = viewer.waitForExit(30.0);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(status->exited);
    EXPECT_EQ(status->code, 0);

    const std::string transcript = viewer.transcript();
    std::size_t at = 0;
    for (const char* line : {"setting 640\n", "setting 480\n", "lighting file ", "starting at 1440,72,-96\n",
                             "root directory:", "level name:", "placed light at ", "magic: IBSP\n",
                             "version: 46\n", "dir_entry #16:", "distinct textures\n", "Texture Created \n",
                             "loading planes...done!\n", "loading faces... done \n",
                             "loading visibility data... done \n", "textures/skies/intelredclouds.jpg\n",
                             "SKYBOX DONE \n"}) {
        const std::size_t found = transcript.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << transcript;
        at = found;
    }
}

TEST(DemoSessionTest, ShootingAnEnemyStraightAheadChangesTheScore)
{
    TempDir dir;
    // One enemy in a one-unit box 100 units ahead at the height a shot flies (2 below the eye).
    const PrivateDisplay display;
    ViewerProcess viewer({viewerBinary(), demoConfiguration(dir, "0 1\n1440 70 -196\n1441 71 -195\n")}, dir.path(),
                         display.name());
    const std::string window = display.waitForWindow("Verdanth", 60.0);
    ASSERT_FALSE(window.empty()) << viewer.transcript();
    ASSERT_TRUE(viewer.waitForTranscript("SKYBOX DONE \n", 60.0)) << viewer.transcript();
    display.run("xdotool windowmove " + window + " 0 0"); // wholly on screen for the screenshots
    key(display, window, "t");
    key(display, window, "l");
    // With textures and lighting off the background is flat, so the score's digit stands alone.
    const auto before = lastGlyph(screenshot(display, window, [](const std::vector<std::pair<int, int>>& glyph) {
        return !glyph.empty() && glyph.size() < 200;
    }));
    key(display, window, "f");
    ASSERT_TRUE(viewer.waitForTranscript("coillision occured\n", 20.0)) << viewer.transcript();
    const auto after = lastGlyph(screenshot(display, window, [&](const std::vector<std::pair<int, int>>& glyph) {
        return !glyph.empty() && glyph != before;
    }));
    EXPECT_FALSE(before.empty());
    EXPECT_LT(before.size(), 200u) << "more white than one glyph: the background is not flat";
    EXPECT_FALSE(after.empty());
    EXPECT_NE(before, after) << "the score's digit did not change on screen";
    key(display, window, "Escape");
    const auto status = viewer.waitForExit(30.0);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(status->code, 0);
}
