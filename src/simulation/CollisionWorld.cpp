#include "simulation/CollisionWorld.h"

#include "level/LevelFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

Float3 toFloat3(const Vec3& v)
{
    return {v.getX(), v.getY(), v.getZ()};
}

bool inRange(int64_t first, int64_t count, std::size_t size)
{
    return first >= 0 && count >= 0 && first + count <= int64_t(size);
}

} // namespace

// ---- building -------------------------------------------------------------------------------

CollisionWorld::CollisionWorld(const LevelData& level, const std::vector<Float3>& modelOffsets,
                               const std::vector<bool>& touchOnly)
{
    tree.reserve(level.nodes.size());
    for (const Node& node : level.nodes) {
        // The loader checked every node's plane and children.
        const ::Plane& plane = level.planes[std::size_t(node.plane)];
        tree.push_back({{toFloat3(plane.normal), plane.distance}, {node.children[0], node.children[1]}});
    }

    // Every brush at most once; the curved surfaces' slabs come on top.
    planes.reserve(level.brushSides.size());
    solids.reserve(level.brushes.size());

    // World brushes, each once, listed by the leaves that name them.
    nodeStamp.assign(tree.size(), 0);
    stack.reserve(tree.size() * 2 + 2);
    std::vector<int32_t> solidOfBrush(level.brushes.size(), -1);
    std::vector<LeafSolid> listed; // in the order each leaf lists them
    listed.reserve(level.leafBrushes.size());
    for (std::size_t leaf = 0; leaf < level.leaves.size(); ++leaf) {
        const Leaf& record = level.leaves[leaf];
        for (int32_t i = 0; i < record.leafBrushCount; ++i) {
            const int32_t brush = level.leafBrushes[std::size_t(record.firstLeafBrush + i)]; // range checked
            if (brush < 0 || std::size_t(brush) >= level.brushes.size())
                continue;
            if (solidOfBrush[std::size_t(brush)] == -1)
                solidOfBrush[std::size_t(brush)] = addBrush(level, brush, {}) ? int32_t(solids.size() - 1) : -2;
            if (solidOfBrush[std::size_t(brush)] >= 0)
                listed.push_back({uint32_t(leaf), uint32_t(solidOfBrush[std::size_t(brush)])});
        }
    }
    addPatches(level, listed);
    // By leaf, keeping the order they were listed in: counted, then placed.
    leafSolids.assign(level.leaves.size(), {});
    for (const LeafSolid& entry : listed)
        ++leafSolids[entry.leaf].count;
    uint32_t next = 0;
    for (Range& range : leafSolids) {
        range.first = next;
        next += range.count;
        range.count = 0;
    }
    leafSolidIndices.resize(listed.size());
    for (const LeafSolid& entry : listed) {
        Range& range = leafSolids[entry.leaf];
        leafSolidIndices[range.first + range.count++] = entry.solid;
    }

    // Inline models' brushes stand where their entity puts them; they are tested by their bounds.
    modelSolids.resize(level.models.size());
    shifts.resize(level.models.size());
    for (std::size_t m = 1; m < level.models.size(); ++m) {
        const Model& model = level.models[m];
        const Float3 offset = m < modelOffsets.size() ? modelOffsets[m] : Float3{};
        modelSolids[m].first = uint32_t(solids.size());
        if (m < touchOnly.size() && touchOnly[m]) {
            // a trigger's volume: it blocks nothing
        } else if (inRange(model.firstBrush, model.brushCount, level.brushes.size())) {
            for (int32_t b = 0; b < model.brushCount; ++b)
                addBrush(level, model.firstBrush + b, offset);
        } else {
            skipped += std::size_t(std::max(model.brushCount, 0));
        }
        modelSolids[m].count = uint32_t(solids.size()) - modelSolids[m].first;
    }

    if (!level.models.empty()) {
        const Model& world = level.models[0];
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(world.mins[axis], world.maxs[axis]);
            high[axis] = std::max(world.mins[axis], world.maxs[axis]);
        }
    }
    solidStamp.assign(solids.size(), 0);
}

