#include "../level/LevelWriter.h"

#include "camera/Camera.h"
#include "level/LevelLoader.h"
#include "camera/Frustum.h"
#include "visibility/Visibility.h"

#include <gtest/gtest.h>

#include <sstream>

using leveltest::LevelWriter;

namespace {
LevelData parse(const LevelWriter& writer)
{
    std::ostringstream quiet;
    return parseLevel("test.bsp", writer.bytes(), quiet);
}

// A camera that lets every leaf through the frustum, so only the visibility bits decide.
struct Gatherer {
    Frustum frustum;
    Camera camera{Point(0, 0, 0), &frustum};
    DrawnFaceSet drawn;
    std::vector<int> faces;

    explicit Gatherer(const LevelData& level)
    {
        camera.disableCulling();
        drawn.resize(level.faces.size());
    }
    std::vector<int> gather(const LevelData& level, int cluster)
    {
        faces.clear();
        drawn.clear();
        Visibility::collectFaces(level, cluster, camera, drawn, faces);
        return faces;
    }
};

// Four faces with no geometry; leaves list them as given. Node 0 splits on file x = 0.
LevelWriter leavesLevel(const std::vector<std::pair<int, std::vector<int>>>& leaves)
{
    LevelWriter writer;
    writer.addTexture("t");
    writer.addPlane({1.0f, 0.0f, 0.0f}, 0.0f);
    writer.addNode(0, -1, -2);
    int first = 0;
    for (const auto& [cluster, faces] : leaves) {
        writer.addLeaf(cluster, first, int32_t(faces.size()));
        for (int face : faces)
            writer.addLeafFace(face);
        first += int(faces.size());
    }
    for (int i = 0; i < 4; ++i)
        writer.addFace({});
    return writer;
}
} // namespace

TEST(LeafVisibilityTest, EyeOnTheSplittingPlaneGoesToTheFront)
{
    const LevelData level = parse(leavesLevel({{0, {}}, {1, {}}}));
    EXPECT_EQ(Visibility::findLeaf(level, Point(0.0f, 5.0f, 5.0f)), 0);
    EXPECT_EQ(Visibility::findLeaf(level, Point(0.5f, 0.0f, 0.0f)), 0);
    EXPECT_EQ(Visibility::findLeaf(level, Point(-0.5f, 0.0f, 0.0f)), 1);
}

TEST(LeafVisibilityTest, FacesComeOnceInLeafOrderThroughTheBits)
{
    // Cluster 0 sees clusters 0 and 2, cluster 1 sees only itself, cluster 2 sees all.
    LevelWriter writer = leavesLevel({{0, {3, 1}}, {1, {2, 1}}, {2, {1, 0}}, {-1, {2}}, {0, {}}});
    writer.setVisibility(3, 1, {0b101, 0b010, 0b111});
    const LevelData level = parse(writer);
    Gatherer gatherer(level);
    EXPECT_EQ(gatherer.gather(level, 0), (std::vector<int>{3, 1, 0}));
    EXPECT_EQ(gatherer.gather(level, 1), (std::vector<int>{2, 1}));
    EXPECT_EQ(gatherer.gather(level, 2), (std::vector<int>{3, 1, 2, 0}));
    // From outside every cluster everything passes, the solid leaf's faces included.
    EXPECT_EQ(gatherer.gather(level, -1), (std::vector<int>{3, 1, 2, 0}));
}

TEST(LeafVisibilityTest, WithoutVisibilityDataEveryLeafPasses)
{
    const LevelData level = parse(leavesLevel({{5, {0}}, {-1, {1}}, {7, {2, 0}}}));
    ASSERT_EQ(level.visData, nullptr);
    Gatherer gatherer(level);
    EXPECT_EQ(gatherer.gather(level, 5), (std::vector<int>{0, 1, 2}));
}

TEST(LeafVisibilityTest, BitOfAClusterIsFoundInItsOwnVector)
{
    // c = 2, four bytes per cluster, a leaf in cluster 9: byte 2 * 4 + 1 with mask 2.
    std::vector<unsigned char> lump{10, 0, 0, 0, 4, 0, 0, 0};
    lump.resize(8 + 40, 0);
    lump[8 + 9] = 0x02;
    const VisData vis(lump.data(), lump.size());
    EXPECT_TRUE(Visibility::canSee(&vis, 2, 9));
    EXPECT_FALSE(Visibility::canSee(&vis, 2, 8));
    EXPECT_FALSE(Visibility::canSee(&vis, 1, 9));
    EXPECT_FALSE(Visibility::canSee(&vis, 2, -1)); // never reads before the vector
    EXPECT_TRUE(Visibility::canSee(&vis, -1, 9));
    EXPECT_TRUE(Visibility::canSee(nullptr, 2, 9));
}

TEST(LeafVisibilityTest, FrustumRemovesLeavesOnlyWhileCullingIsOn)
{
    LevelWriter writer;
    writer.addTexture("t");
    writer.addPlane({1.0f, 0.0f, 0.0f}, 0.0f);
    writer.addNode(0, -1, -2);
    // Leaf 0 ahead of the eye (world -Z is file +Y), leaf 1 behind it.
    writer.addLeaf(0, 0, 1, 0, 0, {-10, 90, -10}, {10, 110, 10});
    writer.addLeaf(0, 1, 1, 0, 0, {-10, -110, -10}, {10, -90, 10});
    writer.addLeafFace(0);
    writer.addLeafFace(1);
    writer.addFace({});
    writer.addFace({});
    const LevelData level = parse(writer);

    float projection[16] = {}; // gluPerspective(90, 1, 1, 1000)
    projection[0] = projection[5] = 1.0f;
    projection[10] = -1001.0f / 999.0f;
    projection[11] = -1.0f;
    projection[14] = -2000.0f / 999.0f;
    float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    Gatherer gatherer(level);
    gatherer.frustum.extractPlanes(projection, identity);
    gatherer.camera.enableCulling();
    EXPECT_EQ(gatherer.gather(level, 0), std::vector<int>{0});
    gatherer.camera.disableCulling();
    EXPECT_EQ(gatherer.gather(level, 0), (std::vector<int>{0, 1}));
}
