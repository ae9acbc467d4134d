#include "PNGFile.h"
#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>

using testsupport::ExitStatus;
using testsupport::PNGFile;
using testsupport::TempDir;
using testsupport::ViewerProcess;

namespace {
struct Ended {
    ExitStatus status;
    std::string transcript;
};

// The viewer run through env(1), which sets or removes what the run may see.
Ended runWithEnvironment(const std::vector<std::string>& environment, const std::vector<std::string>& options,
                         const std::string& directory, double seconds = 120.0)
{
    std::vector<std::string> arguments{"/usr/bin/env"};
    arguments.insert(arguments.end(), environment.begin(), environment.end());
    arguments.push_back(testsupport::viewerBinary());
    arguments.insert(arguments.end(), options.begin(), options.end());
    ViewerProcess viewer(arguments, directory);
    const auto status = viewer.waitForExit(seconds);
    EXPECT_TRUE(status.has_value()) << "the viewer did not end by itself\n" << viewer.transcript();
    return {status.value_or(ExitStatus{}), viewer.transcript()};
}

const std::vector<std::string> withoutDisplay{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"};
// libglvnd then finds no EGL vendor library: the hidden window, as on a system without EGL.
const std::vector<std::string> withoutEGL{"__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent"};

std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::string demoFolder() { return testsupport::buildDir() + "/demo/"; }
} // namespace

// The demo from its start with the gun and the status line, and its map: off-screen with no X
// display, then in the hidden window. The map is the same to the byte. The view may differ by
// one level in a channel of a few pixels (about 0.1% of the demo's): the same software renderer
// rounds a few of them differently into a window than into a framebuffer object, whatever the
// framebuffer's colour format (with or without alpha) or depth format.
TEST(OffscreenPictureTest, PicturesWithoutADisplayMatchTheHiddenWindows)
{
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "the hidden window's pictures need an X display";
    TempDir dir;
    const std::vector<std::string> options{"--verbose", "--snapshot", "view.png", "--overview", "map.png",
                                           "--size", "320x180", "--data", demoFolder(), "demo"};
    const Ended offscreen = runWithEnvironment(withoutDisplay, options, dir.path());
    ASSERT_TRUE(offscreen.status.exited && offscreen.status.code == 0) << offscreen.transcript;
    EXPECT_NE(offscreen.transcript.find("drawing off-screen: EGL "), std::string::npos) << offscreen.transcript;
    std::filesystem::create_directory(dir.path() + "window");
    const Ended window = runWithEnvironment(withoutEGL, options, dir.path() + "window");
    ASSERT_TRUE(window.status.exited && window.status.code == 0) << window.transcript;
    EXPECT_NE(window.transcript.find("drawing in a hidden window: "), std::string::npos) << window.transcript;

    const PNGFile offscreenMap = PNGFile::read(dir.path() + "map.png");
    const PNGFile windowMap = PNGFile::read(dir.path() + "window/map.png");
    ASSERT_TRUE(offscreenMap.error.empty() && windowMap.error.empty()) << offscreenMap.error << windowMap.error;
    EXPECT_TRUE(offscreenMap.rgb == windowMap.rgb) << "the maps differ";

    const PNGFile offscreenView = PNGFile::read(dir.path() + "view.png");
    const PNGFile windowView = PNGFile::read(dir.path() + "window/view.png");
    ASSERT_TRUE(offscreenView.error.empty() && windowView.error.empty());
    ASSERT_EQ(offscreenView.rgb.size(), windowView.rgb.size());
    std::size_t differing = 0;
    int largest = 0;
    for (std::size_t pixel = 0; pixel < offscreenView.rgb.size() / 3; ++pixel) {
        int difference = 0;
        for (std::size_t channel = 0; channel < 3; ++channel)
            difference = std::max(difference, std::abs(int(offscreenView.rgb[pixel * 3 + channel])
                                                       - int(windowView.rgb[pixel * 3 + channel])));
        differing += difference > 0 ? 1 : 0;
        largest = std::max(largest, difference);
    }
    EXPECT_LE(largest, 1);
    EXPECT_LE(differing, offscreenView.rgb.size() / 3 / 200) << differing << " pixels differ";
}

// A thumbnail is the snapshot of the start at its width, 16:9, without the gun and status line.
TEST(OffscreenPictureTest, AThumbnailIsTheStartWithoutGunOrStatusLineAtItsSize)
{
    TempDir dir;
    const std::string level = demoFolder() + "demo.bsp";
    const Ended thumbnail = runWithEnvironment(withoutDisplay, {"--thumbnail", "128", "--snapshot", "thumb.png", level},
                                               dir.path());
    ASSERT_TRUE(thumbnail.status.exited && thumbnail.status.code == 0) << thumbnail.transcript;
    const Ended snapshot = runWithEnvironment(withoutDisplay, {"--snapshot", "shot.png", "--size", "128x72", "--no-hud",
                                                               level},
                                              dir.path());
    ASSERT_TRUE(snapshot.status.exited && snapshot.status.code == 0) << snapshot.transcript;
    const PNGFile thumb = PNGFile::read(dir.path() + "thumb.png");
    const PNGFile shot = PNGFile::read(dir.path() + "shot.png");
    ASSERT_TRUE(thumb.error.empty()) << thumb.error;
    EXPECT_EQ(thumb.width, 128);
    EXPECT_EQ(thumb.height, 72);
    EXPECT_TRUE(thumb.rgb == shot.rgb) << "the thumbnail is not the snapshot without the gun and status line";
}

// What a file manager may hand the thumbnailer and must not wait on: a file that never ends
// (a pipe nobody writes), one too big to read, one that is not a level. Each ends with status
// 1 and one line naming it, and nothing is written beside the output path.
TEST(OffscreenPictureTest, AThumbnailOfABadFileEndsWithinItsTimeAndWritesNothing)
{
    TempDir dir;
    ASSERT_EQ(mkfifo((dir.path() + "endless.bsp").c_str(), 0600), 0);
    std::filesystem::resize_file(dir.write("huge.bsp", "IBSP"), std::uintmax_t(300) << 20);
    dir.write("short.bsp", "IBSP.");
    const std::string out = dir.path() + "out/";
    std::filesystem::create_directory(out);
    struct Case {
        std::string file;
        std::string message;
    };
    const Case cases[] = {
        {"endless.bsp", ": no thumbnail within 5 seconds\n"},
        {"huge.bsp", ": more than 256 MiB, too big for a thumbnail\n"},
        {"short.bsp", ": file is 5 bytes, shorter than its 144-byte header and directory\n"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.path() + c.file;
        const Ended run = runWithEnvironment(withoutDisplay, {"--thumbnail", "128", "--snapshot", out + "t.png", path},
                                             dir.path(), 30.0);
        EXPECT_TRUE(run.status.exited && run.status.code == 1) << c.file << "\n" << run.transcript;
        EXPECT_NE(run.transcript.find("verdanth: " + path + c.message), std::string::npos) << run.transcript;
        EXPECT_TRUE(namesIn(out).empty()) << c.file;
    }
}