// A brush as a solid: its sides' planes moved by `offset`, its texture's contents. Its bounds
// come from the axial sides (every compiled brush has them); without all six they are infinite.
bool CollisionWorld::addBrush(const LevelData& level, int32_t index, Float3 offset)
{
    const Brush& brush = level.brushes[std::size_t(index)];
    const uint32_t first = uint32_t(planes.size());
    if (brush.texture < 0 || std::size_t(brush.texture) >= level.textureContents.size()
        || !HalfSpace::appendBrush(level, index, offset, planes)) {
        ++skipped;
        return false;
    }
    constexpr float unbounded = std::numeric_limits<float>::max();
    Solid solid{first, uint32_t(planes.size()) - first, level.textureContents[std::size_t(brush.texture)],
                brush.texture, {-unbounded, -unbounded, -unbounded}, {unbounded, unbounded, unbounded}};
    for (uint32_t p = first; p < planes.size(); ++p)
        for (int axis = 0; axis < 3; ++axis) {
            if (planes[p].normal[axis] == 1.0f)
                solid.high[axis] = planes[p].distance;
            else if (planes[p].normal[axis] == -1.0f)
                solid.low[axis] = -planes[p].distance;
        }
    solids.push_back(solid);
    return true;
}

// Steps along each side of a patch's collision grid: enough that no step spans more than
// patchCollisionStep units of its controls' bounds, within 1 to maxPatchCollisionLevel.
static int collisionLevel(const BezierPatch& patch)
{
    float extent = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        float lowest = patch.controls[0].position[axis];
        float highest = lowest;
        for (const Vertex& control : patch.controls) {
            lowest = std::min(lowest, control.position[axis]);
            highest = std::max(highest, control.position[axis]);
        }
        extent = std::max(extent, highest - lowest);
    }
    const float steps = std::ceil(extent / CollisionWorld::patchCollisionStep);
    if (!(steps >= 1.0f))
        return 1; // a point, or controls that are not numbers
    return steps >= float(CollisionWorld::maxPatchCollisionLevel) ? CollisionWorld::maxPatchCollisionLevel : int(steps);
}

// Whether the face is a curved surface that stops a player.
static bool solidPatch(const LevelData& level, const Face& face)
{
    return face.type == LevelFormat::Patch && face.texture >= 0
        && std::size_t(face.texture) < level.textureContents.size()
        && (level.textureContents[std::size_t(face.texture)] & LevelFormat::contentsSolid);
}

// Each patch of each curved face, tessellated, as one thin solid per triangle, listed in the
// leaves the patch's slabs' bounds reach (one descent a patch, not one a triangle).
void CollisionWorld::addPatches(const LevelData& level, std::vector<LeafSolid>& listed)
{
    std::size_t triangles = 0;
    for (const Face& face : level.faces)
        if (solidPatch(level, face))
            for (const BezierPatch& patch : face.patches)
                triangles += 2 * std::size_t(collisionLevel(patch)) * std::size_t(collisionLevel(patch));
    solids.reserve(solids.size() + triangles);
    planes.reserve(planes.size() + triangles * planesPerTriangle);
    std::vector<int32_t> leaves;
    for (const Face& face : level.faces) {
        if (!solidPatch(level, face))
            continue;
        for (const BezierPatch& patch : face.patches) {
            const BezierPatch::Tessellation grid = patch.tessellated(collisionLevel(patch));
            const int side = grid.level + 1;
            const auto at = [&](int row, int column) {
                const float* p = grid.vertices[std::size_t(row * side + column)].position;
                return Float3{p[0], p[1], p[2]};
            };
            const uint32_t first = uint32_t(solids.size());
            for (int row = 0; row + 1 < side; ++row) {
                for (int column = 0; column + 1 < side; ++column) {
                    addTriangle(at(row, column), at(row + 1, column), at(row + 1, column + 1), face.texture);
                    addTriangle(at(row, column), at(row + 1, column + 1), at(row, column + 1), face.texture);
                }
            }
            if (first == solids.size())
                continue;
            Float3 low = solids[first].low, high = solids[first].high;
            for (uint32_t s = first + 1; s < solids.size(); ++s)
                for (int axis = 0; axis < 3; ++axis) {
                    low[axis] = std::min(low[axis], solids[s].low[axis]);
                    high[axis] = std::max(high[axis], solids[s].high[axis]);
                }
            leaves.clear();
            leavesTouching(low, high, leaves);
            for (const int32_t leaf : leaves)
                if (std::size_t(leaf) < level.leaves.size())
                    for (uint32_t s = first; s < solids.size(); ++s)
                        listed.push_back({uint32_t(leaf), s});
        }
    }
}

