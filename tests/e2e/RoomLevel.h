#pragma once

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// A level built by levelgen for the end-to-end tests: a room whose north wall is brick (red)
// and whose other walls are stone (grey), the start facing north unless the plan says otherwise.
namespace roomlevel {

inline std::string plan(int angle)
{
    return "cell 64\nheight 160\nangle " + std::to_string(angle)
         + "\ntexture wall bricks\ntexture wall2 stone\nmap\n"
           "#########\n%.......%\n%.......%\n%.......%\n%...S...%\n%.......%\n%%%%%%%%%\n";
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

inline bool isBrick(int red, int green, int blue) { return red > green + 25 && red > blue + 25; }
inline bool isStone(int red, int green, int blue)
{
    return std::abs(red - green) < 25 && std::abs(green - blue) < 30 && red > 30;
}

} // namespace roomlevel
