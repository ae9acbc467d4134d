#pragma once

#include "Plan.h"

#include <vector>

// Visibility clusters: the open cells of a plan cut into rectangles. Larger, squarer
// rectangles are taken first, so that a room becomes one cluster and the corridors
// that join it stay out of it.
struct ClusterRect {
    int column = 0; // top-left cell
    int row = 0;
    int width = 0; // cells
    int height = 0;
};

struct ClusterMap {
    int columns = 0;
    int rows = 0;
    std::vector<ClusterRect> clusters;
    std::vector<int> cellCluster; // row-major; -1 for solid cells

    int at(int column, int row) const // -1 for solid cells and outside the grid
    {
        if (column < 0 || row < 0 || column >= columns || row >= rows)
            return -1;
        return cellCluster[static_cast<size_t>(row) * columns + column];
    }
};

// Cuts the cells for which `wanted` holds into rectangles of at most maxSide cells a side.
// Returns the rectangles with the owning rectangle of each cell (-1 elsewhere).
ClusterMap buildRectangles(const Plan& plan, bool (*wanted)(const Plan&, int column, int row), int maxSide);

ClusterMap buildClusters(const Plan& plan, int maxSide = 24); // rectangles of open cells
