#include "PNGFile.h"
#include "TestFiles.h"
#include "ViewerProcess.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

using testsupport::PNGFile;
using testsupport::TempDir;
using testsupport::ViewerProcess;
using testsupport::viewerBinary;

// The demo's grotto of moving materials as level mode draws it, in snapshots at fixed times:
// each surface moves as its material says, and a snapshot depends on nothing but its options.
namespace {
constexpr int width = 320;
constexpr int height = 240;

// The grotto seen whole from its south end, facing north: the sign, the pulsing panel and the
// flame on the north wall, the pool, the lava, the fog pit on the left.
const std::vector<std::string> southEnd = {"--at", "2592", "72", "-288", "--angle", "90"};

// Straight up through an opening onto the cloud sky, in the grotto's north part.
const std::vector<std::string> underTheSky = {"--at", "2592", "72", "-608", "--angle", "90", "--pitch", "89"};

std::vector<std::string> at(std::vector<std::string> view, const std::string& seconds)
{
    view.insert(view.end(), {"--time", seconds});
    return view;
}

// A snapshot of the demo with `options`, drawn once per test program and kept.
const PNGFile& snapshot(const std::vector<std::string>& options)
{
    static TempDir scratch;
    static std::map<std::vector<std::string>, PNGFile> taken;
    if (const auto found = taken.find(options); found != taken.end())
        return found->second;
    const std::string path = scratch.path() + std::to_string(taken.size()) + ".png";
    std::vector<std::string> arguments{viewerBinary(), "--snapshot", path, "--size",
                                       std::to_string(width) + "x" + std::to_string(height), "--no-hud"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.insert(arguments.end(), {"--data", testsupport::buildDir() + "/demo", "demo"});
    ViewerProcess viewer(arguments, scratch.path());
    const auto status = viewer.waitForExit(120.0);
    EXPECT_TRUE(status && status->exited && status->code == 0) << viewer.transcript();
    PNGFile picture = PNGFile::read(path);
    EXPECT_TRUE(picture.error.empty()) << picture.error << "\n" << viewer.transcript();
    return taken.emplace(options, std::move(picture)).first->second;
}

// A box of pixels, from its top-left corner, in a 320 x 240 picture.
struct Box {
    int left, top, right, bottom;
};

// The mean distance between the colours of pixels at the same place in two boxes of one size.
double meanDifference(const PNGFile& a, const Box& inA, const PNGFile& b, const Box& inB)
{
    if (a.rgb.empty() || b.rgb.empty())
        return 0.0;
    double sum = 0.0;
    for (int y = 0; y < inA.bottom - inA.top; ++y)
        for (int x = 0; x < inA.right - inA.left; ++x) {
            const unsigned char* p = a.at(inA.left + x, inA.top + y);
            const unsigned char* q = b.at(inB.left + x, inB.top + y);
            sum += std::sqrt(double((p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1])
                                    + (p[2] - q[2]) * (p[2] - q[2])));
        }
    return sum / (double(inA.right - inA.left) * (inA.bottom - inA.top));
}

// Two snapshots whose pictures must differ in the box where a surface moves, changes with the
// clock or with the eye, and agree in a box of plain wall that does not.
struct Change {
    const char* name;
    std::vector<std::string> before, after;
    Box moves;      // in the first picture
    Box movesAfter; // in the second, where the eye moved; else empty, the same box
    Box still;      // in both pictures; empty when the eye moved
};

const Change changes[] = {
    {"the water drifts", at(southEnd, "0"), at(southEnd, "0.5"), {140, 205, 300, 230}, {}, {20, 60, 80, 80}},
    {"the lava pulses and creeps", at(southEnd, "0"), at(southEnd, "0.5"), {0, 218, 60, 238}, {}, {20, 60, 80, 80}},
    {"the panel's glow pulses", at(southEnd, "0"), at(southEnd, "0.25"), {198, 86, 228, 100}, {}, {20, 60, 80, 80}},
    {"the sign shows its next picture", at(southEnd, "0"), at(southEnd, "1"), {95, 88, 120, 118}, {}, {20, 60, 80, 80}},
    {"the cloud layers drift overhead", at(underTheSky, "0"), at(underTheSky, "10"), {70, 30, 250, 200}, {},
     {5, 60, 45, 180}},
    // Seen from below its top edge the trim mirrors the sky; from above, the ground.
    {"the chrome trim mirrors what the eye's ray meets", {"--at", "2592", "10", "-300", "--angle", "270"},
     {"--at", "2592", "100", "-300", "--angle", "270", "--pitch", "-60"}, {0, 62, 320, 76}, {0, 135, 320, 149}, {}},
};

void PrintTo(const Change& change, std::ostream* out) { *out << change.name; }

class GrottoChangeTest : public testing::TestWithParam<Change> {};
} // namespace

