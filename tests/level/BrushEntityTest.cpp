#include "LevelWriter.h"

#include "level/BrushEntity.h"
#include "level/LevelLoader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

using leveltest::LevelWriter;

namespace {

struct ModelSpec {
    std::array<float, 3> mins, maxs; // file coordinates, Z up
    int32_t firstFace, faceCount;
};

struct Expected {
    std::size_t model;
    std::string className;
    std::array<float, 3> origin, low, high; // world, Y up
};

// A level of ten faces: model 0 holds the first two, the others as given, each named by the
// entities of `entities`.
std::vector<BrushEntity> listed(const std::vector<ModelSpec>& models, const std::string& entities,
                                std::vector<std::string>& notices)
{
    LevelWriter writer;
    writer.addTexture("t");
    writer.addPlane({1.0f, 0.0f, 0.0f}, 0.0f);
    writer.addNode(0, -1, -2);
    writer.addLeaf(0, 0, 0);
    writer.addLeaf(0, 0, 0);
    for (int i = 0; i < 10; ++i)
        writer.addFace({});
    writer.addModel({0, 0, 0}, {1, 1, 1}, 0, 2, 0, 0);
    for (const ModelSpec& model : models)
        writer.addModel(model.mins, model.maxs, model.firstFace, model.faceCount, 0, 0);
    writer.setEntities("{\n\"classname\" \"worldspawn\"\n}\n" + entities);
    std::ostringstream quiet;
    const LevelData level = parseLevel("test.bsp", writer.bytes(), quiet);
    return BrushEntity::list(level, EntityText::parse(level.entityText).entities, "test.bsp", notices);
}

std::array<float, 3> triple(const Vec3& v) { return {v.getX(), v.getY(), v.getZ()}; }

constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float far = BrushEntity::unreadableExtent;

} // namespace

TEST(BrushEntityTest, EachModelWithItsEntityFacesOriginAndWorldBox)
{
    const struct {
        const char* what;
        std::vector<ModelSpec> models;
        std::string entities;
        std::vector<Expected> expected;
        std::vector<std::string> notices;
    } cases[] = {
        {"stored where it stands: the file's box, Y up and sorted",
         {{{0, 10, 20}, {30, 40, 50}, 2, 3}},
         "{ \"classname\" \"func_door\" \"model\" \"*1\" }",
         {{1, "func_door", {0, 0, 0}, {0, 20, -40}, {30, 50, -10}}},
         {}},
        {"placed by its origin: the origin Y up, added to the box",
         {{{-8, -8, -8}, {8, 8, 8}, 2, 3}},
         "{ \"classname\" \"func_rotating\" \"origin\" \"100 200 30\" \"model\" \"*1\" }",
         {{1, "func_rotating", {100, 30, -200}, {92, 22, -208}, {108, 38, -192}}},
         {}},
        {"an origin that does not parse: drawn where stored, said once",
         {{{-8, -8, -8}, {8, 8, 8}, 2, 3}},
         "{ \"classname\" \"func_plat\" \"origin\" \"100 x 30\" \"model\" \"*1\" }",
         {{1, "func_plat", {0, 0, 0}, {-8, -8, -8}, {8, 8, 8}}},
         {"test.bsp: entity 1 (func_plat) has the origin \"100 x 30\", not three numbers; its model *1 is drawn "
          "where it is stored"}},
        {"faces outside the level: left out, said once, the next model kept",
         {{{0, 0, 0}, {1, 1, 1}, 8, 3}, {{0, 0, 0}, {1, 1, 1}, 9, 1}},
         "{ \"classname\" \"func_door\" \"model\" \"*1\" }{ \"classname\" \"func_plat\" \"model\" \"*2\" }",
         {{2, "func_plat", {0, 0, 0}, {0, 0, -1}, {1, 1, 0}}},
         {"test.bsp: models[1] faces 8 + 3 lie outside the level's 10 faces; the model is not drawn"}},
        {"a negative range is outside too",
         {{{0, 0, 0}, {1, 1, 1}, -1, 2}, {{0, 0, 0}, {1, 1, 1}, 2, -1}},
         "",
         {},
         {"test.bsp: models[1] faces -1 + 2 lie outside the level's 10 faces; the model is not drawn",
          "test.bsp: models[2] faces 2 + -1 lie outside the level's 10 faces; the model is not drawn"}},
        {"faces another model has: the later one is left out",
         {{{0, 0, 0}, {1, 1, 1}, 4, 3}, {{0, 0, 0}, {1, 1, 1}, 2, 3}, {{0, 0, 0}, {1, 1, 1}, 6, 2},
          {{0, 0, 0}, {1, 1, 1}, 7, 3}},
         "",
         {{1, "", {0, 0, 0}, {0, 0, -1}, {1, 1, 0}}, {4, "", {0, 0, 0}, {0, 0, -1}, {1, 1, 0}}},
         {"test.bsp: models[2] faces 2 + 3 overlap those of models[1]; the model is not drawn",
          "test.bsp: models[3] faces 6 + 2 overlap those of models[1]; the model is not drawn"}},
        {"no faces: nothing to draw, nothing to say; no entity: drawn all the same",
         {{{0, 0, 0}, {1, 1, 1}, 2, 0}, {{0, 0, 0}, {1, 1, 1}, 2, 1}},
         "{ \"classname\" \"trigger_once\" \"model\" \"*1\" }",
         {{2, "", {0, 0, 0}, {0, 0, -1}, {1, 1, 0}}},
         {}},
        {"the first entity naming a model owns it; other model keys name nothing",
         {{{0, 0, 0}, {1, 1, 1}, 2, 1}},
         "{ \"classname\" \"func_bobbing\" \"model\" \"*1\" \"origin\" \"1 2 3\" }"
         "{ \"classname\" \"func_static\" \"model\" \"*1\" }{ \"classname\" \"misc_model\" \"model\" \"x.md3\" }"
         "{ \"classname\" \"func_door\" \"model\" \"*7\" }{ \"classname\" \"func_door\" \"model\" \"*1x\" }",
         {{1, "func_bobbing", {1, 3, -2}, {1, 3, -3}, {2, 4, -2}}},
         {}},
        {"a box that is not a number culls nothing",
         {{{notANumber, 0, 0}, {1, 1, 1}, 2, 1}},
         "{ \"classname\" \"func_door\" \"model\" \"*1\" \"origin\" \"5 5 5\" }",
         {{1, "func_door", {5, 5, -5}, {-far, -far, -far}, {far, far, far}}},
         {}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.what);
        std::vector<std::string> notices;
        const std::vector<BrushEntity> entities = listed(each.models, each.entities, notices);
        EXPECT_EQ(notices, each.notices);
        ASSERT_EQ(entities.size(), each.expected.size());
        for (std::size_t i = 0; i < entities.size(); ++i) {
            const BrushEntity& entity = entities[i];
            const Expected& expected = each.expected[i];
            EXPECT_EQ(entity.model, expected.model);
            EXPECT_EQ(entity.className, expected.className);
            EXPECT_EQ(entity.firstFace, each.models[expected.model - 1].firstFace);
            EXPECT_EQ(entity.faceCount, each.models[expected.model - 1].faceCount);
            EXPECT_EQ(triple(entity.origin), expected.origin);
            EXPECT_EQ(entity.placed(), expected.origin != (std::array<float, 3>{0, 0, 0}));
            EXPECT_EQ(triple(entity.low), expected.low);
            EXPECT_EQ(triple(entity.high), expected.high);
        }
    }
}

