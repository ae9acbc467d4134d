#include "MazeGenerator.h"
#include "Plan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const goodPlan = "# a small test plan\n"
                             "cell 32\n"
                             "height 96\n"
                             "texscale 64\n"
                             "friends 1\n"
                             "enemies 5\n"
                             "angle 180\n"
                             "title  The <Small> & \"Quiet\" Hall  \n"
                             "texture wall stone\n"
                             "\n"
                             "map\n"
                             "#######\n"
                             "#L.O.L#\n"
                             "%,,M,B%\n"
                             "##A#&=#\n"
                             "#.S*GL#\n"
                             "#.N.*.#\n"
                             "#######\n";

TEST(PlanParserTest, ReadsSettingsGridAndMarkers)
{
    const Plan plan = parsePlan(goodPlan, "plans/small.plan");
    EXPECT_EQ(plan.name, "small");
    EXPECT_EQ(plan.title, "The <Small> & \"Quiet\" Hall");
    EXPECT_EQ(plan.cellSize, 32);
    EXPECT_EQ(plan.height, 96);
    EXPECT_EQ(plan.textureScale, 64);
    EXPECT_EQ(plan.friends, 1);
    EXPECT_EQ(plan.enemies, 5);
    EXPECT_EQ(plan.texture(Surface::Wall), "stone");
    EXPECT_EQ(plan.texture(Surface::Floor), "tiles"); // default kept
    ASSERT_EQ(plan.columns, 7);
    ASSERT_EQ(plan.rows, 7);
    EXPECT_EQ(plan.startAngle, 180);
    EXPECT_EQ(plan.at(4, 3), Cell::PanelWall);
    EXPECT_EQ(plan.at(5, 3), Cell::GlowWall);
    EXPECT_FALSE(plan.isOpen(5, 3));
    EXPECT_EQ(plan.at(3, 4), Cell::Sky);
    EXPECT_EQ(plan.at(4, 4), Cell::Grate);
    EXPECT_EQ(plan.at(2, 5), Cell::Nodraw);
    EXPECT_TRUE(plan.isOpen(4, 4));
    EXPECT_FALSE(spansWestToEast(plan, 4, 4)); // a wall to the north: it spans north to south
    EXPECT_FALSE(spansWestToEast(plan, 2, 5));
    EXPECT_TRUE(spansWestToEast(plan, 2, 2)); // open north and south
    EXPECT_EQ(plan.at(2, 3), Cell::Arch);
    EXPECT_EQ(plan.at(0, 2), Cell::AltWall);
    EXPECT_EQ(plan.at(1, 2), Cell::AltFloor);
    EXPECT_EQ(plan.at(-1, 0), Cell::Wall); // outside is solid
    EXPECT_EQ(plan.at(7, 2), Cell::Wall);
    EXPECT_EQ(plan.start.column, 2);
    EXPECT_EQ(plan.start.row, 4);
    ASSERT_EQ(plan.lights.size(), 3u);
    EXPECT_EQ(plan.lights[0].column, 1);
    EXPECT_EQ(plan.lights[2].row, 4);
}

TEST(PlanParserTest, ReadsTheMaterialCellsAndTheSky)
{
    const Plan plan = parsePlan("sky clouds\nmap\n#HY+##\n#~^FP#\n#..S.#\n######\n", "p.plan");
    EXPECT_EQ(plan.sky, SkyKind::clouds);
    EXPECT_EQ(parsePlan("sky farbox\nmap\n#S#\n", "p.plan").sky, SkyKind::farBox);
    EXPECT_EQ(parsePlan("map\n#S#\n", "p.plan").sky, SkyKind::farBox);
    EXPECT_FALSE(plan.skyNearBox);
    EXPECT_TRUE(parsePlan("sky clouds nearbox\nmap\n#S#\n", "p.plan").skyNearBox);
    const Cell row0[] = {Cell::ChromeWall, Cell::SignWall, Cell::PulseWall};
    for (int column = 1; column <= 3; ++column) {
        EXPECT_EQ(plan.at(column, 0), row0[column - 1]) << column;
        EXPECT_FALSE(plan.isOpen(column, 0)) << column;
    }
    const Cell row1[] = {Cell::Water, Cell::Lava, Cell::Flame, Cell::FogPit};
    for (int column = 1; column <= 4; ++column) {
        EXPECT_EQ(plan.at(column, 1), row1[column - 1]) << column;
        EXPECT_TRUE(plan.isOpen(column, 1)) << column;
    }
}

