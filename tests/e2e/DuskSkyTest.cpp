#include "PNGFile.h"
#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>


using testsupport::PNGFile;
using testsupport::TempDir;
using testsupport::ViewerProcess;
using testsupport::viewerBinary;

// A plan under levelgen's dusk sky: $whiteimage with rgbGen const ( 0.14 0.17 0.23 ) under an
// added cloud layer, its far box named but never written. Looking straight up from under an open
// cell, level mode shows the blue-grey (36, 43, 59) with the wisps added over it: never white.
TEST(DuskSkyTest, AConstantColourSkyWithAMissingFarBoxShowsItsColour)
{
    const TempDir scratch;
    const std::string plan = scratch.write("dusk.plan", "sky dusk\nmap\n#####\n#***#\n#*S*#\n#***#\n#####\n");
    ViewerProcess levelgen({LEVELGEN_PROGRAM, plan, scratch.path() + "data"}, scratch.path());
    const auto built = levelgen.waitForExit(120.0);
    ASSERT_TRUE(built && built->exited && built->code == 0) << levelgen.transcript();

    // Above the open cell north-west of the start (column 1, row 1 of five rows; the file's Y is
    // the world's -Z).
    const std::string picture = scratch.path() + "up.png";
    ViewerProcess viewer({viewerBinary(), "--snapshot", picture, "--size", "64x48", "--no-hud", "--at", "96", "60",
                          "-224", "--pitch", "89", "--data", scratch.path() + "data", "dusk"},
                         scratch.path());
    const auto status = viewer.waitForExit(120.0);
    ASSERT_TRUE(status && status->exited && status->code == 0) << viewer.transcript();
    const PNGFile up = PNGFile::read(picture);
    ASSERT_TRUE(up.error.empty()) << up.error;

    // Right of the wall's edge at the left: sky only. Its darkest pixel is the flat colour, where
    // no wisp adds to it; white everywhere would average 255.
    const unsigned char* darkest = up.at(up.width - 1, 0);
    double mean = 0.0;
    int pixels = 0;
    for (int y = 0; y < up.height; ++y)
        for (int x = up.width / 8; x < up.width; ++x, ++pixels) {
            const unsigned char* p = up.at(x, y);
            if (p[0] + p[1] + p[2] < darkest[0] + darkest[1] + darkest[2])
                darkest = p;
            mean += (p[0] + p[1] + p[2]) / 3.0;
        }
    EXPECT_NEAR(darkest[0], 36, 6);
    EXPECT_NEAR(darkest[1], 43, 6);
    EXPECT_NEAR(darkest[2], 59, 6);
    EXPECT_LT(mean / pixels, 160.0) << "white shows through";
}
