#include "LevelBuilder.h"
#include "LevelWriter.h"
#include "MazeGenerator.h"
#include "Plan.h"

#include "simulation/CollisionWorld.h"
#include "level/FogVolume.h"
#include "level/LevelFormatError.h"
#include "level/LevelLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <sstream>
#include <string>

// Levels from the builder, read back through the viewer's own loader, which validates every
// index: what the two agree on here, the viewer will see.
namespace {

const char* const everythingPlan = "cell 64\nheight 128\nmap\n"
                                   "########\n"
                                   "#L.O..L#\n"
                                   "%,,M,B.#\n"
                                   "##A#####\n"
                                   "#.S...L#\n"
                                   "########\n";

LevelData load(const Level& level, std::string* transcript = nullptr)
{
    const std::vector<uint8_t> bytes = serializeLevel(level);
    std::ostringstream log;
    LevelData data = parseLevel("built.bsp", bytes, log);
    if (transcript)
        *transcript = log.str();
    return data;
}

using World = std::array<float, 3>;

World worldOf(const float* p)
{
    return {p[0], p[1], p[2]};
}

World minus(World a, World b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

World crossProduct(World a, World b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float dotProduct(World a, World b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The viewer's leaf search, written out again over the loaded (Y-up) data.
int leafAt(const LevelData& level, World p)
{
    int i = 0;
    while (i >= 0) {
        const Node& node = level.nodes.at(static_cast<size_t>(i));
        const Plane& plane = level.planes.at(static_cast<size_t>(node.plane));
        const Vec3 n = plane.getNormal();
        const float d = n.getX() * p[0] + n.getY() * p[1] + n.getZ() * p[2] - plane.getDistance();
        i = node.children[d >= 0.0f ? 0 : 1];
    }
    return -(i + 1);
}

TEST(LevelReadBackTest, TheViewersLoaderAcceptsEveryIndexAndCountsMatch)
{
    const Level built = buildLevel(parsePlan(everythingPlan, "all.plan"));
    std::string transcript;
    LevelData level;
    ASSERT_NO_THROW(level = load(built, &transcript));
    EXPECT_NE(transcript.find("version: 46"), std::string::npos);
    EXPECT_EQ(level.magic, "IBSP");
    EXPECT_EQ(level.faces.size(), built.faces.size());
    EXPECT_EQ(level.vertices.size(), built.vertices.size());
    EXPECT_EQ(level.leaves.size(), built.leaves.size());
    EXPECT_EQ(level.nodes.size(), built.nodes.size());
    EXPECT_EQ(level.brushes.size(), built.brushes.size());
    EXPECT_EQ(level.textureNames.size(), built.textures.size());
    EXPECT_EQ(level.lightmapCount, built.lightmapCount());
    EXPECT_GE(level.lightmapCount, 1);
    ASSERT_EQ(level.models.size(), 1u);
    EXPECT_EQ(level.models[0].faceCount, static_cast<int32_t>(level.faces.size()));
    ASSERT_TRUE(level.visData);
    EXPECT_GT(level.visData->clusterCount, 1);
    EXPECT_NE(level.entityText.find("\"classname\" \"info_player_deathmatch\""), std::string::npos);

    std::set<int> types;
    for (const Face& face : level.faces)
        types.insert(face.type);
    EXPECT_EQ(types, (std::set<int>{1, 2, 3, 4}));

    // The pillar is one 9 x 3 grid of four patches; the arch's underside a 5 x 3 grid of two.
    std::multiset<std::pair<int, int>> patchGrids;
    for (const Face& face : level.faces) {
        if (face.type == LevelFormat::Patch) {
            patchGrids.insert({face.patchSize[0], face.patchSize[1]});
            EXPECT_EQ(face.patches.size(), face.patchSize[0] == 9 ? 4u : 2u);
        }
    }
    EXPECT_EQ(patchGrids.count({9, 3}), 1u);
    EXPECT_EQ(patchGrids.count({5, 3}), 3u);

    // Every face is listed by at least one leaf, and only open leaves list faces.
    std::vector<int> listed(level.faces.size(), 0);
    for (const Leaf& leaf : level.leaves) {
        if (leaf.cluster < 0) {
            EXPECT_EQ(leaf.leafFaceCount, 0);
        }
        for (int32_t i = 0; i < leaf.leafFaceCount; ++i)
            ++listed.at(static_cast<size_t>(level.leafFaces.at(static_cast<size_t>(leaf.firstLeafFace + i))));
    }
    for (size_t f = 0; f < listed.size(); ++f)
        EXPECT_EQ(listed[f], 1) << "face " << f;
}

TEST(LevelReadBackTest, PolygonsAndMeshesAreClockwiseSeenFromTheOpenSide)
{
    const LevelData level = load(buildLevel(parsePlan(everythingPlan, "all.plan")));
    int triangles = 0;
    for (const Face& face : level.faces) {
        if (face.type != LevelFormat::Polygon && face.type != LevelFormat::Mesh)
            continue;
        ASSERT_EQ(face.meshVertexCount % 3, 0);
        for (int32_t i = 0; i < face.meshVertexCount; i += 3) {
            const auto corner = [&](int k) {
                const int32_t offset = level.meshVertices.at(static_cast<size_t>(face.firstMeshVertex + i + k));
                return level.vertices.at(static_cast<size_t>(face.firstVertex + offset));
            };
            const Vertex a = corner(0);
            const Vertex b = corner(1);
            const Vertex c = corner(2);
            // In the viewer's right-handed world a triangle whose corners turn against its
            // front normal is clockwise on screen when seen from the front.
            const World turn = crossProduct(minus(worldOf(b.position), worldOf(a.position)),
                                            minus(worldOf(c.position), worldOf(a.position)));
            EXPECT_LT(dotProduct(turn, worldOf(a.normal)), 0.0f);
            ++triangles;
        }
    }
    EXPECT_GT(triangles, 50);
}

TEST(LevelReadBackTest, WallsFloorsAndCeilingsFaceTheOpenSpace)
{
    const LevelData level = load(buildLevel(parsePlan(everythingPlan, "all.plan")));
    int walls = 0;
    for (const Face& face : level.faces) {
        if (face.type != LevelFormat::Polygon)
            continue;
        World centre{0.0f, 0.0f, 0.0f};
        for (int32_t v = 0; v < face.vertexCount; ++v) {
            const Vertex& vertex = level.vertices.at(static_cast<size_t>(face.firstVertex + v));
            for (int k = 0; k < 3; ++k)
                centre[static_cast<size_t>(k)] += vertex.position[k] / static_cast<float>(face.vertexCount);
        }
        const World n = worldOf(face.normal);
        const World front{centre[0] + 4.0f * n[0], centre[1] + 4.0f * n[1], centre[2] + 4.0f * n[2]};
        const World behind{centre[0] - 4.0f * n[0], centre[1] - 4.0f * n[1], centre[2] - 4.0f * n[2]};
        EXPECT_GE(level.leaves.at(static_cast<size_t>(leafAt(level, front))).cluster, 0);
        if (std::abs(n[1]) < 0.5f) { // a wall: solid rock behind it
            EXPECT_EQ(level.leaves.at(static_cast<size_t>(leafAt(level, behind))).cluster, -1);
            ++walls;
        }
    }
    EXPECT_GT(walls, 10);
}

TEST(LevelReadBackTest, TheStartLiesInAnOpenLeafThatSeesItself)
{
    const Plan plan = parsePlan(everythingPlan, "all.plan");
    const LevelData level = load(buildLevel(plan));
    const WorldPosition start = startPosition(plan);
    EXPECT_EQ(start.x, 2 * 64 + 32);
    EXPECT_EQ(start.z, -(1 * 64 + 32)); // row 4 of 6 is the second from the south
    EXPECT_GT(start.y, 16);
    EXPECT_LT(start.y, 128);
    const Leaf& leaf = level.leaves.at(static_cast<size_t>(
        leafAt(level, {static_cast<float>(start.x), static_cast<float>(start.y), static_cast<float>(start.z)})));
    ASSERT_GE(leaf.cluster, 0);
    const VisData& vis = *level.visData;
    EXPECT_TRUE(vis.bits.at(static_cast<size_t>(leaf.cluster) * vis.bytesPerCluster + (leaf.cluster >> 3)) &
                (1 << (leaf.cluster & 7)));
    // Leaf boxes are held Y-up and not re-sorted: the third component of mins is the larger.
    EXPECT_LE(leaf.mins[0], start.x);
    EXPECT_GE(leaf.maxs[0], start.x);
    EXPECT_GE(leaf.mins[2], start.z);
    EXPECT_LE(leaf.maxs[2], start.z);
}

TEST(LevelReadBackTest, AGeneratedMazeLoads)
{
    const Level built = buildLevel(generateMaze(97, 65, 5));
    LevelData level;
    ASSERT_NO_THROW(level = load(built));
    EXPECT_EQ(level.faces.size(), built.faces.size());
    EXPECT_GT(level.leaves.size(), 500u);
    EXPECT_EQ(level.visData->clusterCount, built.visibility.clusterCount);
}

} // namespace

// A 2 x 2 fog pit in the west of a 4 x 2 room, 160 high: fog from the floor to 64 units up over
// file x 64..192, y 64..192 (world z -192..-64).
TEST(LevelReadBackTest, AFogPitIsWrittenAsTheFormatRecordsFogAndReadBackAsAVolume)
{
    const Level built = buildLevel(parsePlan("height 160\nmap\n######\n#PP..#\n#PP.S#\n######\n", "pit.plan"));
    const LevelData level = load(built);
    EXPECT_TRUE(level.notices.empty());
    ASSERT_EQ(level.effects.size(), 1u);
    EXPECT_EQ(level.effects[0].material, "textures/pit/fog");
    const std::vector<FogVolume> volumes = FogVolume::allOf(level);
    ASSERT_EQ(volumes.size(), 1u);
    const FogVolume& fog = volumes[0];
    EXPECT_EQ(fog.mins, (std::array<float, 3>{64, 0, -192}));
    EXPECT_EQ(fog.maxs, (std::array<float, 3>{192, 64, -64}));
    ASSERT_GE(fog.visibleSide, 0);
    EXPECT_EQ(fog.planes[std::size_t(fog.visibleSide)].normal.getY(), 1.0f) << "the surface is the top side";
    EXPECT_TRUE(fog.contains({128, 32, -128}));
    EXPECT_FALSE(fog.contains({128, 100, -128}));
    const std::vector<int32_t>& leafBrushes = level.leafBrushes;
    EXPECT_NE(std::find(leafBrushes.begin(), leafBrushes.end(), level.effects[0].brush), leafBrushes.end())
        << "a leaf of the pit lists the fog's brush";

    const auto inFootprint = [](const Vertex& v) {
        return v.position[0] >= 64 && v.position[0] <= 192 && v.position[2] >= -192 && v.position[2] <= -64;
    };
    int surfaces = 0;
    for (std::size_t f = 0; f < level.faces.size(); ++f) {
        const Face& face = level.faces[f];
        bool allInFootprint = true;
        bool allInFog = true;
        float lowest = 1e9f;
        for (int32_t v = face.firstVertex; v < face.firstVertex + face.vertexCount; ++v) {
            const Vertex& vertex = level.vertices[std::size_t(v)];
            allInFootprint = allInFootprint && inFootprint(vertex);
            allInFog = allInFog && inFootprint(vertex) && vertex.position[1] <= 64;
            lowest = std::min(lowest, vertex.position[1]);
        }
        if (level.textureNames[std::size_t(face.texture)] == "textures/pit/fog") {
            ++surfaces;
            EXPECT_EQ(lowest, 64.0f) << "fog surface " << f;
        }
        if (face.effect == 0) {
            EXPECT_TRUE(allInFootprint && lowest <= 64) << "face " << f << " is in the fog but lies outside it";
        }
        if (allInFog) {
            EXPECT_EQ(face.effect, 0) << "face " << f << " lies in the fog but does not say so";
        }
        if (!allInFootprint) {
            EXPECT_EQ(face.effect, -1) << "face " << f;
        }
    }
    EXPECT_EQ(surfaces, 4) << "one surface face per fog cell";
}

// What a walker finds through the tree at points of a 4 x 2 room 160 high, a pool and a lava
// floor in its north-west: the floor and ceiling slabs, the pool's water up to its surface
// (6% of the height, 10 units) and the lava's first units; the air between holds nothing.
TEST(LevelReadBackTest, LeavesListBrushesOfTheContentsAWalkerMeets)
{
    const LevelData level = load(buildLevel(parsePlan("height 160\nmap\n######\n#~^..#\n#...S#\n######\n", "wet.plan")));
    const CollisionWorld world(level, {});
    EXPECT_EQ(world.skippedBrushes(), 0u);
    const struct {
        const char* where;
        Float3 point; // world coordinates: file x, z, -y
        int32_t contents;
    } points[] = {
        {"under the floor", {96, -1, -96}, LevelFormat::contentsSolid},
        {"over the ceiling", {96, 161, -96}, LevelFormat::contentsSolid},
        {"in the air", {96, 80, -96}, 0},
        {"in the pool", {96, 5, -160}, LevelFormat::contentsWater},
        {"over the pool", {96, 12, -160}, 0},
        {"on the lava", {160, 2, -160}, LevelFormat::contentsLava},
        {"in the wall", {32, 80, -96}, LevelFormat::contentsSolid},
    };
    for (const auto& p : points)
        EXPECT_EQ(world.contentsAt(p.point, {}), p.contents) << p.where;
}