// A triangular slab: the triangle's plane, one patchThickness behind it, the three edges, and
// the six planes of its bounds (bevels, so a box meets its edges where they are):
// planesPerTriangle in all.
void CollisionWorld::addTriangle(Float3 a, Float3 b, Float3 c, int32_t texture)
{
    const Float3 normal = normalized(cross(b - a, c - a));
    if (length(normal) < 0.5f || !isFinite(a) || !isFinite(b) || !isFinite(c))
        return; // a degenerate triangle of a flattened grid stops nothing
    Solid solid{uint32_t(planes.size()), 0, LevelFormat::contentsSolid, texture, {}, {}};
    const auto add = [&](Float3 n, float d) {
        planes.push_back({n, d});
        ++solid.planeCount;
    };
    add(normal, dot(normal, a));
    add(normal * -1.0f, -dot(normal, a) + patchThickness);
    const Float3 corners[3] = {a, b, c};
    for (int e = 0; e < 3; ++e) {
        const Float3 from = corners[e];
        const Float3 to = corners[(e + 1) % 3];
        Float3 outward = normalized(cross(to - from, normal));
        if (dot(outward, corners[(e + 2) % 3] - from) > 0.0f)
            outward = outward * -1.0f;
        add(outward, dot(outward, from));
    }
    const Float3 back = normal * -patchThickness;
    for (int axis = 0; axis < 3; ++axis) {
        float lowest = a[axis];
        float highest = a[axis];
        for (const Float3& p : {a, b, c, a + back, b + back, c + back}) {
            lowest = std::min(lowest, p[axis]);
            highest = std::max(highest, p[axis]);
        }
        Float3 axisNormal;
        axisNormal[axis] = 1.0f;
        add(axisNormal, highest);
        add(axisNormal * -1.0f, -lowest);
        solid.low[axis] = lowest;
        solid.high[axis] = highest;
    }
    solids.push_back(solid);
}

// Down the tree from its root to the leaves a query reaches, each node once (a damaged tree may
// share a node between parents), through the stack sized at load: `sides(node)` says which of
// its children the query reaches (bit 0 the front, bit 1 the back), `leaf(index)` takes each
// leaf reached, as the tree names it.
template <typename Sides, typename Leaf>
void CollisionWorld::descend(Sides sides, Leaf leaf) const
{
    stack.clear();
    stack.push_back(tree.empty() ? -1 : 0);
    while (!stack.empty()) {
        const int32_t node = stack.back();
        stack.pop_back();
        if (node < 0) {
            leaf(-(int64_t(node) + 1));
            continue;
        }
        if (nodeStamp[std::size_t(node)] == traceNumber)
            continue;
        nodeStamp[std::size_t(node)] = traceNumber;
        const TreeNode& n = tree[std::size_t(node)];
        const unsigned reached = sides(n);
        if ((reached & 1u) != 0)
            stack.push_back(n.children[0]);
        if ((reached & 2u) != 0)
            stack.push_back(n.children[1]);
    }
}

