#include "ToolsFixtures.h"

#include "DataSet.h"
#include "LevelBuilder.h"
#include "LevelWriter.h"
#include "PlanEntities.h"

#include "level/BrushEntity.h"
#include "level/EntityText.h"
#include "level/LevelLoader.h"
#include "level/Pickup.h"
#include "level/PointMarker.h"

#include "GLContext.h"
#include "TestFiles.h"
#include "ViewerScene.h"

#include <GL/glew.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

// The demo's brush and point entities read back through the viewer's own readers.
namespace {

LevelData demoLevel()
{
    std::ostringstream quiet;
    return parseLevel("demo.bsp", serializeLevel(buildLevel(toolstest::demoPlan())), quiet);
}

// The distance along the view to what the middle of the picture shows.
float distanceAhead()
{
    float depth = 0.0f;
    glReadPixels(testsupport::contextWidth / 2, testsupport::contextHeight / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT,
                 &depth);
    const double near = 1.25, far = 4000.0; // the viewer's projection
    return float(2 * near * far / (far + near - (2 * depth - 1) * (far - near)));
}

void lookAt(Camera& camera, const Vec3& eye, const Vec3& target)
{
    const Vec3 toward = target.minus(eye);
    camera.moveTo(Point(eye.getX(), eye.getY(), eye.getZ()));
    camera.setPitchLimit(Camera::freePitchLimit);
    camera.faceHeading(std::atan2(-toward.getZ(), toward.getX()) * 180 / 3.14159265358979);
    camera.setPitch(std::atan2(toward.getY(), std::hypot(toward.getX(), toward.getZ())) * 180 / 3.14159265358979);
}

// The middle of a plan cell in the viewer's world (Y up), `height` units over the floor.
Vec3 cellMiddle(const Plan& plan, GridPosition cell, float height)
{
    const float size = float(plan.cellSize);
    return Vec3((float(cell.column) + 0.5f) * size, height, -(float(plan.rows - 1 - cell.row) + 0.5f) * size);
}

} // namespace

TEST(BrushModelsTest, TheDemosMoversAreInlineModelsNoLeafListsAndStandInTheirCells)
{
    const Plan plan = toolstest::demoPlan();
    const LevelData level = demoLevel();
    std::vector<std::string> notices;
    const std::vector<BrushEntity> entities =
        BrushEntity::list(level, EntityText::parse(level.entityText).entities, "demo.bsp", notices);
    EXPECT_EQ(notices, std::vector<std::string>{});
    const std::vector<PlanBrushEntity> planned = planBrushEntities(plan);
    ASSERT_EQ(planned.size(), 5u);
    ASSERT_EQ(entities.size(), planned.size() + 1) << "and the entrance room's button, a shape";

    // The world's faces come first; leaves list only those.
    EXPECT_EQ(level.models[0].firstFace, 0);
    EXPECT_EQ(level.models[0].faceCount, entities.front().firstFace);
    for (const int32_t face : level.leafFaces)
        EXPECT_LT(face, level.models[0].faceCount);

    for (std::size_t e = 0; e < planned.size(); ++e) {
        const BrushEntity& entity = entities[e];
        SCOPED_TRACE(entity.className);
        EXPECT_EQ(entity.className, planned[e].className);
        EXPECT_EQ(entity.placed(), planned[e].kind == BrushKind::fan);
        // Where it stands: within its cell, between floor and ceiling.
        const Vec3 halfCell(float(plan.cellSize) / 2 + 0.5f, 0.5f, float(plan.cellSize) / 2 + 0.5f);
        const Vec3 cellLow = cellMiddle(plan, planned[e].cell, 0).minus(halfCell);
        const Vec3 cellHigh = cellMiddle(plan, planned[e].cell, float(plan.height)).plus(halfCell);
        EXPECT_TRUE(entity.low.isInsideBox(cellLow, cellHigh) && entity.high.isInsideBox(cellLow, cellHigh))
            << entity.low.getX() << " " << entity.low.getY() << " " << entity.low.getZ() << " .. "
            << entity.high.getX() << " " << entity.high.getY() << " " << entity.high.getZ();
        // Its faces are stored around its own origin, inside its stored box, and lightmapped.
        const Model& model = level.models[entity.model];
        for (int32_t f = entity.firstFace; f < entity.firstFace + entity.faceCount; ++f) {
            const Face& face = level.faces[std::size_t(f)];
            EXPECT_GE(face.lightmapIndex, 0);
            for (int32_t v = face.firstVertex; v < face.firstVertex + face.vertexCount; ++v) {
                const float* at = level.vertices[std::size_t(v)].position;
                for (int axis = 0; axis < 3; ++axis) {
                    EXPECT_GE(at[axis], std::fmin(model.mins[axis], model.maxs[axis]));
                    EXPECT_LE(at[axis], std::fmax(model.mins[axis], model.maxs[axis]));
                }
            }
        }
    }
}

