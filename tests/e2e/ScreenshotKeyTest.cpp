#include "PNGFile.h"
#include "RoomLevel.h"
#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
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
constexpr int statusBand = 64; // rows at the bottom that hold the status line (and the gun)

// The pictures the transcript reports, in order.
std::vector<std::string> reportedShots(const std::string& transcript)
{
    return testsupport::matchedGroups(transcript, std::regex("screenshot (\\S+)\n"));
}

bool waitForShots(const ViewerProcess& viewer, std::size_t count)
{
    for (int wait = 0; wait < 200; ++wait, pause(0.1))
        if (reportedShots(viewer.transcript()).size() >= count)
            return true;
    return false;
}

std::size_t picturesIn(const std::string& folder)
{
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.path().extension() == ".png";
    return count;
}
} // namespace

TEST(ScreenshotKeyTest, PWritesTheWindowsPixelsAndAFailedWriteIsOneLine)
{
    TempDir dir;
    const std::string level = roomlevel::build(dir, roomlevel::plan(90)) + "/room.bsp";
    const std::string shots = dir.path() + "shots";
    std::filesystem::create_directory(shots);
    const PrivateDisplay display;
    ViewerProcess viewer({viewerBinary(), "--size", std::to_string(width) + "x" + std::to_string(height), "--shots",
                          shots, level},
                         dir.path(), display.name());
    const std::string window = display.waitForWindow("Verdanth", 60.0);
    ASSERT_FALSE(window.empty()) << viewer.transcript();
    ASSERT_TRUE(viewer.waitForTranscript("textures: ", 60.0)) << viewer.transcript();
    display.run("xdotool windowmove " + window + " 0 0 2>/dev/null"); // wholly on screen for the X captures
    pause(1.5);

    // The view stands still, so every frame shows the same scene; only the status line's frame
    // rate may change from one frame to the next (often, on a loaded machine). The picture must
    // be the window's: the scene to the pixel, and the status line's white ink in its band.
    const std::size_t row = std::size_t(width * 3);
    const std::size_t sceneBytes = std::size_t(height - statusBand) * row;
    display.run("xdotool key --window " + window + " p 2>/dev/null");
    ASSERT_TRUE(waitForShots(viewer, 1)) << viewer.transcript();
    const std::vector<unsigned char> shown = display.capture(window);
    ASSERT_EQ(shown.size(), std::size_t(width * height * 3));
    const PNGFile picture = PNGFile::read(reportedShots(viewer.transcript()).back());
    ASSERT_TRUE(picture.error.empty()) << picture.error;
    ASSERT_EQ(picture.width, width);
    ASSERT_EQ(picture.height, height);
    EXPECT_TRUE(std::equal(shown.begin(), shown.begin() + long(sceneBytes), picture.rgb.begin()))
        << "the screenshot's scene is not the window's";
    const auto white = [](const unsigned char* rgb) { return rgb[0] == 255 && rgb[1] == 255 && rgb[2] == 255; };
    bool ink = false;
    for (std::size_t at = sceneBytes; at + 3 <= picture.rgb.size() && !ink; at += 3)
        ink = white(&picture.rgb[at]);
    EXPECT_TRUE(ink) << "the screenshot has no status line";

    const std::vector<std::string> paths = reportedShots(viewer.transcript());
    for (std::size_t i = 0; i < paths.size(); ++i)
        EXPECT_TRUE(std::regex_match(paths[i], std::regex(shots + "/verdanth-\\d{8}-\\d{6}-" + std::to_string(i + 1)
                                                          + "\\.png")))
            << paths[i];
    EXPECT_EQ(picturesIn(shots), paths.size());

    // The folder gone, the next picture cannot be written: one line, and the viewer goes on.
    std::filesystem::remove_all(shots);
    display.run("xdotool key --window " + window + " p 2>/dev/null");
    const std::string next = "-" + std::to_string(paths.size() + 1) + ".png: cannot write the picture: "
                                                                        "No such file or directory\n";
    EXPECT_TRUE(viewer.waitForTranscript(next, 20.0)) << viewer.transcript();
    display.run("xdotool key --window " + window + " Escape 2>/dev/null");
    const auto status = viewer.waitForExit(30.0);
    EXPECT_TRUE(status && status->exited && status->code == 0) << viewer.transcript();
}

TEST(ScreenshotKeyTest, ConfigurationModeTakesPicturesOnlyWithTheScreenshotsKey)
{
    TempDir dir;
    const std::string data = roomlevel::build(dir, roomlevel::plan(90));
    const std::string original = data + "/room.cfg";
    const PrivateDisplay display;
    for (const bool withKey : {false, true}) {
        const std::string run = withKey ? "with" : "without";
        std::filesystem::create_directory(data + "/" + run);
        std::filesystem::copy_file(original, data + "/" + run + "/test.cfg");
        std::ofstream(data + "/" + run + "/test.cfg", std::ios::app)
            << "width = 320\nheight = 240\ndatapath = " << data << "/\nlevel = " << data << "/room.bsp\nlights = "
            << data << "/room.lights\n" << (withKey ? "screenshots = 1\n" : "");
        ViewerProcess viewer({viewerBinary(), "test.cfg"}, data + "/" + run, display.name());
        const std::string window = display.waitForWindow("Verdanth", 60.0);
        ASSERT_FALSE(window.empty()) << viewer.transcript();
        ASSERT_TRUE(viewer.waitForTranscript("SKYBOX DONE \n", 60.0)) << viewer.transcript();
        display.run("xdotool key --window " + window + " p 2>/dev/null");
        if (withKey)
            EXPECT_TRUE(waitForShots(viewer, 1)) << viewer.transcript();
        else
            pause(2.0); // many frames: a picture asked for would have been written by now
        display.run("xdotool key --window " + window + " Escape 2>/dev/null");
        const auto status = viewer.waitForExit(30.0);
        EXPECT_TRUE(status && status->exited && status->code == 0) << viewer.transcript();
        EXPECT_EQ(picturesIn(data + "/" + run), withKey ? 1u : 0u) << run;
        EXPECT_EQ(reportedShots(viewer.transcript()).size(), withKey ? 1u : 0u) << viewer.transcript();
        EXPECT_EQ(viewer.transcript().find("setting 1\n") != std::string::npos, withKey) << viewer.transcript();
    }
}
