#pragma once

#include "visibility/DrawnFaceSet.h"
#include "level/BrushEntity.h"
#include "level/LevelData.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class Camera;

// Which brush entities the eye may see. At load each entity's world box is sent down the BSP
// tree to every leaf it reaches, and the clusters of those leaves are kept; a frame passes an
// entity when the eye's cluster sees one of them (as Visibility::canSee decides for leaves) and
// its box passes the camera's frustum. Bounded: an entity reaching more than maxClusters
// clusters, or found after the load's budget of node visits is spent, counts as seen from
// everywhere. Sized at load; a frame never allocates.
class BrushEntityVisibility {
public:
    static constexpr std::size_t maxClusters = 256;       // per entity
    static constexpr std::size_t nodeVisitBudget = 1 << 22; // over all entities, at load

    BrushEntityVisibility(const LevelData& level, std::vector<BrushEntity> entities);

    const std::vector<BrushEntity>& entities() const { return all; }
    // Entity i's clusters, sorted, each once; empty when it counts as seen from everywhere or
    // its box reaches only leaves outside every cluster.
    std::vector<int32_t> clustersOf(std::size_t entity) const;
    bool seenFromEverywhere(std::size_t entity) const { return reach[entity].everywhere; }

    // Whether entity i passes both tests from the eye's cluster (negative: outside every cluster).
    bool isVisible(std::size_t entity, int eyeCluster, const Camera& camera) const;
    // Entity i's faces are drawn elsewhere (it moves): collectFaces passes over it.
    void leaveOut(std::size_t entity, bool leftOut = true) { reach[entity].leftOut = leftOut; }
    // Appends the faces of every entity that passes, in entity order, each face once.
    void collectFaces(int eyeCluster, const Camera& camera, DrawnFaceSet& drawnFaces, std::vector<int>& visibleFaces);

private:
    struct Reach {
        std::size_t first = 0; // into clusters
        std::size_t count = 0;
        bool everywhere = false;
        bool leftOut = false;
    };

    void findClusters(const BrushEntity& entity, std::vector<int32_t>& nodeStamps, std::size_t& visits);
    void seeFrom(int eyeCluster); // the entities the cluster sees, kept until it changes
    bool seenFrom(int eyeCluster, const Reach& entityReach) const;

    const LevelData& level;
    std::vector<BrushEntity> all;
    std::vector<Reach> reach; // by entity
    std::vector<int32_t> clusters;
    std::vector<uint32_t> candidates; // the entities the current cluster sees
    int candidatesCluster = 0;
    bool candidatesFound = false;
};