// The demo holds a start of every kind, which j visits in file order.
TEST(BrushModelsTest, TheDemosPointEntitiesAreMarkedByFamilyAndItsStartsAreEveryKind)
{
    const LevelData level = demoLevel();
    const std::vector<Entity> entities = EntityText::parse(level.entityText).entities;
    std::map<PointMarker::Family, int> counts;
    for (const PointMarker& marker : PointMarker::list(entities))
        ++counts[marker.family];
    using Family = PointMarker::Family;
    EXPECT_EQ(counts, (std::map<Family, int>{{Family::playerStart, 5}, {Family::light, 4},
                                              {Family::teleportDestination, 2},
                                              // the train's path, the pushes' targets, the pushes and the relay
                                              {Family::other, 10}}));
    std::vector<Pickup::Family> pickups;
    for (const Pickup& pickup : Pickup::list(entities))
        pickups.push_back(pickup.family);
    EXPECT_EQ(pickups, (std::vector<Pickup::Family>{Pickup::Family::weapon, Pickup::Family::health}));
    std::vector<std::string> names;
    for (const PlayerStart& start : playerStarts(entities))
        names.push_back(start.name());
    EXPECT_EQ(names, (std::vector<std::string>{"deathmatch", "ordinary", "team red", "team blue", "intermission"}));
}

// Each of the demo's brush entities seen from a few steps away: the designed frame draws it, so
// the middle of the picture is as near as the entity; the plain frame does not, and shows what
// lies behind it.
TEST(BrushModelsTest, TheDemosDoorLiftAndFanAreDrawnInTheDesignedFrameOnly)
{
    const Plan plan = toolstest::demoPlan();
    const testsupport::TempDir directory;
    writeDataSet(plan, buildLevel(plan), directory.path());
    const DataSetFiles files = dataSetFiles(plan);
    const float cell = float(plan.cellSize);
    for (const bool designed : {true, false}) {
        testsupport::ViewerScene scene(directory.path(), directory.path() + files.level,
                                       directory.path() + files.lights, Point(0, 0, 0), designed);
        for (const PlanBrushEntity& entity : planBrushEntities(plan)) {
            if (entity.kind == BrushKind::bobbing || entity.kind == BrushKind::train)
                continue;
            SCOPED_TRACE(std::string(entity.className) + (designed ? " designed" : " plain"));
            // The fan's hub from below and south, the lift's side from the south just over the
            // floor (it stands lowered until stood on), the door's face from the east, down the
            // corridor it closes.
            const struct {
                Vec3 target, fromTarget;
            } views[] = {
                {cellMiddle(plan, entity.cell, 4), Vec3(0, 0, cell)},
                {cellMiddle(plan, entity.cell, 80), Vec3(2 * cell, 0, 0)},
                {cellMiddle(plan, entity.cell, float(plan.height - fanDepth(plan))), Vec3(0, -48, 2 * cell)},
            };
            const auto& view = views[entity.kind == BrushKind::lift ? 0 : entity.kind == BrushKind::door ? 1 : 2];
            const Vec3 eye = view.target.plus(view.fromTarget);
            lookAt(*scene.camera, eye, view.target);
            scene.frame(true, true);
            const float toTarget = view.fromTarget.length();
            if (designed)
                EXPECT_LT(distanceAhead(), toTarget + 1);
            else
                EXPECT_GT(distanceAhead(), toTarget + 40);
        }
    }
}

