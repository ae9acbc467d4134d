#include "Clusters.h"
#include "MazeGenerator.h"
#include "Plan.h"
#include "Visibility.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

struct Computed {
    Plan plan;
    ClusterMap clusters;
    VisibilityRecord visibility;

    bool cellsSee(int column0, int row0, int column1, int row1) const
    {
        return visibility.sees(clusters.at(column0, row0), clusters.at(column1, row1));
    }
};

Computed compute(Plan plan)
{
    Computed result{std::move(plan), {}, {}};
    result.clusters = buildClusters(result.plan);
    result.visibility = computeVisibility(result.clusters);
    return result;
}

Computed computeText(const std::string& grid)
{
    return compute(parsePlan("map\n" + grid, "v.plan"));
}

// How far (as a multiple of the direction) a ray from (x0, y0) travels through open cells
// before it enters a solid one, walking every cell it passes through (grid units:
// x = column, y = row).
double clearDistance(const Plan& plan, double x0, double y0, double dx, double dy)
{
    int column = static_cast<int>(std::floor(x0));
    int row = static_cast<int>(std::floor(y0));
    const int stepX = dx > 0 ? 1 : -1;
    const int stepY = dy > 0 ? 1 : -1;
    const double deltaX = dx != 0 ? std::abs(1.0 / dx) : 1e300;
    const double deltaY = dy != 0 ? std::abs(1.0 / dy) : 1e300;
    // Ray parameters at which the next column and row boundaries are crossed.
    double nextX = dx != 0 ? (stepX > 0 ? column + 1 - x0 : x0 - column) * deltaX : 1e300;
    double nextY = dy != 0 ? (stepY > 0 ? row + 1 - y0 : y0 - row) * deltaY : 1e300;
    while (true) {
        const double leave = std::min(nextX, nextY);
        if (nextX < nextY) {
            column += stepX;
            nextX += deltaX;
        } else {
            row += stepY;
            nextY += deltaY;
        }
        if (!plan.isOpen(column, row))
            return leave;
    }
}

// Long clear sight lines, cast from random points in random directions and stopped short
// of the first wall, must join clusters that see each other.
void expectConservative(const Computed& level, uint32_t seed, int samples)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<std::pair<int, int>> open;
    for (int row = 0; row < level.plan.rows; ++row) {
        for (int column = 0; column < level.plan.columns; ++column) {
            if (level.plan.isOpen(column, row))
                open.emplace_back(column, row);
        }
    }
    int farLines = 0;
    for (int i = 0; i < samples; ++i) {
        const auto [column, row] = open[random() % open.size()];
        const double x0 = column + unit(random);
        const double y0 = row + unit(random);
        const double angle = 6.283185307179586 * unit(random);
        const double dx = std::cos(angle);
        const double dy = std::sin(angle);
        const double reach = clearDistance(level.plan, x0, y0, dx, dy) * (1.0 - 1e-6 - 0.3 * unit(random));
        const double x1 = x0 + dx * reach;
        const double y1 = y0 + dy * reach;
        const int column1 = static_cast<int>(std::floor(x1));
        const int row1 = static_cast<int>(std::floor(y1));
        farLines += reach > 3.0;
        ASSERT_TRUE(level.cellsSee(column, row, column1, row1))
            << "(" << x0 << ", " << y0 << ") sees (" << x1 << ", " << y1 << ") but cluster "
            << level.clusters.at(column, row) << " does not see cluster " << level.clusters.at(column1, row1);
    }
    EXPECT_GT(farLines, samples / 20); // the sample really crossed clusters
}

TEST(VisibilityTest, ClippingThroughAPortalKeepsTheAntiPenumbra)
{
    // Source and pass of width 1, one unit apart: two units beyond, the lines through
    // both reach from x = -1 to x = 2.
    Segment2 visible;
    ASSERT_TRUE(clipThroughPortal({{0, 0}, {1, 0}}, {{0, 1}, {1, 1}}, {{-5, 2}, {5, 2}}, visible));
    EXPECT_NEAR(std::min(visible.a.x, visible.b.x), -1.0, 1e-9);
    EXPECT_NEAR(std::max(visible.a.x, visible.b.x), 2.0, 1e-9);
    // A target wholly off to the side is not reached.
    EXPECT_FALSE(clipThroughPortal({{0, 0}, {1, 0}}, {{0, 1}, {1, 1}}, {{3, 2}, {6, 2}}, visible));
    // A target on the pass's own line is only reachable along that line.
    EXPECT_FALSE(clipThroughPortal({{0, 0}, {1, 0}}, {{0, 1}, {1, 1}}, {{2, 1}, {3, 1}}, visible));
}