// Vertices x = 0, 1, ..., 9 along X; faces 0 to 3 over vertices 0-1, 2-3 (and 2-3 again), 4-7.
TEST(BrushEntityTest, PlacingMovesEachPlacedModelsVerticesByItsOriginOnce)
{
    const auto level = [] {
        LevelData level;
        for (int v = 0; v < 10; ++v)
            level.vertices.push_back(Vertex(float(v), 0, 0, 0, 0, 0, 0, 0, 1, 0, {255, 255, 255, 255}));
        for (const auto& [first, count] : {std::pair{0, 2}, {2, 2}, {2, 2}, {4, 4}, {4, 0}}) {
            Face face;
            face.firstVertex = first;
            face.vertexCount = count;
            level.faces.push_back(face);
        }
        return level;
    };
    const auto placed = [](std::size_t model, int32_t firstFace, int32_t faceCount, Vec3 origin) {
        BrushEntity entity;
        entity.model = model;
        entity.firstFace = firstFace;
        entity.faceCount = faceCount;
        entity.origin = origin;
        return entity;
    };
    const struct {
        const char* what;
        std::vector<BrushEntity> entities;
        std::vector<std::array<float, 3>> changed; // by vertex, the offset it got
        std::vector<std::string> notices;
    } cases[] = {
        {"faces sharing vertices move them once",
         {placed(1, 1, 2, Vec3(10, 20, 30))},
         {{0, 0, 0}, {0, 0, 0}, {10, 20, 30}, {10, 20, 30}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0},
          {0, 0, 0}},
         {}},
        {"a model not placed stays; a face without vertices moves none",
         {placed(1, 0, 1, Vec3(0, 0, 0)), placed(2, 3, 2, Vec3(0, -5, 0))},
         {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, -5, 0}, {0, -5, 0}, {0, -5, 0}, {0, -5, 0}, {0, 0, 0},
          {0, 0, 0}},
         {}},
        {"a span another model moved already is not moved again; past the level's vertex count, none",
         {placed(1, 0, 4, Vec3(1, 0, 0)), placed(2, 1, 1, Vec3(0, 1, 0)), placed(3, 3, 1, Vec3(0, 0, 1))},
         {{1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {0, 0, 0},
          {0, 0, 0}},
         {"a.bsp: the vertices of models[3] and the models placed before it come to more than the level's 10; it "
          "is drawn where it is stored"}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.what);
        LevelData moved = level();
        std::vector<std::string> notices;
        BrushEntity::placeAtRest(moved, each.entities, "a.bsp", notices);
        EXPECT_EQ(notices, each.notices);
        for (std::size_t v = 0; v < moved.vertices.size(); ++v) {
            const float* at = moved.vertices[v].position;
            EXPECT_EQ((std::array<float, 3>{at[0] - float(v), at[1], at[2]}), each.changed[v]) << "vertex " << v;
        }
    }
}