// The shapes that are entities of their own, interleaved as a plan may hold them: each one's
// model is the next after the cells' (here none), its faces follow the previous model's, its one
// brush is solid on the record compilers write volumes on (or a wall's), and the entities it
// fires, each named by the one before, end where the shape sends the player.
TEST(BrushModelsTest, ShapeModelsFollowInPlanOrderAndFireTheirChainsToTheirTargets)
{
    const Plan plan = parsePlan("cell 64\nheight 256\n"
                                "shape trigger 64 64 0 128 128 32 96 300 180\n"
                                "shape button 192 64 0 256 128 8 224 300 160\n"
                                "shape pad 64 192 0 128 256 24 96 400 200 wall\n"
                                "shape hurt 192 192 0 256 256 32\n"
                                "map\n#######\n#.....#\n#.....#\n#.....#\n#..S..#\n#######\n",
                                "chain.plan");
    std::ostringstream quiet;
    const LevelData level = parseLevel("chain.bsp", serializeLevel(buildLevel(plan)), quiet);
    const std::vector<Entity> entities = EntityText::parse(level.entityText).entities;
    const auto named = [&](const std::string* name) {
        for (const Entity& entity : entities)
            if (name && entity.value("targetname") && *entity.value("targetname") == *name)
                return &entity;
        return static_cast<const Entity*>(nullptr);
    };
    const std::string volume = "textures/common/trigger", catalogue = "textures/verdanth/";
    const struct {
        std::vector<std::string> chain; // from the model's entity to what it sends to
        std::string record;
        int32_t flags, faces;
        std::array<float, 3> target;
    } cases[] = {
        {{"trigger_multiple", "target_push", "target_position"}, volume, 0x80, 0, {96, 300, 180}},
        {{"func_button", "target_relay", "target_push", "target_position"}, catalogue + plan.texture(Surface::Pillar), 0, 5,
         {224, 300, 160}},
        {{"trigger_push", "target_position"}, catalogue + plan.texture(Surface::AltWall), 0, 0, {96, 400, 200}},
        {{"trigger_hurt"}, volume, 0x80, 0, {}},
    };
    ASSERT_EQ(level.models.size(), std::size(cases) + 1);
    for (std::size_t m = 1; m <= std::size(cases); ++m) {
        const auto& c = cases[m - 1];
        SCOPED_TRACE(c.chain.front());
        const Model& model = level.models[m];
        const Model& before = level.models[m - 1];
        EXPECT_EQ(model.firstFace, before.firstFace + before.faceCount);
        EXPECT_EQ(model.faceCount, c.faces);
        for (int32_t f = model.firstFace; f < model.firstFace + model.faceCount; ++f)
            EXPECT_GE(level.faces[std::size_t(f)].lightmapIndex, 0) << "face " << f;
        ASSERT_EQ(model.brushCount, 1);
        const auto texture = std::size_t(level.brushes[std::size_t(model.firstBrush)].texture);
        EXPECT_EQ(level.textureNames[texture], c.record);
        EXPECT_EQ(level.textureFlags[texture], c.flags);
        EXPECT_EQ(level.textureContents[texture], LevelFormat::contentsSolid);

        const Entity* entity = nullptr;
        for (const Entity& candidate : entities)
            entity = candidate.inlineModel() == m ? &candidate : entity;
        for (const std::string& classname : c.chain) {
            ASSERT_NE(entity, nullptr) << classname;
            EXPECT_TRUE(entity->hasClass(classname)) << classname;
            if (&classname != &c.chain.back())
                entity = named(entity->value("target"));
        }
        std::array<float, 3> reached{};
        if (c.chain.size() > 1) {
            EXPECT_TRUE(entity->numbers("origin", reached.data(), 3) && reached == c.target);
        }
        EXPECT_EQ(entity->value("target"), nullptr);
    }
}