TEST(PlanParserTest, ReadsShapesWithWhatFollowsTheirBox)
{
    const Plan plan = parsePlan("shape ramp -8 0 0 64 32 16 west\nshape teleporter 0 0 0 8 8 8 100 -200 30 270\n"
                                "shape trigger 0 0 0 8 8 24 5 6 7 wall\nshape button 0 0 0 8 8 8 -5 -6 70\n"
                                "shape hurt 0 0 0 8 8 8 wall\nmap\n#S#\n",
                                "p.plan");
    ASSERT_EQ(plan.shapes.size(), 5u);
    EXPECT_EQ(plan.shapes[0].kind, ShapeKind::ramp);
    EXPECT_EQ(plan.shapes[0].low, (std::array<int, 3>{-8, 0, 0}));
    EXPECT_EQ(plan.shapes[0].high, (std::array<int, 3>{64, 32, 16}));
    EXPECT_EQ(plan.shapes[0].rises, Heading::west);
    EXPECT_EQ(plan.shapes[1].kind, ShapeKind::teleporter);
    EXPECT_EQ(plan.shapes[1].target, (std::array<int, 3>{100, -200, 30}));
    EXPECT_EQ(plan.shapes[1].angle, 270);
    EXPECT_FALSE(plan.shapes[1].wall);
    EXPECT_EQ(plan.shapes[2].kind, ShapeKind::trigger);
    EXPECT_EQ(plan.shapes[2].target, (std::array<int, 3>{5, 6, 7}));
    EXPECT_TRUE(plan.shapes[2].wall);
    EXPECT_EQ(plan.shapes[3].kind, ShapeKind::button);
    EXPECT_EQ(plan.shapes[3].target, (std::array<int, 3>{-5, -6, 70}));
    EXPECT_EQ(plan.shapes[3].high[2], 8);
    EXPECT_EQ(plan.shapes[4].kind, ShapeKind::hurt);
    EXPECT_TRUE(plan.shapes[4].wall);
}

TEST(PlanParserTest, AcceptsWindowsLineEndsAndTrailingBlankLines)
{
    const Plan plan = parsePlan("cell 64\r\nmap\r\n###\r\n#S#\r\n###\r\n\r\n  \n", "x.plan");
    EXPECT_EQ(plan.rows, 3);
    EXPECT_EQ(plan.columns, 3);
    EXPECT_EQ(plan.startAngle, 90); // north unless the plan says otherwise
}

struct PlanErrorCase {
    const char* name;
    const char* text;
    const char* message;
};

