#pragma once

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

// A level built by levelgen for the end-to-end tests: a room whose north wall is brick (red)
// and whose other walls are stone (grey), the start facing north unless the plan says otherwise.
namespace roomlevel {

inline std::string plan(int angle)
{
    return "cell 64\nheight 160\nangle " + std::to_string(angle)
         + "\ntexture wall bricks\ntexture wall2 stone\nmap\n"
           "#########\n%.......%\n%...L...%\n%.......%\n%...S...%\n%.......%\n%%%%%%%%%\n";
}

// Builds the plan into `dir`/room (a data set, or with --archive a data root holding room.pk3).
inline std::string build(const testsupport::TempDir& dir, const std::string& planText, const std::string& options = "")
{
    const std::string planFile = dir.write("room.plan", planText);
    const std::string output = dir.path() + "room";
    EXPECT_EQ(std::system((std::string(LEVELGEN_PROGRAM) + " " + options + " " + planFile + " " + output
                           + " >/dev/null")
                              .c_str()),
              0);
    return output;
}

// By hue, not brightness: the designed frame lights the room as its lightmaps say.
inline bool isBrick(int red, int green, int blue)
{
    return red >= 30 && red > green * 3 / 2 && red > blue * 3 / 2;
}
inline bool isStone(int red, int green, int blue)
{
    const int brightest = std::max({red, green, blue});
    const int darkest = std::min({red, green, blue});
    return brightest >= 20 && (brightest - darkest) * 4 < brightest;
}

// The rows of an RGB picture above the status line (35 pixels up from the bottom, 24-pixel
// text): the scene itself, whichever mode drew it and whatever frame rate it shows.
inline std::vector<unsigned char> sceneRows(const std::vector<unsigned char>& rgb, int width, int height)
{
    constexpr int statusBand = 35 + 24 + 8;
    const std::size_t kept = std::size_t(std::max(0, height - statusBand)) * std::size_t(width) * 3;
    return std::vector<unsigned char>(rgb.begin(), rgb.begin() + long(std::min(kept, rgb.size())));
}

} // namespace roomlevel
