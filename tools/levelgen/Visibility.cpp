#include "Visibility.h"

#include <algorithm>
#include <cmath>

namespace {

// Tolerance of the side tests, in squared grid units. Points this close to a boundary
// count as inside, so near-grazing sight lines are kept.
constexpr double margin = 1e-7;

// A source cluster whose flow takes more steps than this is given everything its
// portals connect to: still conservative, and it bounds the time on pathological plans.
constexpr long flowStepBudget = 4'000'000;

Point2 minus(Point2 p, Point2 q)
{
    return {p.x - q.x, p.y - q.y};
}

double cross(Point2 p, Point2 q)
{
    return p.x * q.y - p.y * q.x;
}

Point2 along(const Segment2& s, double t)
{
    return {s.a.x + (s.b.x - s.a.x) * t, s.a.y + (s.b.y - s.a.y) * t};
}

bool sameLine(const Segment2& s, const Segment2& t)
{
    const Point2 d = minus(s.b, s.a);
    return std::abs(cross(d, minus(t.a, s.a))) < margin && std::abs(cross(d, minus(t.b, s.a))) < margin;
}

// Whether some ray from x through `pass` meets `source`: the wedge that `pass` spans
// as seen from x, intersected with the segment. The two are convex, so they miss each
// other only if one of the wedge's edges or the segment's line separates them.
bool seesThrough(Point2 x, const Segment2& pass, const Segment2& source)
{
    Point2 a = minus(pass.a, x);
    Point2 b = minus(pass.b, x);
    if (cross(a, b) < 0.0)
        std::swap(a, b);
    const Point2 c = minus(source.a, x);
    const Point2 e = minus(source.b, x);
    if (cross(a, c) < -margin && cross(a, e) < -margin)
        return false;
    if (cross(c, b) < -margin && cross(e, b) < -margin)
        return false;
    // Separation by the source's own line: x strictly on one side, both wedge edges
    // pointing away from it.
    // A wedge point t * w lies on the side cross(direction, t * w - c) = t * cross(direction, w) + apexSide.
    const Point2 direction = minus(e, c);
    const double apexSide = -cross(direction, c);
    const double sideA = cross(direction, a);
    const double sideB = cross(direction, b);
    if (apexSide > margin && sideA >= 0.0 && sideB >= 0.0)
        return false;
    if (apexSide < -margin && sideA <= 0.0 && sideB <= 0.0)
        return false;
    return true;
}

// Parameter t in [0, 1] where the point of `target` lies on the line through p and q,
// if the two lines cross.
void addCrossing(const Segment2& target, Point2 p, Point2 q, std::vector<double>& ts)
{
    const Point2 d = minus(target.b, target.a);
    const Point2 line = minus(q, p);
    const double denominator = cross(line, d);
    if (std::abs(denominator) < 1e-12)
        return;
    const double t = cross(minus(p, target.a), line) / -denominator;
    if (t > 0.0 && t < 1.0)
        ts.push_back(t);
}

} // namespace

bool clipThroughPortal(const Segment2& source, const Segment2& pass, const Segment2& target, Segment2& visible)
{
    if (sameLine(pass, target) || sameLine(pass, source))
        return false;
    // Whether a point of the target sees the source changes only where it crosses a line
    // through an end of the pass and an end of the source, the source's line, or a line
    // through an end of the pass parallel to the source.
    std::vector<double> ts = {0.0, 1.0};
    for (const Point2 p : {pass.a, pass.b}) {
        for (const Point2 s : {source.a, source.b})
            addCrossing(target, p, s, ts);
        addCrossing(target, p, {p.x + source.b.x - source.a.x, p.y + source.b.y - source.a.y}, ts);
    }
    addCrossing(target, source.a, source.b, ts);
    std::sort(ts.begin(), ts.end());
    double first = 2.0;
    double last = -1.0;
    for (size_t i = 0; i + 1 < ts.size(); ++i) {
        if (ts[i + 1] - ts[i] < 1e-12)
            continue;
        if (seesThrough(along(target, 0.5 * (ts[i] + ts[i + 1])), pass, source)) {
            first = std::min(first, ts[i]);
            last = std::max(last, ts[i + 1]);
        }
    }
    if (first > last)
        return false;
    visible = {along(target, first), along(target, last)};
    return true;
}

