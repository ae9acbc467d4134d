#pragma once

#include "level/LevelData.h"
#include "math/Float3.h"
#include "simulation/HalfSpace.h"
#include "simulation/Triggers.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// What players cannot see, as solids to draw: the world's clip and liquid brushes (by their
// records' contents), the trigger volumes (by what they do, from Triggers, where they stand) and
// the fog volumes. Each brush becomes a convex polyhedron, its sides clipped against each other
// into face polygons, cut into triangles and outlined by their edges. A brush with fewer than
// four sides, or whose sides enclose nothing, is skipped and counted. World coordinates (Y up),
// units; built once, read only after.
class ToolVolumes {
public:
    enum class Kind { clip, push, teleport, hurt, trigger, otherTrigger, water, slime, lava, fog };
    static constexpr std::size_t kindCount = 10;
    static const char* name(Kind kind);                       // one word, as the legend says it
    static std::array<unsigned char, 3> colour(Kind kind);    // 0..255, each kind's own

    struct Volume {
        Kind kind = Kind::clip;
        Float3 low, high;             // the polyhedron's box
        std::size_t firstTriangle = 0; // into triangleCorners, three corners a triangle
        std::size_t triangleCorners = 0;
        std::size_t firstEdge = 0;     // into edgeEnds, two ends an edge
        std::size_t edgeEnds = 0;
    };

    ToolVolumes(const LevelData& level, const Triggers& triggers);

    const std::vector<Volume>& all() const { return volumes; }
    const std::vector<Float3>& triangles() const { return triangleCorners; }
    const std::vector<Float3>& edges() const { return edgeEnds; }
    const std::vector<HalfSpace>& planes() const { return trianglePlanes; } // by triangle: its side
    std::size_t skippedBrushes() const { return skipped; }

    // Appends the faces of the solid behind every side (triangles, the side each lies on, then
    // edges); false, appending nothing, with fewer than four sides or nothing inside them.
    static bool appendPolyhedron(const HalfSpace* sides, std::size_t count, std::vector<Float3>& triangles,
                                 std::vector<HalfSpace>& planes, std::vector<Float3>& edges);

private:
    void add(Kind kind, const HalfSpace* sides, std::size_t count);
    static Kind kindOf(const Triggers::Volume& volume);

    std::vector<Volume> volumes;
    std::vector<Float3> triangleCorners;
    std::vector<HalfSpace> trianglePlanes;
    std::vector<Float3> edgeEnds;
    std::size_t skipped = 0;
};
