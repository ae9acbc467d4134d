#include "visibility/BrushEntityVisibility.h"

#include "camera/Camera.h"
#include "visibility/Visibility.h"

#include <algorithm>

namespace {
// How far along `n` the box corner reaches that takes each coordinate from `withNormal` where n
// points that way and from `againstNormal` elsewhere: (high, low) is the farthest corner, (low,
// high) the nearest.
double alongNormal(const Vec3& n, const Vec3& withNormal, const Vec3& againstNormal)
{
    return double(n.getX()) * (n.getX() >= 0 ? withNormal.getX() : againstNormal.getX())
         + double(n.getY()) * (n.getY() >= 0 ? withNormal.getY() : againstNormal.getY())
         + double(n.getZ()) * (n.getZ() >= 0 ? withNormal.getZ() : againstNormal.getZ());
}
} // namespace

BrushEntityVisibility::BrushEntityVisibility(const LevelData& level, std::vector<BrushEntity> entities)
    : level(level), all(std::move(entities))
{
    reach.resize(all.size());
    candidates.reserve(all.size());
    // Stamped with the entity's number, so a node reached twice (the loader refuses cycles, not
    // shared children) is visited once per entity.
    std::vector<int32_t> nodeStamps(level.nodes.size(), -1);
    std::size_t visits = 0;
    for (std::size_t e = 0; e < all.size(); ++e)
        findClusters(all[e], nodeStamps, visits);
}

void BrushEntityVisibility::findClusters(const BrushEntity& entity, std::vector<int32_t>& nodeStamps,
                                         std::size_t& visits)
{
    Reach& entityReach = reach[std::size_t(&entity - all.data())];
    const int32_t stamp = int32_t(&entity - all.data());
    std::vector<int32_t> found;
    std::vector<int32_t> pending{0};
    while (!pending.empty()) {
        const int32_t index = pending.back();
        pending.pop_back();
        if (index < 0) {
            if (const int32_t cluster = level.leaves[std::size_t(-(index + 1))].cluster; cluster >= 0)
                found.push_back(cluster);
            continue;
        }
        if (nodeStamps[std::size_t(index)] == stamp)
            continue;
        nodeStamps[std::size_t(index)] = stamp;
        if (++visits > nodeVisitBudget) {
            entityReach.everywhere = true;
            return;
        }
        const Node& node = level.nodes[std::size_t(index)];
        const Plane& plane = level.planes[std::size_t(node.plane)];
        // The box's corners farthest along and against the normal; a point on the plane goes to
        // the front, as Visibility::findLeaf sends the eye.
        const double farthest = alongNormal(plane.normal, entity.high, entity.low);
        const double nearest = alongNormal(plane.normal, entity.low, entity.high);
        if (farthest >= plane.distance)
            pending.push_back(node.children[0]);
        if (nearest < plane.distance)
            pending.push_back(node.children[1]);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    if (found.size() > maxClusters) {
        entityReach.everywhere = true;
        return;
    }
    entityReach.first = clusters.size();
    entityReach.count = found.size();
    clusters.insert(clusters.end(), found.begin(), found.end());
}

std::vector<int32_t> BrushEntityVisibility::clustersOf(std::size_t entity) const
{
    const Reach& entityReach = reach[entity];
    const auto first = clusters.begin() + std::ptrdiff_t(entityReach.first);
    return std::vector<int32_t>(first, first + std::ptrdiff_t(entityReach.count));
}

bool BrushEntityVisibility::seenFrom(int eyeCluster, const Reach& entityReach) const
{
    // Seeing the outside of every cluster means the eye sees everything (no visibility data, or
    // an eye outside every cluster).
    if (entityReach.everywhere || Visibility::canSee(level.visData.get(), eyeCluster, -1))
        return true;
    for (std::size_t c = entityReach.first; c < entityReach.first + entityReach.count; ++c)
        if (Visibility::canSee(level.visData.get(), eyeCluster, clusters[c]))
            return true;
    return false;
}

void BrushEntityVisibility::seeFrom(int eyeCluster)
{
    if (candidatesFound && candidatesCluster == eyeCluster)
        return;
    candidates.clear();
    for (std::size_t e = 0; e < all.size(); ++e)
        if (seenFrom(eyeCluster, reach[e]))
            candidates.push_back(uint32_t(e));
    candidatesCluster = eyeCluster;
    candidatesFound = true;
}

bool BrushEntityVisibility::isVisible(std::size_t entity, int eyeCluster, const Camera& camera) const
{
    return seenFrom(eyeCluster, reach[entity]) && camera.isBoxVisible(all[entity].low, all[entity].high);
}

void BrushEntityVisibility::collectFaces(int eyeCluster, const Camera& camera, DrawnFaceSet& drawnFaces,
                                         std::vector<int>& visibleFaces)
{
    seeFrom(eyeCluster);
    for (const uint32_t e : candidates) {
        const BrushEntity& entity = all[e];
        if (reach[e].leftOut || !camera.isBoxVisible(entity.low, entity.high))
            continue;
        for (int32_t face = entity.firstFace; face < entity.firstFace + entity.faceCount; ++face)
            if (drawnFaces.insert(face))
                visibleFaces.push_back(face);
    }
}