TEST(VisibilityTest, EveryClusterSeesItselfAndVisibilityIsSymmetric)
{
    const Computed level = compute(generateMaze(31, 31, 3));
    const int count = level.visibility.clusterCount;
    ASSERT_EQ(count, static_cast<int>(level.clusters.clusters.size()));
    EXPECT_EQ(level.visibility.bytesPerCluster, (count + 7) / 8);
    for (int a = 0; a < count; ++a) {
        EXPECT_TRUE(level.visibility.sees(a, a));
        for (int b = 0; b < count; ++b)
            EXPECT_EQ(level.visibility.sees(a, b), level.visibility.sees(b, a));
    }
}

TEST(VisibilityTest, RoomsJoinedByABentCorridorHideEachOther)
{
    const Computed level = computeText("############\n"
                                       "#....#######\n"
                                       "#....#######\n"
                                       "#..S.#######\n"
                                       "##.#########\n"
                                       "##.#########\n"
                                       "##......####\n"
                                       "#######.####\n"
                                       "#######.####\n"
                                       "####.......#\n"
                                       "####.......#\n"
                                       "####.......#\n"
                                       "############\n");
    EXPECT_FALSE(level.cellsSee(1, 1, 8, 10)); // room to room
    EXPECT_FALSE(level.cellsSee(4, 3, 5, 11));
    EXPECT_TRUE(level.cellsSee(1, 1, 2, 5));   // room into its corridor
    EXPECT_TRUE(level.cellsSee(2, 4, 7, 6));   // round the first bend
    EXPECT_TRUE(level.cellsSee(7, 8, 10, 11)); // corridor into the second room
}

TEST(VisibilityTest, RoomsFacingThroughAStraightCorridorSeeEachOther)
{
    const Computed level = computeText("#############\n"
                                       "#...#####...#\n"
                                       "#.S.........#\n"
                                       "#...#####...#\n"
                                       "#############\n");
    EXPECT_TRUE(level.cellsSee(1, 1, 11, 3));
    EXPECT_TRUE(level.cellsSee(3, 3, 9, 1));
}

TEST(VisibilityTest, ACornerPeekReachesOnlyAsFarAsLinesCanGo)
{
    // From the left room the corridor's mouth is seen, and through it the first cells of
    // the right room's top, but nothing round the second corner.
    const Computed level = computeText("##############\n"
                                       "#...##########\n"
                                       "#.S..........#\n"
                                       "#...########.#\n"
                                       "############.#\n"
                                       "############.#\n"
                                       "##########...#\n"
                                       "##########...#\n"
                                       "##############\n");
    EXPECT_TRUE(level.cellsSee(1, 2, 11, 2));
    EXPECT_FALSE(level.cellsSee(1, 1, 10, 7));
}

TEST(VisibilityTest, NoClearLineIsEverHiddenInMazes)
{
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        expectConservative(compute(generateMaze(33, 27, seed)), seed, 20000);
    }
}

TEST(VisibilityTest, NoClearLineIsEverHiddenInRandomCaves)
{
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        std::string grid;
        const int side = 24;
        for (int row = 0; row < side; ++row) {
            for (int column = 0; column < side; ++column) {
                const bool border = row == 0 || column == 0 || row == side - 1 || column == side - 1;
                grid += (row == 1 && column == 1) ? 'S' : (border || random() % 100 < 25 ? '#' : '.');
            }
            grid += '\n';
        }
        expectConservative(computeText(grid), seed, 20000);
    }
}

TEST(VisibilityTest, WallsHideMostOfAMaze)
{
    const Computed level = compute(generateMaze(65, 65, 11));
    const long count = level.visibility.clusterCount;
    long visiblePairs = 0;
    for (int a = 0; a < count; ++a) {
        for (int b = 0; b < count; ++b)
            visiblePairs += level.visibility.sees(a, b);
    }
    EXPECT_LT(visiblePairs, count * count / 10);
}

} // namespace
