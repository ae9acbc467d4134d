#pragma once

#include "level/LevelData.h"
#include "math/Float3.h"
#include "simulation/HalfSpace.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// What a box moving through a level runs into: every brush of the file as a convex solid
// (planes facing out), found through the BSP tree by the box's swept path, plus the curved
// surfaces as thin solids cut from their tessellated grids, plus the brushes of the inline
// models, moved by their entity's origin, but for the models that are touch volumes (the
// triggers: Triggers holds them). A box that only touches a solid, or overlaps it by no more
// than insideTolerance, is not inside it. Built once from a loaded level; a trace allocates
// nothing (its scratch state is mutable, so one world serves one thread). Nothing of the level
// is referenced after construction. World coordinates (Y up), units.
//
// The file's brush, side, plane, leaf-brush and texture indices were not checked by the loader:
// a brush with any bad index, or with no sides, is left out, and an out-of-range leaf-brush
// entry is skipped, so nothing outside an array is ever read.
class CollisionWorld {
public:
    // A trace stops this far in front of the plane it meets, so the next trace starts outside.
    static constexpr float contactGap = 0.03125f;
    // A box overlapping a solid by no more than this is touching it, not inside it: a player
    // placed with its feet on a floor (a start, a teleport destination) stands clear.
    static constexpr float insideTolerance = 0.125f;
    // A patch's collision grid takes a step per patchCollisionStep units of its size, at most
    // maxPatchCollisionLevel: a pillar's quarter is cut in two, a long curved ramp in a few more.
    static constexpr float patchCollisionStep = 64.0f;
    static constexpr int maxPatchCollisionLevel = 8;
    static constexpr float patchThickness = 4.0f; // units behind a curved surface that stop a box
    static constexpr std::size_t planesPerTriangle = 11; // a curved surface's slab: face, back, edges, bounds

    struct Box {
        Float3 mins; // relative to the origin
        Float3 maxs;
    };

    struct Trace {
        float fraction = 1.0f;    // of the way from start to end the box travelled, 0..1
        Float3 end;               // where it stopped
        Float3 normal;            // of the plane it met; zero when it met none
        int32_t contents = 0;     // of what it met
        int32_t texture = -1;     // the texture record of what it met; -1 for none
        bool startSolid = false;  // the box started inside something it is stopped by
        std::size_t model = 0;    // the inline model of what it met; 0 for the world or nothing
    };

    // `offsets[m]`: where inline model m's brushes stand, in world units (its entity's origin);
    // missing entries are taken as zero. Models m with `touchOnly[m]` are left out.
    CollisionWorld(const LevelData& level, const std::vector<Float3>& modelOffsets,
                   const std::vector<bool>& touchOnly = {});

    // The box swept from `start` to `end` against everything whose contents share a bit with
    // `mask`; a start inside such a solid (by more than insideTolerance) returns fraction 0 and
    // startSolid.
    Trace trace(Float3 start, Float3 end, const Box& box, int32_t mask) const;

    // Every contents bit of the solids the box at `position` overlaps (of the world and of the
    // inline models), e.g. water under the eye or a trigger around the player.
    int32_t contentsAt(Float3 position, const Box& box) const;
    // Whether the box at `position` overlaps a solid of inline model `model` (a trigger's volume).
    bool touchesModel(std::size_t model, Float3 position, const Box& box) const;
    // Inline model `model` stands moved by `shift` from where it was built (a door opening, a
    // lift rising); beyond the level's models, nothing.
    void moveModel(std::size_t model, Float3 shift);
    Float3 modelShift(std::size_t model) const { return model < shifts.size() ? shifts[model] : Float3{}; }

    std::size_t solidCount() const { return solids.size(); }
    std::size_t skippedBrushes() const { return skipped; } // brushes left out for a bad index
    // The level's box (model 0's), each axis sorted: falling below it means leaving the level.
    Float3 levelLow() const { return low; }
    Float3 levelHigh() const { return high; }

private:
    struct Solid {
        uint32_t firstPlane;
        uint32_t planeCount;
        int32_t contents;
        int32_t texture;
        Float3 low; // bounds, for the inline models' and patches' quick rejection
        Float3 high;
    };
    struct Range {
        uint32_t first = 0;
        uint32_t count = 0;
    };
    struct TreeNode {
        HalfSpace plane;
        int32_t children[2]; // a negative child c is leaf -(c + 1)
    };
    struct Sweep; // one trace's start, end, box and result

    bool addBrush(const LevelData& level, int32_t brush, Float3 offset);
    struct LeafSolid {
        uint32_t leaf;
        uint32_t solid;
    };
    void addPatches(const LevelData& level, std::vector<LeafSolid>& listed);
    void addTriangle(Float3 a, Float3 b, Float3 c, int32_t texture);
    template <typename Sides, typename Leaf>
    void descend(Sides sides, Leaf leaf) const;
    void leavesTouching(Float3 low, Float3 high, std::vector<int32_t>& leaves) const;
    void clipToSolid(Sweep& sweep, const Solid& solid) const;
    void sweepTree(Sweep& sweep) const;
    void sweepEverything(Sweep& sweep) const;
    void sweepModels(Sweep& sweep, std::size_t firstModel, std::size_t endModel) const;
    void sweepSolid(Sweep& sweep, uint32_t solid) const;
    void nextTrace() const;

    std::vector<TreeNode> tree; // the level's nodes, planes copied in
    std::vector<HalfSpace> planes;
    std::vector<Solid> solids;
    std::vector<Range> leafSolids;        // by leaf: a range of leafSolidIndices
    std::vector<uint32_t> leafSolidIndices;
    std::vector<Range> modelSolids;       // by model; model 0's are found through the leaves
    std::vector<Float3> shifts;           // by model: how far it stands from where it was built
    mutable std::vector<uint32_t> solidStamp; // the trace that last tested each solid
    mutable std::vector<uint32_t> nodeStamp;  // and each node
    mutable std::vector<int32_t> stack;       // nodes still to visit, sized at load
    mutable uint32_t traceNumber = 0;
    std::size_t skipped = 0;
    Float3 low;
    Float3 high;
};
