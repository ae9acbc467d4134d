#include "simulation/ToolVolumes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// The box from (-10, 0, -20) to (10, 30, 20) as six sides facing out of it.
std::vector<HalfSpace> box()
{
    return {{{1, 0, 0}, 10}, {{-1, 0, 0}, 10}, {{0, 1, 0}, 30}, {{0, -1, 0}, 0}, {{0, 0, 1}, 20}, {{0, 0, -1}, 20}};
}
} // namespace

// A brush is its sides' polyhedron: a box with a compiler's bevel side (touching one edge) is the
// same box, its outline every edge of every face; a wedge's corners lie behind its slope; fewer than four
// sides, or sides enclosing nothing, build nothing and append nothing.
TEST(ToolVolumesTest, ABrushIsThePolyhedronItsSidesEncloseOrNothing)
{
    const float root = 0.70710678f;
    std::vector<HalfSpace> beveled = box();
    beveled.push_back({{root, root, 0}, (10 + 30) * root}); // touches the edge x = 10, y = 30
    std::vector<HalfSpace> wedge = box();
    wedge.push_back({{root, root, 0}, 20 * root}); // x + y <= 20: from (10, 10) up to (-10, 30)
    std::vector<HalfSpace> threeSides = box();
    threeSides.resize(3);
    std::vector<HalfSpace> empty = box();
    empty.push_back({{0, 1, 0}, -5}); // y <= -5, below the box's floor
    const struct {
        std::string name;
        std::vector<HalfSpace> sides;
        bool built;
        Float3 low, high;
        std::size_t faces;
    } cases[] = {
        {"box", box(), true, {-10, 0, -20}, {10, 30, 20}, 6},
        {"box and bevel", beveled, true, {-10, 0, -20}, {10, 30, 20}, 6},
        {"wedge", wedge, true, {-10, 0, -20}, {10, 30, 20}, 6},
        {"three sides", threeSides, false, {}, {}, 0},
        {"nothing inside", empty, false, {}, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Float3> triangles{{1, 2, 3}};
        std::vector<HalfSpace> planes;
        std::vector<Float3> edges;
        EXPECT_EQ(ToolVolumes::appendPolyhedron(c.sides.data(), c.sides.size(), triangles, planes, edges), c.built);
        if (!c.built) {
            EXPECT_EQ(triangles.size(), 1u) << "what was there is kept";
            EXPECT_TRUE(edges.empty());
            continue;
        }
        Float3 low = triangles[1], high = triangles[1];
        for (std::size_t i = 1; i < triangles.size(); ++i)
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = std::min(low[axis], triangles[i][axis]);
                high[axis] = std::max(high[axis], triangles[i][axis]);
                bool inside = true;
                for (const HalfSpace& side : c.sides)
                    inside = inside && dot(side.normal, triangles[i]) <= side.distance + 0.01f;
                EXPECT_TRUE(inside);
            }
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(low[axis], c.low[axis], 0.01f) << axis;
            EXPECT_NEAR(high[axis], c.high[axis], 0.01f) << axis;
        }
        EXPECT_EQ(edges.size(), c.faces * 8) << "four-sided faces, each edge once a face";
    }
}