TEST(PlanParserTest, ErrorsNameFileLineAndColumn)
{
    const PlanErrorCase cases[] = {
        {"unknown character", "map\n####\n#S?#\n####\n", "p.plan:3:3: unknown map character '?'"},
        {"short row", "map\n####\n#S#\n####\n", "p.plan:3:4: row has 3 cells but the first row has 4"},
        {"long row", "map\n###\n#S.#\n###\n", "p.plan:3:4: row has 4 cells but the first row has 3"},
        {"no start", "cell 64\nmap\n###\n#.#\n###\n", "p.plan:2:1: the map has no start position 'S'"},
        {"two starts", "map\n####\n#SS#\n####\n", "p.plan:3:3: second start position 'S'"},
        {"five lights", "map\n#######\n#LLLLL#\n#S....#\n#######\n", "p.plan:3:6: more than four lights"},
        {"arch in the open", "map\n#####\n#.A.#\n#.S.#\n#####\n",
         "p.plan:3:3: an arch needs walls on two opposite sides and open cells on the other two"},
        {"arch in a dead end", "map\n###\n#A#\n#S#\n###\n",
         "p.plan:3:2: an arch needs walls on two opposite sides and open cells on the other two"},
        {"door in the open", "map\n#####\n#.D.#\n#.S.#\n#####\n",
         "p.plan:3:3: a door needs walls on two opposite sides and open cells on the other two"},
        {"unknown setting", "cell 64\n  colour red\nmap\n#S#\n", "p.plan:2:3: unknown setting 'colour'"},
        {"bad number", "cell 6x4\nmap\n#S#\n", "p.plan:1:6: 'cell' needs a whole number from 16 to 1024"},
        {"number too small", "height 8\nmap\n#S#\n", "p.plan:1:8: 'height' needs a whole number from 32 to 2048"},
        {"missing value", "friends\nmap\n#S#\n", "p.plan:1:8: 'friends' needs exactly one value"},
        {"unknown surface", "texture roof tiles\nmap\n#S#\n", "p.plan:1:9: unknown surface 'roof'"},
        {"unknown texture", "texture wall gold\nmap\n#S#\n", "p.plan:1:14: unknown texture 'gold'"},
        {"no map", "cell 64\n", "p.plan:2:1: the plan has no 'map' line"},
        {"empty map", "cell 64\nmap\n\n", "p.plan:2:1: the map has no rows"},
        {"words after map", "map grid\n#S#\n", "p.plan:1:5: nothing may follow 'map' on its line"},
        {"angle of a full turn", "angle 360\nmap\n#S#\n", "p.plan:1:7: 'angle' needs a whole number from 0 to 359"},
        {"negative angle", "angle -90\nmap\n#S#\n", "p.plan:1:7: 'angle' needs a whole number from 0 to 359"},
        {"fractional angle", "angle 45.5\nmap\n#S#\n", "p.plan:1:7: 'angle' needs a whole number from 0 to 359"},
        {"two angles", "angle 90 180\nmap\n#S#\n", "p.plan:1:10: 'angle' needs exactly one value"},
        {"empty title", "title  \nmap\n#S#\n", "p.plan:1:8: 'title' needs the level's title"},
        {"grate in a dead end", "map\n###\n#G#\n#S#\n###\n",
         "p.plan:3:2: a grate needs open cells on two opposite sides"},
        {"screen in a corner", "map\n####\n#N.#\n#.S#\n####\n",
         "p.plan:3:2: a screen needs open cells on two opposite sides"},
        {"buried panel wall", "map\n####\n#=##\n####\n#S.#\n####\n",
         "p.plan:3:2: a wall with a panel, trim or sign needs an open cell beside it"},
        {"buried sign", "map\n####\n##Y#\n####\n#S.#\n####\n",
         "p.plan:3:3: a wall with a panel, trim or sign needs an open cell beside it"},
        {"buried trim", "map\n####\n#H##\n####\n#S.#\n####\n",
         "p.plan:3:2: a wall with a panel, trim or sign needs an open cell beside it"},
        {"buried pulsing panel", "map\n####\n#+##\n####\n#S.#\n####\n",
         "p.plan:3:2: a wall with a panel, trim or sign needs an open cell beside it"},
        {"unknown sky", "sky blue\nmap\n#S#\n", "p.plan:1:5: 'sky' needs farbox, clouds or dusk"},
        {"sky without a kind", "sky\nmap\n#S#\n", "p.plan:1:4: 'sky' needs farbox, clouds or dusk"},
        {"sky with another word", "sky farbox hills\nmap\n#S#\n",
         "p.plan:1:12: 'sky' takes only nearbox after its kind"},
        {"unknown shape", "shape cone 0 0 0 1 1 1\nmap\n#S#\n",
         "p.plan:1:7: 'shape' needs a kind: solid, clip, water, hurt, ramp, curve, pad, teleporter, trigger or button"},
        {"pad without its target", "shape pad 0 0 0 8 8 8 wall\nmap\n#S#\n",
         "p.plan:1:27: 'shape pad' needs the box's X0 Y0 Z0 X1 Y1 Z1 and its target's X Y Z, and may end with 'wall'"},
        {"trigger ending with another word", "shape trigger 0 0 0 8 8 8 1 2 3 walls\nmap\n#S#\n",
         "p.plan:1:33: 'shape trigger' needs the box's X0 Y0 Z0 X1 Y1 Z1 and its target's X Y Z, and may end with 'wall'"},
        {"button on a wall record", "shape button 0 0 0 8 8 8 1 2 3 wall\nmap\n#S#\n",
         "p.plan:1:32: 'shape button' needs the box's X0 Y0 Z0 X1 Y1 Z1 and its target's X Y Z"},
        {"shape inside out", "shape solid 0 0 9 8 8 8\nmap\n#S#\n",
         "p.plan:1:23: a shape's second corner must lie above its first on every axis"},
        {"shape out of reach", "shape clip 0 0 0 8 8 70000\nmap\n#S#\n",
         "p.plan:1:22: a shape's numbers are whole units from -65536 to 65536"},
        {"ramp rising upwards", "shape ramp 0 0 0 8 8 8 up\nmap\n#S#\n",
         "p.plan:1:24: a ramp rises to north, east, south or west"},
    };
    for (const PlanErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            parsePlan(c.text, "p.plan");
            ADD_FAILURE() << "accepted";
        } catch (const PlanError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

TEST(PlanParserTest, RefusesMapsLargerThanTheLimit)
{
    const std::string wide = "map\n" + std::string(maxPlanSide + 1, '.') + "\n";
    EXPECT_THROW(parsePlan(wide, "w.plan"), PlanError);
}

TEST(PlanParserTest, MazesAreValidAndRepeatable)
{
    const Plan first = generateMaze(41, 29, 7);
    const Plan again = generateMaze(41, 29, 7);
    const Plan other = generateMaze(41, 29, 8);
    EXPECT_EQ(first.cells, again.cells);
    EXPECT_NE(first.cells, other.cells);
    ASSERT_EQ(first.cells.size(), 41u * 29u);
    EXPECT_EQ(first.at(first.start.column, first.start.row), Cell::Start);
    EXPECT_GE(first.lights.size(), 1u);
    EXPECT_LE(first.lights.size(), 4u);
    // The border stays solid, and the start's northern neighbour is open: it looks into its room.
    for (int column = 0; column < first.columns; ++column) {
        EXPECT_FALSE(first.isOpen(column, 0));
        EXPECT_FALSE(first.isOpen(column, first.rows - 1));
    }
    EXPECT_TRUE(first.isOpen(first.start.column, first.start.row - 1));
}

} // namespace
