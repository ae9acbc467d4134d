#include "../level/LevelWriter.h"

#include "visibility/BrushEntityVisibility.h"
#include "camera/Camera.h"
#include "camera/Frustum.h"
#include "level/LevelLoader.h"

#include <gtest/gtest.h>

#include <sstream>

using leveltest::LevelWriter;

namespace {

// Three open clusters and a solid leaf. File x < 0 is cluster 0; on x >= 0, file y >= 0 is
// cluster 1, and file y < 0 is cluster 2 below file z = 100, solid above. In the world (Y up):
// cluster 0 is x < 0; cluster 1 is x >= 0, z <= 0; cluster 2 is x >= 0, z > 0, y < 100.
// Cluster 0 sees 0 and 1, cluster 1 sees all three, cluster 2 only itself.
LevelData splitLevel(bool withVisibility)
{
    LevelWriter writer;
    writer.addTexture("t");
    writer.addPlane({1, 0, 0}, 0);
    writer.addPlane({0, 1, 0}, 0);
    writer.addPlane({0, 0, 1}, 100);
    writer.addNode(0, 1, -1);  // node 0
    writer.addNode(1, -2, 2);  // node 1
    writer.addNode(2, -4, -3); // node 2
    for (const int32_t cluster : {0, 1, 2, -1})
        writer.addLeaf(cluster, 0, 0);
    for (int face = 0; face < 8; ++face)
        writer.addFace({});
    if (withVisibility)
        writer.setVisibility(3, 1, {0b011, 0b111, 0b100});
    std::ostringstream quiet;
    return parseLevel("split.bsp", writer.bytes(), quiet);
}

BrushEntity entity(int32_t firstFace, int32_t faceCount, Vec3 low, Vec3 high)
{
    BrushEntity brush;
    brush.firstFace = firstFace;
    brush.faceCount = faceCount;
    brush.low = low;
    brush.high = high;
    return brush;
}

// World boxes, and the clusters of the leaves each reaches.
const struct {
    const char* where;
    BrushEntity entity;
    std::vector<int32_t> clusters;
} placed[] = {
    {"inside cluster 0", entity(0, 2, Vec3(-10, 0, -10), Vec3(-5, 50, -5)), {0}},
    {"across the first plane", entity(2, 1, Vec3(-5, 0, -5), Vec3(5, 50, -0.5f)), {0, 1}},
    {"touching it from behind: both sides", entity(3, 1, Vec3(-5, 0, -5), Vec3(0, 50, -0.5f)), {0, 1}},
    {"inside cluster 2", entity(4, 2, Vec3(5, 0, 5), Vec3(10, 50, 10)), {2}},
    {"in the solid leaf only", entity(6, 1, Vec3(5, 150, 5), Vec3(10, 200, 10)), {}},
    {"everywhere", entity(7, 1, Vec3(-500, -500, -500), Vec3(500, 500, 500)), {0, 1, 2}},
};

std::vector<BrushEntity> allPlaced()
{
    std::vector<BrushEntity> all;
    for (const auto& each : placed)
        all.push_back(each.entity);
    return all;
}

struct Eye {
    Frustum frustum;
    Camera camera{Point(0, 0, 0), &frustum};
    DrawnFaceSet drawn;
    std::vector<int> faces;

    Eye() { drawn.resize(8); }
    std::vector<int> gather(BrushEntityVisibility& visibility, int cluster)
    {
        faces.clear();
        drawn.clear();
        visibility.collectFaces(cluster, camera, drawn, faces);
        return faces;
    }
};

} // namespace

TEST(BrushEntityVisibilityTest, EachBoxReachesTheClustersOfTheLeavesItOverlaps)
{
    const LevelData level = splitLevel(true);
    const BrushEntityVisibility visibility(level, allPlaced());
    for (std::size_t e = 0; e < std::size(placed); ++e) {
        SCOPED_TRACE(placed[e].where);
        EXPECT_EQ(visibility.clustersOf(e), placed[e].clusters);
        EXPECT_FALSE(visibility.seenFromEverywhere(e));
    }
}

TEST(BrushEntityVisibilityTest, AnEntityPassesWhenTheEyesClusterSeesOneOfItsClusters)
{
    const LevelData level = splitLevel(true);
    BrushEntityVisibility visibility(level, allPlaced());
    Eye eye;
    eye.camera.disableCulling();
    // Faces by entity: 0 1 | 2 | 3 | 4 5 | 6 | 7
    EXPECT_EQ(eye.gather(visibility, 0), (std::vector<int>{0, 1, 2, 3, 7}));
    EXPECT_EQ(eye.gather(visibility, 1), (std::vector<int>{0, 1, 2, 3, 4, 5, 7}));
    EXPECT_EQ(eye.gather(visibility, 2), (std::vector<int>{4, 5, 7}));
    EXPECT_EQ(eye.gather(visibility, 0), (std::vector<int>{0, 1, 2, 3, 7})) << "back in cluster 0";
    // From outside every cluster everything passes, the entity in solid rock included.
    EXPECT_EQ(eye.gather(visibility, -1), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(visibility.isVisible(0, 0, eye.camera));
    EXPECT_FALSE(visibility.isVisible(3, 0, eye.camera));

    const LevelData open = splitLevel(false); // no visibility data: every cluster sees everything
    BrushEntityVisibility unculled(open, allPlaced());
    EXPECT_EQ(eye.gather(unculled, 2), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(BrushEntityVisibilityTest, AnEntityOutsideTheFrustumIsLeftOut)
{
    const LevelData level = splitLevel(false);
    BrushEntityVisibility visibility(level, allPlaced());
    Eye eye;
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    eye.frustum.extractPlanes(identity, identity); // the cube from -1 to 1 on every axis
    EXPECT_EQ(eye.gather(visibility, 0), (std::vector<int>{2, 3, 7})) << "only the boxes that reach the cube";
    eye.camera.disableCulling(); // 'v'
    EXPECT_EQ(eye.gather(visibility, 0).size(), 8u);
}
