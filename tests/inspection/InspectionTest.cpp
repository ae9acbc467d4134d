#include "../level/LevelWriter.h"

#include "inspection/Inspection.h"
#include "level/LevelFormat.h"
#include "level/LevelLoader.h"
#include "math/FileAxes.h"
#include "simulation/CollisionWorld.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using leveltest::LevelWriter;

// File coordinates: a floor (z -16 to 0) from x -64 to 400, a player-clip wall across it at x 40
// to 44 and a solid wall at x 100 to 116, both 128 high, all 128 wide (y -64 to 64).
LevelData walledFloor(const std::string& entities)
{
    LevelWriter writer;
    writer.setEntities("{ \"classname\" \"worldspawn\" }\n" + entities);
    writer.addTexture("floor", 0, LevelFormat::contentsSolid);
    writer.addTexture("clip", 0, LevelFormat::contentsPlayerClip);
    int32_t side = 0;
    const auto addBox = [&writer, &side](float x0, float x1, float z0, float z1, int32_t texture) {
        writer.addBoxPlanes({x0, -64, z0}, {x1, 64, z1});
        for (int plane = 0; plane < 6; ++plane)
            writer.addBrushSide(side + plane, texture);
        writer.addBrush(side, 6, texture);
        side += 6;
    };
    addBox(-64, 400, -16, 0, 0);
    addBox(40, 44, 0, 128, 1);
    addBox(100, 116, 0, 128, 0);
    writer.addPlane({0, 0, 1}, -1000); // the node's: everything in front
    for (const int32_t brush : {0, 1, 2})
        writer.addLeafBrush(brush);
    writer.addNode(side, -1, -2);
    writer.addLeaf(0, 0, 0, 0, 3);
    writer.addLeaf(-1, 0, 0, 0, 0);
    writer.addModel({-64, -64, -16}, {400, 64, 128}, 0, 0, 0, 3);
    std::ostringstream quiet;
    return parseLevel("walled.bsp", writer.bytes(), quiet);
}

std::string item(const char* classname, const char* origin)
{
    return std::string("{ \"classname\" \"") + classname + "\" \"origin\" \"" + origin + "\" }\n";
}

} // namespace

// From 40 units above the floor at its west end, looking east (or at a point): of the entities
// within 5 degrees, the nearest one no wall hides.
TEST(InspectionTest, NamesTheNearestEntityTheEyeSeesNearTheCentre)
{
    const struct {
        const char* name;
        std::string entities;
        const char* expected; // null: none
        float lookAt[3] = {1000, 0, 40};
    } cases[] = {
        {"a wall hides the one nearest the centre", item("behind", "300 0 40") + item("before", "80 4 40"), "before"},
        {"behind the wall only", item("behind", "300 0 40"), nullptr},
        {"the nearer of two, though farther off the centre", item("far", "90 0 40") + item("near", "30 2 40"), "near"},
        {"beyond 5 degrees", item("aside", "50 10 40"), nullptr},
        {"through player clip", item("clipped", "70 0 40"), "clipped"},
        {"its origin 4 units into the floor", item("sunk", "60 0 -4"), "sunk", {60, 0, -4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LevelData level = walledFloor(c.entities);
        const CollisionWorld blocking(level, {});
        const float eyeInFile[3] = {0, 0, 40};
        const Float3 eye = FileAxes::toWorld(eyeInFile);
        double degreesOff = Inspection::entityDegrees;
        float distance = 0;
        const Float3 view = normalized(FileAxes::toWorld(c.lookAt) - eye);
        const Entity* seen = Inspection::entityInView(level, blocking, eye, view, degreesOff, distance);
        const std::string* classname = seen != nullptr ? seen->value("classname") : nullptr;
        EXPECT_EQ(classname != nullptr ? classname->c_str() : std::string("none"),
                  std::string(c.expected != nullptr ? c.expected : "none"));
    }
}
