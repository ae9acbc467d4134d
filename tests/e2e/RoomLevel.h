#pragma once

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

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

} // namespace roomlevel
