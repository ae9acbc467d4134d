#include "visibility/PotentiallyVisibleSet.h"

#include "camera/Camera.h"
#include "visibility/Visibility.h"

PotentiallyVisibleSet::PotentiallyVisibleSet(const LevelData& level) : level(level)
{
    leaves.reserve(level.leaves.size());
}

void PotentiallyVisibleSet::findLeaves(int from)
{
    leaves.clear();
    for (std::size_t i = 0; i < level.leaves.size(); ++i)
        if (Visibility::canSee(level.visData.get(), from, level.leaves[i].cluster))
            leaves.push_back(int32_t(i));
    cluster = from;
    found = true;
}

void PotentiallyVisibleSet::collectFaces(int eyeCluster, const Camera& camera, DrawnFaceSet& drawnFaces,
                                         std::vector<int>& visibleFaces)
{
    if (!found || eyeCluster != cluster)
        findLeaves(eyeCluster);
    for (const int32_t index : leaves) {
        const Leaf& leaf = level.leaves[std::size_t(index)];
        if (camera.isLeafVisible(leaf))
            Visibility::appendFaces(level, leaf, drawnFaces, visibleFaces);
    }
}