TEST_P(GrottoChangeTest, MovesWhereItsMaterialSays)
{
    const Change& change = GetParam();
    const PNGFile& before = snapshot(change.before);
    const PNGFile& after = snapshot(change.after);
    const Box moved = change.movesAfter.right > 0 ? change.movesAfter : change.moves;
    EXPECT_GT(meanDifference(before, change.moves, after, moved), 20.0);
    if (change.still.right > 0) {
        EXPECT_EQ(meanDifference(before, change.still, after, change.still), 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Grotto, GrottoChangeTest, testing::ValuesIn(changes),
                         [](const testing::TestParamInfo<Change>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c != '\0'; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c)))
                                     name += *c;
                             return name;
                         });

TEST(GrottoTest, ASnapshotIsAFunctionOfItsOptions)
{
    TempDir dir;
    std::vector<std::vector<unsigned char>> pictures;
    for (int run = 0; run < 2; ++run) {
        const std::string path = dir.path() + std::to_string(run) + ".png";
        std::vector<std::string> arguments{viewerBinary(), "--snapshot", path, "--size", "320x240", "--frames", "3"};
        for (const std::string& option : at(southEnd, "0.5"))
            arguments.push_back(option);
        arguments.insert(arguments.end(), {"--data", testsupport::buildDir() + "/demo", "demo"});
        ViewerProcess viewer(arguments, dir.path());
        const auto status = viewer.waitForExit(120.0);
        ASSERT_TRUE(status && status->exited && status->code == 0) << viewer.transcript();
        pictures.push_back(PNGFile::read(path).rgb);
    }
    ASSERT_FALSE(pictures[0].empty());
    EXPECT_TRUE(pictures[0] == pictures[1]) << "two snapshots at one time differ";
}

// The flame is one quad facing south in the level; it turns to face the eye from any side.
TEST(GrottoTest, TheFlameFacesTheEyeFromTheSouthAndFromTheWest)
{
    const struct {
        std::vector<std::string> view;
        Box around;
    } views[] = {
        {{"--at", "2656", "72", "-500", "--angle", "90"}, {120, 100, 200, 240}},
        {{"--at", "2580", "72", "-608", "--angle", "0"}, {100, 80, 220, 240}},
    };
    for (const auto& v : views) {
        const PNGFile& picture = snapshot(v.view);
        ASSERT_FALSE(picture.rgb.empty());
        int flame = 0;
        for (int y = v.around.top; y < v.around.bottom; ++y)
            for (int x = v.around.left; x < v.around.right; ++x) {
                const unsigned char* p = picture.at(x, y);
                flame += p[0] > 180 && p[1] > 120 && p[2] < 110;
            }
        EXPECT_GT(flame, 400) << v.view[1] << " " << v.view[3] << ": the flame is seen edge on or not at all";
    }
}

// Straight down onto the pool and the lava, whose materials also make fog below their surfaces:
// the surfaces are drawn (blue-green water, orange lava), not the floor tiles through a haze.
TEST(GrottoTest, ThePoolAndTheLavaShowTheirSurfaces)
{
    const auto meanColour = [](const PNGFile& picture) {
        std::array<double, 3> sum{};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    sum[std::size_t(c)] += picture.at(x, y)[c] / double(width * height);
        return sum;
    };
    const std::array<double, 3> pool = meanColour(snapshot({"--at", "2624", "60", "-544", "--pitch", "-89"}));
    EXPECT_GT(pool[2], pool[0] + 40) << pool[0] << " " << pool[1] << " " << pool[2];
    EXPECT_GT(pool[1], pool[0] + 40) << pool[0] << " " << pool[1] << " " << pool[2];
    const std::array<double, 3> lava = meanColour(snapshot({"--at", "2464", "60", "-480", "--pitch", "-89"}));
    EXPECT_GT(lava[0], lava[2] + 80) << lava[0] << " " << lava[1] << " " << lava[2];
}

// Looking down into the fog pit from just above its fog: the tiled floor under it is drawn in
// the fog's colour (0.55, 0.6, 0.45) for the most part, its dark tiles and light ones alike; the
// fog's own surface is never drawn with its editor picture.
TEST(GrottoTest, TheFogPitIsHazyNotATexturedFloor)
{
    const PNGFile& picture = snapshot({"--at", "2600", "90", "-576", "--angle", "180", "--pitch", "-35"});
    ASSERT_FALSE(picture.rgb.empty());
    const double fog[3] = {140, 153, 115};
    double distance = 0.0;
    int pixels = 0;
    for (int y = 120; y < 200; ++y)
        for (int x = 100; x < 220; ++x, ++pixels) {
            const unsigned char* p = picture.at(x, y);
            distance += std::sqrt((p[0] - fog[0]) * (p[0] - fog[0]) + (p[1] - fog[1]) * (p[1] - fog[1])
                                  + (p[2] - fog[2]) * (p[2] - fog[2]));
        }
    // The floor without the fog is 177 away on average.
    EXPECT_LT(distance / pixels, 100.0);
}
