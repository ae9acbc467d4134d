#include "render/Visibility.h"

#include "camera/Camera.h"

namespace Visibility {

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
    if (visData == nullptr || visData->clusterCount == 0 || from < 0)
        return true;
    if (to < 0)
        return false;
    const std::size_t byte = std::size_t(from) * std::size_t(visData->bytesPerCluster) + std::size_t(to >> 3);
    return (visData->bits[byte] & (1u << (to & 7))) != 0;
}

void collectFaces(const LevelData& level, int cluster, const Camera& camera, DrawnFaceSet& drawnFaces,
                  std::vector<int>& visibleFaces)
{
    const VisData* visData = level.visData.get();
    for (const Leaf& leaf : level.leaves) {
        if (!canSee(visData, cluster, leaf.cluster) || !camera.isLeafVisible(leaf))
            continue;
        const int32_t* leafFaces = level.leafFaces.data() + leaf.firstLeafFace;
        for (int32_t j = 0; j < leaf.leafFaceCount; ++j) {
            const int face = leafFaces[j];
            if (drawnFaces.insert(face))
                visibleFaces.push_back(face);
        }
    }
}

} // namespace Visibility