// The leaves whose region a box's bounds reach.
void CollisionWorld::leavesTouching(Float3 boxLow, Float3 boxHigh, std::vector<int32_t>& leaves) const
{
    nextTrace();
    const Float3 centre = (boxLow + boxHigh) * 0.5f;
    const Float3 half = (boxHigh - boxLow) * 0.5f;
    descend(
        [&](const TreeNode& n) {
            const float reach = std::abs(n.plane.normal.x) * half.x + std::abs(n.plane.normal.y) * half.y
                              + std::abs(n.plane.normal.z) * half.z;
            const float distance = dot(n.plane.normal, centre) - n.plane.distance;
            return (distance + reach >= 0.0f ? 1u : 0u) | (distance - reach <= 0.0f ? 2u : 0u);
        },
        [&](int64_t leaf) { leaves.push_back(int32_t(leaf)); });
}

// ---- tracing ----------------------------------------------------------------------------------

struct CollisionWorld::Sweep {
    Float3 start;
    Float3 end;
    Box box;
    int32_t mask = 0;
    bool gather = false;  // contentsAt: collect the contents of every solid the box overlaps
    int32_t gathered = 0;
    bool touched = false;
    std::size_t model = 0; // whose solids are being tested
    Float3 low;           // the swept box's bounds
    Float3 high;
    Trace result;
};

// The clip of one swept box against one convex solid: the latest plane the box enters before
// it leaves another is where it stops, contactGap short of it.
void CollisionWorld::clipToSolid(Sweep& sweep, const Solid& solid) const
{
    float enter = -1.0f;
    float leave = 1.0f;
    const HalfSpace* met = nullptr;
    bool startsOut = false;
    bool endsOut = false;
    for (uint32_t p = solid.firstPlane; p < solid.firstPlane + solid.planeCount; ++p) {
        const HalfSpace& plane = planes[p];
        const Float3 corner = HalfSpace::backCorner(plane.normal, sweep.box.mins, sweep.box.maxs);
        const float d1 = dot(sweep.start + corner, plane.normal) - plane.distance;
        const float d2 = dot(sweep.end + corner, plane.normal) - plane.distance;
        // Just behind the plane at the start counts as in front of it: touching, not inside.
        const bool inFront = d1 > 0.0f || (!sweep.gather && d1 > -insideTolerance);
        startsOut |= inFront;
        endsOut |= d2 > 0.0f;
        if (inFront && (d2 >= contactGap || d2 >= d1))
            return; // in front of this plane throughout: the solid is never reached
        if (!inFront && d2 <= 0.0f)
            continue;
        if (d1 > d2) {
            const float f = std::max(0.0f, (d1 - contactGap) / (d1 - d2));
            if (f > enter) {
                enter = f;
                met = &plane;
            }
        } else {
            leave = std::min(leave, (d1 + contactGap) / (d1 - d2));
        }
    }
    if (sweep.gather) {
        if (!startsOut) {
            sweep.gathered |= solid.contents;
            sweep.touched = true;
        }
        return;
    }
    Trace& result = sweep.result;
    if (!startsOut) {
        result.startSolid = true;
        if (!endsOut) {
            result.model = sweep.model;
            result.fraction = 0.0f;
            result.contents = solid.contents;
            result.texture = solid.texture;
        }
        return;
    }
    if (met && enter < leave && enter < result.fraction) {
        result.model = sweep.model;
        result.fraction = enter;
        result.normal = met->normal;
        result.contents = solid.contents;
        result.texture = solid.texture;
    }
}

void CollisionWorld::sweepSolid(Sweep& sweep, uint32_t index) const
{
    if (solidStamp[index] == traceNumber)
        return;
    solidStamp[index] = traceNumber;
    const Solid& solid = solids[index];
    if (!sweep.gather && !(solid.contents & sweep.mask))
        return;
    for (int axis = 0; axis < 3; ++axis) {
        if (solid.low[axis] > sweep.high[axis] || solid.high[axis] < sweep.low[axis])
            return;
    }
    clipToSolid(sweep, solid);
}

