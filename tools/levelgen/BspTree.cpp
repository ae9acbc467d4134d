#include "BspTree.h"

#include <cstdlib>

namespace {

class TreeBuilder {
public:
    explicit TreeBuilder(const ClusterMap& clusters) : clusters(clusters) {}

    BspTree run()
    {
        build({-1, -1, clusters.columns + 1, clusters.rows + 1});
        return std::move(tree);
    }

private:
    // Returns the child value as the file stores it: a node index, or -(leaf + 1).
    int build(const GridRegion& region)
    {
        const int first = clusters.at(region.column0, region.row0);
        int bestLine = 0;
        bool bestAcrossColumns = true;
        long bestScore = -1;
        // A boundary qualifies where the label changes across it somewhere in the region;
        // the one nearest the middle keeps the tree shallow.
        const long middleColumn2 = region.column0 + region.column1;
        const long middleRow2 = region.row0 + region.row1;
        bool uniform = true;
        for (int column = region.column0 + 1; column < region.column1; ++column) {
            for (int row = region.row0; row < region.row1; ++row) {
                if (clusters.at(column - 1, row) != clusters.at(column, row)) {
                    const long score = std::labs(2L * column - middleColumn2) * (region.row1 - region.row0);
                    consider(score, true, column, bestScore, bestAcrossColumns, bestLine);
                    uniform = false;
                    break;
                }
            }
        }
        for (int row = region.row0 + 1; row < region.row1; ++row) {
            for (int column = region.column0; column < region.column1; ++column) {
                if (clusters.at(column, row - 1) != clusters.at(column, row)) {
                    const long score = std::labs(2L * row - middleRow2) * (region.column1 - region.column0);
                    consider(score, false, row, bestScore, bestAcrossColumns, bestLine);
                    uniform = false;
                    break;
                }
            }
        }
        if (uniform) {
            tree.leaves.push_back({region, first});
            return -static_cast<int>(tree.leaves.size());
        }
        const int index = static_cast<int>(tree.nodes.size());
        tree.nodes.push_back({bestAcrossColumns, bestLine, 0, 0, region});
        GridRegion front = region;
        GridRegion back = region;
        if (bestAcrossColumns) {
            front.column0 = bestLine;
            back.column1 = bestLine;
        } else {
            front.row1 = bestLine;
            back.row0 = bestLine;
        }
        const int frontChild = build(front);
        const int backChild = build(back);
        tree.nodes[static_cast<size_t>(index)].front = frontChild;
        tree.nodes[static_cast<size_t>(index)].back = backChild;
        return index;
    }

    static void consider(long score, bool acrossColumns, int line, long& bestScore, bool& bestAcrossColumns,
                         int& bestLine)
    {
        if (bestScore < 0 || score < bestScore) {
            bestScore = score;
            bestAcrossColumns = acrossColumns;
            bestLine = line;
        }
    }

    const ClusterMap& clusters;
    BspTree tree;
};

} // namespace

BspTree buildBspTree(const ClusterMap& clusters)
{
    return TreeBuilder(clusters).run();
}
