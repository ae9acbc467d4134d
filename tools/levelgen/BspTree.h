#pragma once

#include "Clusters.h"

#include <vector>

// An axis-aligned BSP tree over the grid, split only on cell boundaries, whose leaves are
// rectangles of cells that all belong to one cluster or are all solid. The tree covers
// the grid plus a one-cell solid border, so every point outside the level falls into a
// solid leaf and the root is always a node.
struct GridRegion {
    int column0 = 0; // half-open: [column0, column1) x [row0, row1), border at -1 and columns/rows
    int row0 = 0;
    int column1 = 0;
    int row1 = 0;
};

struct BspSplit {
    bool acrossColumns = true; // split on the vertical line x = line (else the horizontal line y = line)
    int line = 0;              // grid boundary index: column or row
    int front = 0;             // larger columns, or smaller rows (larger file y); file encoding of children
    int back = 0;
    GridRegion region;
};

struct BspLeafRegion {
    GridRegion region;
    int cluster = -1;
};

struct BspTree {
    std::vector<BspSplit> nodes;
    std::vector<BspLeafRegion> leaves;
};

BspTree buildBspTree(const ClusterMap& clusters);
