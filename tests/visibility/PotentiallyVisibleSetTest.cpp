#include "../level/LevelWriter.h"

#include "camera/Camera.h"
#include "camera/Frustum.h"
#include "visibility/PotentiallyVisibleSet.h"
#include "visibility/Visibility.h"
#include "level/LevelLoader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using leveltest::LevelWriter;

// The set found once per cluster must gather what the pass over every leaf gathers, face for
// face and in the same order, whichever way the eye turns and however its cluster changes.
TEST(PotentiallyVisibleSetTest, GathersWhatThePassOverAllLeavesGathersAsTheClusterChanges)
{
    // Six leaves in a ring around the origin (file x, y), each 100 units across, in clusters 0
    // to 2 and one outside every cluster; faces shared between leaves come once.
    LevelWriter writer;
    writer.addTexture("t");
    writer.addPlane({1.0f, 0.0f, 0.0f}, 0.0f);
    writer.addNode(0, -1, -2, {-1000, -1000, -1000}, {1000, 1000, 1000});
    const struct {
        int32_t cluster;
        int x, y;
        std::vector<int32_t> faces;
    } leaves[] = {{0, 300, 0, {0, 1}},  {1, 0, 300, {2}},     {2, -300, 0, {3, 1}},
                  {1, 0, -300, {4, 5}}, {-1, 200, 200, {6}}, {0, -200, -200, {5, 7}}};
    int32_t first = 0;
    for (const auto& leaf : leaves) {
        writer.addLeaf(leaf.cluster, first, int32_t(leaf.faces.size()), 0, 0, {leaf.x - 50, leaf.y - 50, -50},
                       {leaf.x + 50, leaf.y + 50, 50});
        for (const int32_t face : leaf.faces)
            writer.addLeafFace(face);
        first += int32_t(leaf.faces.size());
    }
    for (int i = 0; i < 8; ++i)
        writer.addFace({});
    writer.setVisibility(3, 1, {0b011, 0b110, 0b101});
    std::ostringstream quiet;
    const LevelData level = parseLevel("ring.bsp", writer.bytes(), quiet);

    Frustum frustum;
    Camera camera(Point(0, 0, 0), &frustum);
    PotentiallyVisibleSet set(level);
    DrawnFaceSet drawn;
    drawn.resize(level.faces.size());
    std::vector<int> expected;
    std::vector<int> gathered;
    // A box-shaped view 250 units either way, turned about the vertical: some leaves of the ring
    // are inside at some turns only.
    const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const int clusters[] = {0, 0, 1, 1, 2, -1, -1, 0, 2, 1};
    std::size_t sizes = 0;
    int stepsWithLeavesOutside = 0;
    Camera unculled(Point(0, 0, 0), &frustum);
    unculled.disableCulling();
    std::vector<int> unseen;
    for (int step = 0; step < 40; ++step) {
        const int cluster = clusters[step % 10];
        const float turn = float(step) * 0.23f;
        const float c = std::cos(turn) / 250.0f;
        const float s = std::sin(turn) / 250.0f;
        const float view[16] = {c, 0, -s, 0, 0, 1.0f / 250.0f, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
        frustum.extractPlanes(projection, view);
        expected.clear();
        drawn.clear();
        Visibility::collectFaces(level, cluster, camera, drawn, expected);
        gathered.clear();
        drawn.clear();
        set.collectFaces(cluster, camera, drawn, gathered);
        EXPECT_EQ(gathered, expected) << "step " << step << ", cluster " << cluster;
        sizes += expected.size();
        unseen.clear();
        drawn.clear();
        Visibility::collectFaces(level, cluster, unculled, drawn, unseen);
        stepsWithLeavesOutside += unseen.size() > expected.size() ? 1 : 0;
    }
    EXPECT_GT(sizes, 0u) << "the view lets faces through";
    EXPECT_GT(stepsWithLeavesOutside, 0) << "and holds some back";
}
