#include "Clusters.h"

#include <queue>
#include <tuple>

namespace {

struct Candidate {
    long score = 0;
    int column = 0;
    int row = 0;
    int width = 0;
    int height = 0;

    // Highest score first; ties go to the earlier cell, so the result is deterministic.
    bool operator<(const Candidate& other) const
    {
        return std::tie(score, other.row, other.column) < std::tie(other.score, row, column);
    }
};

class Partitioner {
public:
    using Predicate = bool (*)(const Plan&, int, int);

    Partitioner(const Plan& plan, Predicate wanted, int maxSide) : plan(plan), wanted(wanted), maxSide(maxSide)
    {
        map.columns = plan.columns;
        map.rows = plan.rows;
        map.cellCluster.assign(static_cast<size_t>(plan.columns) * plan.rows, -1);
    }

    ClusterMap run()
    {
        std::priority_queue<Candidate> queue;
        for (int row = 0; row < plan.rows; ++row) {
            for (int column = 0; column < plan.columns; ++column) {
                if (isFree(column, row))
                    queue.push(best(column, row));
            }
        }
        while (!queue.empty()) {
            const Candidate candidate = queue.top();
            queue.pop();
            if (!isFree(candidate.column, candidate.row))
                continue;
            if (stillFree(candidate))
                claim(candidate);
            else
                queue.push(best(candidate.column, candidate.row));
        }
        return std::move(map);
    }

private:
    bool isFree(int column, int row) const
    {
        return column >= 0 && row >= 0 && column < plan.columns && row < plan.rows && wanted(plan, column, row) &&
               map.at(column, row) < 0;
    }

    // The best rectangle with its top-left corner at (column, row) over free cells.
    Candidate best(int column, int row) const
    {
        Candidate result{0, column, row, 1, 1};
        int width = maxSide;
        for (int height = 1; height <= maxSide && row + height - 1 < plan.rows; ++height) {
            int run = 0;
            while (run < width && isFree(column + run, row + height - 1))
                ++run;
            width = run;
            if (width == 0)
                break;
            const long score = static_cast<long>(width) * height * std::min(width, height);
            if (score > result.score)
                result = {score, column, row, width, height};
        }
        return result;
    }

    bool stillFree(const Candidate& c) const
    {
        for (int row = c.row; row < c.row + c.height; ++row) {
            for (int column = c.column; column < c.column + c.width; ++column) {
                if (!isFree(column, row))
                    return false;
            }
        }
        return true;
    }

    void claim(const Candidate& c)
    {
        const int id = static_cast<int>(map.clusters.size());
        map.clusters.push_back({c.column, c.row, c.width, c.height});
        for (int row = c.row; row < c.row + c.height; ++row) {
            for (int column = c.column; column < c.column + c.width; ++column)
                map.cellCluster[static_cast<size_t>(row) * map.columns + column] = id;
        }
    }

    const Plan& plan;
    Predicate wanted;
    int maxSide;
    ClusterMap map;
};

} // namespace

ClusterMap buildRectangles(const Plan& plan, bool (*wanted)(const Plan&, int, int), int maxSide)
{
    return Partitioner(plan, wanted, maxSide).run();
}

ClusterMap buildClusters(const Plan& plan, int maxSide)
{
    return buildRectangles(
        plan, [](const Plan& p, int column, int row) { return p.isOpen(column, row); }, maxSide);
}