std::vector<std::vector<Portal>> findPortals(const ClusterMap& clusters)
{
    std::vector<std::vector<Portal>> portals(clusters.clusters.size());
    for (size_t id = 0; id < clusters.clusters.size(); ++id) {
        const ClusterRect& r = clusters.clusters[id];
        // Walk each side cell by cell, joining runs that face the same neighbour.
        struct Side {
            int dx, dy;       // step along the side
            int nx, ny;       // offset to the neighbour cell
            int x0, y0, n;    // first cell, cell count
            double lx, ly;    // corner offset of the portal line from the cell
        };
        const Side sides[4] = {
            {1, 0, 0, -1, r.column, r.row, r.width, 0.0, 0.0},                              // top
            {1, 0, 0, 1, r.column, r.row + r.height - 1, r.width, 0.0, 1.0},                // bottom
            {0, 1, -1, 0, r.column, r.row, r.height, 0.0, 0.0},                             // left
            {0, 1, 1, 0, r.column + r.width - 1, r.row, r.height, 1.0, 0.0},                // right
        };
        for (const Side& side : sides) {
            int runStart = 0;
            for (int i = 0; i <= side.n; ++i) {
                const auto neighbourAt = [&](int k) {
                    return k < side.n ? clusters.at(side.x0 + side.dx * k + side.nx, side.y0 + side.dy * k + side.ny)
                                      : -2;
                };
                if (i < side.n && i > 0 && neighbourAt(i) == neighbourAt(i - 1))
                    continue;
                if (i > 0 && neighbourAt(runStart) >= 0) {
                    const double ax = side.x0 + side.dx * runStart + side.lx;
                    const double ay = side.y0 + side.dy * runStart + side.ly;
                    const double length = i - runStart;
                    portals[id].push_back(
                        {neighbourAt(runStart), {{ax, ay}, {ax + side.dx * length, ay + side.dy * length}}});
                }
                runStart = i;
            }
        }
    }
    return portals;
}

namespace {

class PortalFlow {
public:
    explicit PortalFlow(const ClusterMap& clusters)
        : portals(findPortals(clusters)), count(static_cast<int>(clusters.clusters.size())),
          onPath(static_cast<size_t>(count), 0)
    {
        result.clusterCount = count;
        result.bytesPerCluster = (count + 7) / 8;
        result.bits.assign(static_cast<size_t>(count) * result.bytesPerCluster, 0);
    }

    VisibilityRecord run()
    {
        for (int source = 0; source < count; ++source) {
            current = source;
            steps = 0;
            mark(source);
            if (!flowFrom(source))
                markConnected(source);
        }
        makeSymmetric();
        return std::move(result);
    }

private:
    void mark(int cluster)
    {
        result.bits[static_cast<size_t>(current) * result.bytesPerCluster + (cluster >> 3)] |=
            static_cast<uint8_t>(1 << (cluster & 7));
    }

    // False when the step budget ran out.
    bool flowFrom(int source)
    {
        onPath[source] = 1;
        bool finished = true;
        for (const Portal& exit : portals[source]) {
            const int next = exit.neighbour;
            mark(next);
            onPath[next] = 1;
            for (const Portal& onward : portals[next]) {
                if (onPath[onward.neighbour] || sameLine(exit.segment, onward.segment))
                    continue;
                // Inside one convex cluster every point of one boundary sees every
                // point of another that is not on the same line.
                finished = finished && follow(exit.segment, onward.segment, onward.neighbour);
            }
            onPath[next] = 0;
        }
        onPath[source] = 0;
        return finished;
    }

    bool follow(const Segment2& source, const Segment2& pass, int cluster)
    {
        if (++steps > flowStepBudget)
            return false;
        mark(cluster);
        onPath[cluster] = 1;
        bool finished = true;
        for (const Portal& onward : portals[cluster]) {
            if (!finished)
                break;
            if (onPath[onward.neighbour])
                continue;
            Segment2 target;
            Segment2 narrowedSource;
            if (!clipThroughPortal(source, pass, onward.segment, target))
                continue;
            if (!clipThroughPortal(target, pass, source, narrowedSource))
                continue;
            finished = follow(narrowedSource, target, onward.neighbour);
        }
        onPath[cluster] = 0;
        return finished;
    }

    void markConnected(int source)
    {
        std::fill(onPath.begin(), onPath.end(), 0);
        std::vector<int> stack = {source};
        onPath[source] = 1;
        while (!stack.empty()) {
            const int cluster = stack.back();
            stack.pop_back();
            mark(cluster);
            for (const Portal& portal : portals[cluster]) {
                if (!onPath[portal.neighbour]) {
                    onPath[portal.neighbour] = 1;
                    stack.push_back(portal.neighbour);
                }
            }
        }
        std::fill(onPath.begin(), onPath.end(), 0);
    }

    void makeSymmetric()
    {
        for (int a = 0; a < count; ++a) {
            for (int b = a + 1; b < count; ++b) {
                if (result.sees(a, b) || result.sees(b, a)) {
                    current = a;
                    mark(b);
                    current = b;
                    mark(a);
                }
            }
        }
    }

    std::vector<std::vector<Portal>> portals;
    int count;
    std::vector<char> onPath;
    VisibilityRecord result;
    int current = 0;
    long steps = 0;
};

} // namespace

VisibilityRecord computeVisibility(const ClusterMap& clusters)
{
    return PortalFlow(clusters).run();
}
