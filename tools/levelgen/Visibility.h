#pragma once

#include "Clusters.h"
#include "Level.h"

#include <vector>

// Potentially visible sets between clusters, in the plane of the grid: walls are full
// height, so a line of sight is blocked exactly when its projection onto the grid passes
// through a solid cell. Pillars, arches and objects never count as blockers.
//
// The sets come from portal flow: from each portal of a cluster, sight lines are followed
// through the chain of portals beyond it, and at every step the next portal is clipped to
// the part that some line through the source and the last portal can reach. Clipping
// only ever removes points that no such line reaches, so the result is conservative; it
// is then made symmetric, and every cluster sees itself.

struct Point2 {
    double x = 0.0; // grid columns
    double y = 0.0; // grid rows
};

struct Segment2 {
    Point2 a;
    Point2 b;
};

struct Portal {
    int neighbour = 0; // the cluster on the other side
    Segment2 segment;
};

// The open boundaries of every cluster, in grid units (cell corners at whole numbers).
std::vector<std::vector<Portal>> findPortals(const ClusterMap& clusters);

// The part of `target` from which a line passes through `pass` and then reaches
// `source`, as a sub-segment of `target`; false when there is none.
bool clipThroughPortal(const Segment2& source, const Segment2& pass, const Segment2& target, Segment2& visible);

VisibilityRecord computeVisibility(const ClusterMap& clusters);