// Every leaf the swept box may reach.
void CollisionWorld::sweepTree(Sweep& sweep) const
{
    const Float3 extent{std::max(-sweep.box.mins.x, sweep.box.maxs.x), std::max(-sweep.box.mins.y, sweep.box.maxs.y),
                        std::max(-sweep.box.mins.z, sweep.box.maxs.z)};
    descend(
        [&](const TreeNode& n) {
            const float reach = std::abs(n.plane.normal.x) * extent.x + std::abs(n.plane.normal.y) * extent.y
                              + std::abs(n.plane.normal.z) * extent.z + 1.0f;
            const float d1 = dot(sweep.start, n.plane.normal) - n.plane.distance;
            const float d2 = dot(sweep.end, n.plane.normal) - n.plane.distance;
            return (d1 > -reach || d2 > -reach ? 1u : 0u) | (d1 < reach || d2 < reach ? 2u : 0u);
        },
        [&](int64_t leaf) {
            if (std::size_t(leaf) < leafSolids.size()) {
                const Range range = leafSolids[std::size_t(leaf)];
                for (uint32_t i = range.first; i < range.first + range.count; ++i)
                    sweepSolid(sweep, leafSolidIndices[i]);
            }
        });
}

void CollisionWorld::sweepModels(Sweep& sweep, std::size_t firstModel, std::size_t endModel) const
{
    // A moved model is met by the sweep moved back by as much: fractions stay the same.
    for (std::size_t m = firstModel; m < endModel && m < modelSolids.size(); ++m) {
        const Range range = modelSolids[m];
        const Float3 shift = shifts[m];
        const Float3 start = sweep.start, end = sweep.end, low = sweep.low, high = sweep.high;
        sweep.start = start - shift;
        sweep.end = end - shift;
        sweep.low = low - shift;
        sweep.high = high - shift;
        sweep.model = m;
        for (uint32_t s = range.first; s < range.first + range.count; ++s)
            sweepSolid(sweep, s);
        sweep.start = start;
        sweep.end = end;
        sweep.low = low;
        sweep.high = high;
    }
    sweep.model = 0;
}

void CollisionWorld::moveModel(std::size_t model, Float3 shift)
{
    if (model < shifts.size() && isFinite(shift))
        shifts[model] = shift;
}

static void sweepBounds(Float3 start, Float3 end, const CollisionWorld::Box& box, Float3& low, Float3& high)
{
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = std::min(start[axis], end[axis]) + box.mins[axis] - 1.0f;
        high[axis] = std::max(start[axis], end[axis]) + box.maxs[axis] + 1.0f;
    }
}

void CollisionWorld::nextTrace() const
{
    if (++traceNumber == 0) { // after four billion traces the stamps start again
        std::fill(solidStamp.begin(), solidStamp.end(), 0);
        std::fill(nodeStamp.begin(), nodeStamp.end(), 0);
        traceNumber = 1;
    }
}

// Through the world's tree, then every inline model.
void CollisionWorld::sweepEverything(Sweep& sweep) const
{
    sweepBounds(sweep.start, sweep.end, sweep.box, sweep.low, sweep.high);
    nextTrace();
    sweepTree(sweep);
    sweepModels(sweep, 1, modelSolids.size());
}

CollisionWorld::Trace CollisionWorld::trace(Float3 start, Float3 end, const Box& box, int32_t mask) const
{
    Sweep sweep;
    sweep.start = start;
    sweep.end = end;
    sweep.box = box;
    sweep.mask = mask;
    sweepEverything(sweep);
    Trace& result = sweep.result;
    result.end = result.fraction == 1.0f ? end : start + (end - start) * result.fraction;
    return result;
}

int32_t CollisionWorld::contentsAt(Float3 position, const Box& box) const
{
    Sweep sweep;
    sweep.start = position;
    sweep.end = position;
    sweep.box = box;
    sweep.gather = true;
    sweepEverything(sweep);
    return sweep.gathered;
}

bool CollisionWorld::touchesModel(std::size_t model, Float3 position, const Box& box) const
{
    Sweep sweep;
    sweep.start = position;
    sweep.end = position;
    sweep.box = box;
    sweep.gather = true;
    sweepBounds(position, position, box, sweep.low, sweep.high);
    nextTrace();
    sweepModels(sweep, model, model + 1);
    return sweep.touched;
}
