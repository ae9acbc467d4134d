#pragma once

#include "visibility/DrawnFaceSet.h"
#include "level/LevelData.h"
#include "math/Point.h"

#include <vector>

class Camera;

// Which leaf holds the eye, and which faces the level's visibility bits and the view
// frustum let through. Free of GL, so it runs on any parsed level; the loader has already
// checked every node, plane, leaf and leaf-face index and refused trees with cycles.
namespace Visibility {

// The leaf whose region holds `eye`; a point exactly on a splitting plane goes to the front.
int findLeaf(const LevelData& level, const Point& eye);

// Whether cluster `to` can be seen from cluster `from`. Without visibility bits, or from
// outside every cluster (from < 0), everything is visible; a leaf outside every cluster
// (to < 0) lies outside the playable space and is never visible from inside it.
bool canSee(const VisData* visData, int from, int to);

// Appends to `visibleFaces` the faces of every leaf that passes the cluster test and then the
// camera's frustum test, in leaf order, each face once (at its first appearance).
void collectFaces(const LevelData& level, int cluster, const Camera& camera, DrawnFaceSet& drawnFaces,
                  std::vector<int>& visibleFaces);

// Appends the faces of one leaf that are not in `drawnFaces` yet, in its order.
void appendFaces(const LevelData& level, const Leaf& leaf, DrawnFaceSet& drawnFaces, std::vector<int>& visibleFaces);

} // namespace Visibility
