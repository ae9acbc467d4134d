#include "simulation/ToolVolumes.h"

#include "level/LevelFormat.h"

#include <algorithm>
#include <cmath>

namespace {
struct Double3 {
    double x, y, z;
};

Double3 operator+(Double3 a, Double3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Double3 operator*(Double3 a, double f) { return {a.x * f, a.y * f, a.z * f}; }
double dot(Double3 a, Double3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Double3 cross(Double3 a, Double3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Double3 wide(Float3 a) { return {a.x, a.y, a.z}; }
Float3 narrow(Double3 a) { return {float(a.x), float(a.y), float(a.z)}; }

constexpr double reach = 1 << 20;     // units: a side's first polygon, wider than any level
constexpr double onPlane = 1.0 / 64;  // units: a corner this near a side is on it
constexpr double leastArea = 1.0 / 16; // square units: a compiler's bevel side meets the solid in a line

using Polygon = std::vector<Double3>;

// The polygon's part behind the side (normal . p <= distance).
Polygon clipped(const Polygon& polygon, const HalfSpace& side)
{
    Polygon kept;
    const Double3 normal = wide(side.normal);
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Double3 a = polygon[i];
        const Double3 b = polygon[(i + 1) % polygon.size()];
        const double da = dot(normal, a) - side.distance;
        const double db = dot(normal, b) - side.distance;
        if (da <= onPlane)
            kept.push_back(a);
        if ((da < -onPlane && db > onPlane) || (da > onPlane && db < -onPlane))
            kept.push_back(a + (b + a * -1.0) * (da / (da - db)));
    }
    return kept;
}

// A square on the side's plane, wider than the level, wound counterclockwise seen from outside.
Polygon planeSquare(const HalfSpace& side)
{
    const Double3 normal = wide(side.normal);
    const Double3 helper = std::abs(normal.y) < 0.9 ? Double3{0, 1, 0} : Double3{1, 0, 0};
    const Double3 u = cross(helper, normal);
    const Double3 uUnit = u * (1.0 / std::sqrt(dot(u, u)));
    const Double3 v = cross(normal, uUnit);
    const Double3 centre = normal * double(side.distance);
    return {centre + (uUnit + v) * reach, centre + (uUnit * -1.0 + v) * reach,
            centre + (uUnit * -1.0 + v * -1.0) * reach, centre + (uUnit + v * -1.0) * reach};
}

double area(const Polygon& polygon)
{
    Double3 sum{0, 0, 0};
    for (std::size_t i = 1; i + 1 < polygon.size(); ++i)
        sum = sum + cross(polygon[i] + polygon[0] * -1.0, polygon[i + 1] + polygon[0] * -1.0);
    return std::sqrt(dot(sum, sum)) / 2;
}
} // namespace

const char* ToolVolumes::name(Kind kind)
{
    static const char* const names[kindCount] = {"clip",  "push",  "teleport", "hurt", "trigger",
                                                 "other", "water", "slime",    "lava", "fog"};
    return names[std::size_t(kind)];
}

std::array<unsigned char, 3> ToolVolumes::colour(Kind kind)
{
    static const std::array<unsigned char, 3> colours[kindCount] = {
        {200, 60, 255}, // clip: violet
        {40, 230, 60},  // push: green
        {30, 220, 230}, // teleport: cyan
        {255, 30, 30},  // hurt: red
        {255, 230, 30}, // trigger (multiple, once): yellow
        {255, 150, 200}, // other triggers: pink
        {40, 90, 255},  // water: blue
        {150, 255, 20}, // slime: lime
        {255, 120, 0},  // lava: orange
        {235, 235, 235}, // fog: white
    };
    return colours[std::size_t(kind)];
}

ToolVolumes::ToolVolumes(const LevelData& level, const Triggers& triggers)
{
    std::vector<HalfSpace> sides;
    const auto addBrush = [&](Kind kind, int64_t brush) {
        sides.clear();
        if (brush < 0 || std::size_t(brush) >= level.brushes.size()
            || !HalfSpace::appendBrush(level, int32_t(brush), {}, sides))
            ++skipped;
        else
            add(kind, sides.data(), sides.size());
    };
    if (!level.models.empty()) {
        const Model& world = level.models.front();
        const int64_t end = std::min(int64_t(world.firstBrush) + world.brushCount, int64_t(level.brushes.size()));
        for (int64_t b = std::max(world.firstBrush, 0); b < end; ++b) {
            const std::size_t texture = std::size_t(level.brushes[std::size_t(b)].texture);
            const int32_t contents = texture < level.textureContents.size() ? level.textureContents[texture] : 0;
            if (contents & (LevelFormat::contentsPlayerClip | LevelFormat::contentsMonsterClip))
                addBrush(Kind::clip, b);
            else if (contents & LevelFormat::contentsLava)
                addBrush(Kind::lava, b);
            else if (contents & LevelFormat::contentsSlime)
                addBrush(Kind::slime, b);
            else if (contents & LevelFormat::contentsWater)
                addBrush(Kind::water, b);
        }
    }
    for (const Effect& effect : level.effects)
        if (effect.brush >= 0)
            addBrush(Kind::fog, effect.brush);
    for (const Triggers::Volume& volume : triggers.volumes())
        for (std::size_t s = 0; s < volume.solidCount; ++s) {
            const Triggers::Sides brush = triggers.sidesOf(volume, s);
            add(kindOf(volume), brush.first, brush.count);
        }
}

// What the player notices: a trigger that throws is a push whatever its class, one that sends
// away a teleport.
ToolVolumes::Kind ToolVolumes::kindOf(const Triggers::Volume& volume)
{
    switch (volume.kind) {
    case Triggers::Kind::pad: return Kind::push;
    case Triggers::Kind::teleporter: return Kind::teleport;
    case Triggers::Kind::hurt: return Kind::hurt;
    case Triggers::Kind::fires: break;
    }
    if (volume.response.move.type == Triggers::Move::Type::push)
        return Kind::push;
    if (volume.response.move.type == Triggers::Move::Type::teleport)
        return Kind::teleport;
    if (volume.className == "trigger_multiple" || volume.className == "trigger_once")
        return Kind::trigger;
    return Kind::otherTrigger;
}

void ToolVolumes::add(Kind kind, const HalfSpace* sides, std::size_t count)
{
    Volume volume;
    volume.kind = kind;
    volume.firstTriangle = triangleCorners.size();
    volume.firstEdge = edgeEnds.size();
    if (!appendPolyhedron(sides, count, triangleCorners, trianglePlanes, edgeEnds)) {
        ++skipped;
        return;
    }
    volume.triangleCorners = triangleCorners.size() - volume.firstTriangle;
    volume.edgeEnds = edgeEnds.size() - volume.firstEdge;
    volume.low = volume.high = triangleCorners[volume.firstTriangle];
    for (std::size_t c = volume.firstTriangle; c < triangleCorners.size(); ++c)
        for (int axis = 0; axis < 3; ++axis) {
            volume.low[axis] = std::min(volume.low[axis], triangleCorners[c][axis]);
            volume.high[axis] = std::max(volume.high[axis], triangleCorners[c][axis]);
        }
    volumes.push_back(volume);
}

bool ToolVolumes::appendPolyhedron(const HalfSpace* sides, std::size_t count, std::vector<Float3>& triangles,
                                   std::vector<HalfSpace>& planes, std::vector<Float3>& edges)
{
    if (count < 4)
        return false;
    const std::size_t firstTriangle = triangles.size();
    const std::size_t firstPlane = planes.size();
    const std::size_t firstEdge = edges.size();
    std::size_t faces = 0;
    for (std::size_t s = 0; s < count; ++s) {
        Polygon polygon = planeSquare(sides[s]);
        for (std::size_t other = 0; other < count && polygon.size() >= 3; ++other)
            if (other != s)
                polygon = clipped(polygon, sides[other]);
        if (polygon.size() < 3 || area(polygon) < leastArea)
            continue;
        ++faces;
        for (std::size_t i = 1; i + 1 < polygon.size(); ++i) {
            triangles.insert(triangles.end(), {narrow(polygon[0]), narrow(polygon[i]), narrow(polygon[i + 1])});
            planes.push_back(sides[s]);
        }
        for (std::size_t i = 0; i < polygon.size(); ++i)
            edges.insert(edges.end(), {narrow(polygon[i]), narrow(polygon[(i + 1) % polygon.size()])});
    }
    if (faces >= 4)
        return true;
    triangles.resize(firstTriangle);
    planes.resize(firstPlane);
    edges.resize(firstEdge);
    return false;
}
