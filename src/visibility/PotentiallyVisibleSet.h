#pragma once

#include "visibility/DrawnFaceSet.h"
#include "level/LevelData.h"

#include <cstdint>
#include <vector>

class Camera;

// The leaves one cluster can see, found once when the eye's cluster changes, so a frame tests
// only those against the frustum: the same faces, in the same order, as Visibility::collectFaces,
// for the work of the visible part of the level rather than of all its leaves. Sized at
// construction; gathering never allocates.
class PotentiallyVisibleSet {
public:
    explicit PotentiallyVisibleSet(const LevelData& level); // the level outlives the set

    // Appends to `visibleFaces` the faces of every leaf `cluster` sees that passes the camera's
    // frustum test, in leaf order, each face once.
    void collectFaces(int cluster, const Camera& camera, DrawnFaceSet& drawnFaces, std::vector<int>& visibleFaces);

    std::size_t leafCount() const { return leaves.size(); } // of the current cluster

private:
    void findLeaves(int cluster);

    const LevelData& level;
    std::vector<int32_t> leaves; // the current cluster's, in leaf order
    int cluster = 0;
    bool found = false;
};
