#include "visibility/Visibility.h"

#include "camera/Camera.h"

namespace Visibility {
namespace {
// Bit k of one cluster's vector; a negative cluster lies outside the playable space.
bool bitSet(const unsigned char* vector, int k) { return k >= 0 && ((vector[k >> 3] >> (k & 7)) & 1) != 0; }

bool seesEverything(const VisData* visData, int from)
{
    return visData == nullptr || visData->clusterCount == 0 || from < 0;
}

const unsigned char* vectorOf(const VisData& visData, int cluster)
{
    return visData.bits.data() + std::size_t(cluster) * std::size_t(visData.bytesPerCluster);
}
} // namespace

int findLeaf(const LevelData& level, const Point& eye)
{
    int index = 0;
    while (index >= 0) {
        const Node& node = level.nodes[std::size_t(index)];
        const Plane& plane = level.planes[std::size_t(node.plane)];
        // The dot product is rounded to single precision before the distance is subtracted.
        const float dot = plane.normal.getX() * eye.getX() + plane.normal.getY() * eye.getY()
                        + plane.normal.getZ() * eye.getZ();
        const float distance = dot - plane.distance;
        index = distance >= 0.0f ? node.children[0] : node.children[1];
    }
    return -(index + 1);
}

bool canSee(const VisData* visData, int from, int to)
{
    return seesEverything(visData, from) || bitSet(vectorOf(*visData, from), to);
}

void collectFaces(const LevelData& level, int cluster, const Camera& camera, DrawnFaceSet& drawnFaces,
                  std::vector<int>& visibleFaces)
{
    const VisData* visData = level.visData.get();
    // The eye's bit vector is found once; every leaf then costs one bit test.
    const unsigned char* seen = seesEverything(visData, cluster) ? nullptr : vectorOf(*visData, cluster);
    for (const Leaf& leaf : level.leaves) {
        if ((seen != nullptr && !bitSet(seen, leaf.cluster)) || !camera.isLeafVisible(leaf))
            continue;
        appendFaces(level, leaf, drawnFaces, visibleFaces);
    }
}

void appendFaces(const LevelData& level, const Leaf& leaf, DrawnFaceSet& drawnFaces, std::vector<int>& visibleFaces)
{
    const int32_t* leafFaces = level.leafFaces.data() + leaf.firstLeafFace;
    for (int32_t j = 0; j < leaf.leafFaceCount; ++j) {
        const int face = leafFaces[j];
        if (drawnFaces.insert(face))
            visibleFaces.push_back(face);
    }
}

} // namespace Visibility
