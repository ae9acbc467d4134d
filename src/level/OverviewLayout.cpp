#include "level/OverviewLayout.h"

#include "level/BrushEntity.h"
#include "level/FaceTriangles.h"
#include "level/LevelFormat.h"
#include "level/MaterialLibrary.h"
#include "level/SurfaceStyle.h"
#include "math/FileAxes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

namespace {

using Corner = std::array<float, 3>; // map coordinates: east, north, height

// The map's axes are the file's: east, north, up.
Corner toMap(const float world[3])
{
    const Float3 file = FileAxes::toFile({world[0], world[1], world[2]});
    return {file.x, file.y, file.z};
}

bool finite(const Corner& corner)
{
    return std::isfinite(corner[0]) && std::isfinite(corner[1]) && std::isfinite(corner[2]);
}

// The faces of model 0, the world without its doors and lifts; every face when there is no
// model 0 or its range does not lie within the faces.
std::pair<std::size_t, std::size_t> worldFaces(const LevelData& level)
{
    if (level.models.empty())
        return {0, level.faces.size()};
    const Model& world = level.models[0];
    const int64_t end = int64_t(world.firstFace) + world.faceCount;
    if (world.firstFace < 0 || world.faceCount < 0 || end > int64_t(level.faces.size()))
        return {0, level.faces.size()};
    return {std::size_t(world.firstFace), std::size_t(end)};
}

class Builder {
public:
    explicit Builder(OverviewLayout& layout) : layout(layout) {}

    void add(const Vertex& a, const Vertex& b, const Vertex& c)
    {
        const std::array<Corner, 3> corners{toMap(a.position), toMap(b.position), toMap(c.position)};
        float normal[3];
        for (int axis = 0; axis < 3; ++axis)
            normal[axis] = a.normal[axis] + b.normal[axis] + c.normal[axis];
        const Corner summed = toMap(normal);
        switch (OverviewLayout::facing(corners[0].data(), corners[1].data(), corners[2].data(), summed.data())) {
        case OverviewLayout::Facing::ground:
            for (const Corner& corner : corners)
                layout.ground.push_back({corner[0], corner[1], corner[2], 0.0f});
            break;
        case OverviewLayout::Facing::wall:
            for (int edge = 0; edge < 3; ++edge)
                for (const Corner& corner : {corners[std::size_t(edge)], corners[std::size_t(edge + 1) % 3]})
                    layout.walls.push_back({corner[0], corner[1], corner[2], 0.0f});
            break;
        default:
            break;
        }
    }

private:
    OverviewLayout& layout;
};

void addFace(Builder& builder, const LevelData& level, const Face& face)
{
    FaceTriangles::forEach(level, face,
                           [&builder](const Vertex& a, const Vertex& b, const Vertex& c) { builder.add(a, b, c); });
}

// Model 0's box in map coordinates, each axis sorted; nothing when it is not finite or has no
// area seen from above.
std::optional<OverviewLayout::Box> modelBox(const LevelData& level)
{
    if (level.models.empty())
        return std::nullopt;
    const Corner low = toMap(level.models[0].mins);
    const Corner high = toMap(level.models[0].maxs);
    if (!finite(low) || !finite(high) || low[0] == high[0] || low[1] == high[1])
        return std::nullopt;
    return OverviewLayout::Box{std::min(low[0], high[0]), std::max(low[0], high[0]), std::min(low[1], high[1]),
                               std::max(low[1], high[1]), std::min(low[2], high[2]), std::max(low[2], high[2])};
}

OverviewLayout::Box boundsOf(const OverviewLayout& layout)
{
    constexpr float huge = std::numeric_limits<float>::max();
    OverviewLayout::Box box{huge, -huge, huge, -huge, huge, -huge};
    for (const auto* vertices : {&layout.ground, &layout.walls})
        for (const OverviewLayout::MapVertex& vertex : *vertices) {
            box.west = std::min(box.west, vertex.east);
            box.east = std::max(box.east, vertex.east);
            box.south = std::min(box.south, vertex.north);
            box.north = std::max(box.north, vertex.north);
            box.low = std::min(box.low, vertex.height);
            box.high = std::max(box.high, vertex.height);
        }
    if (box.west > box.east) // nothing drawn
        return OverviewLayout::Box{};
    return box;
}

// Widens an empty axis each way by a unit, or more where a unit is below a float's precision,
// so the map always has a scale.
void widen(float& low, float& high)
{
    if (low < high)
        return;
    const float step = std::max(1.0f, std::fabs(low) * 1.0e-6f);
    low -= step;
    high += step;
}

// From 0 on the lowest ground to 1 on the highest (the box also holds ceilings and sky, which
// would crowd every floor into the dark end); ground all at one height is 0.5.
void shadeByHeight(std::vector<OverviewLayout::MapVertex>& ground)
{
    if (ground.empty())
        return;
    const auto [lowest, highest] = std::minmax_element(
        ground.begin(), ground.end(), [](const auto& a, const auto& b) { return a.height < b.height; });
    // In double: heights a float's range apart still have a finite difference.
    const double low = lowest->height;
    const double range = double(highest->height) - low;
    for (OverviewLayout::MapVertex& vertex : ground)
        vertex.shade = range > 0.0 ? float((vertex.height - low) / range) : 0.5f;
}

// A world box (Y up) as four edges in map coordinates, at its top; a box that cannot be read is
// not outlined.
void outline(const BrushEntity& entity, std::vector<OverviewLayout::MapVertex>& lines)
{
    if (entity.high.getX() - entity.low.getX() >= BrushEntity::unreadableExtent)
        return;
    const float west = entity.low.getX(), east = entity.high.getX();
    const float south = -entity.high.getZ(), north = -entity.low.getZ(), top = entity.high.getY();
    const float corners[4][2] = {{west, south}, {east, south}, {east, north}, {west, north}};
    for (int c = 0; c < 4; ++c)
        for (const int end : {c, (c + 1) % 4})
            lines.push_back({corners[end][0], corners[end][1], top, 0.0f});
}

} // namespace

OverviewLayout::Facing OverviewLayout::facing(const float a[3], const float b[3], const float c[3],
                                              const float normal[3])
{
    const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    // The format's front faces wind clockwise seen from the front: v x u points out of them.
    const float n[3] = {v[1] * u[2] - v[2] * u[1], v[2] * u[0] - v[0] * u[2], v[0] * u[1] - v[1] * u[0]};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0f) || !std::isfinite(length))
        return Facing::none;
    const bool stored = n[0] * normal[0] + n[1] * normal[1] + n[2] * normal[2] >= 0.0f;
    const float up = (stored ? n[2] : -n[2]) / length;
    return up >= 0.5f ? Facing::ground : up <= -0.5f ? Facing::ceiling : Facing::wall;
}

OverviewLayout OverviewLayout::of(const LevelData& level, const MaterialLibrary* materials)
{
    OverviewLayout layout;
    std::vector<bool> seen(level.textureNames.size());
    for (std::size_t t = 0; t < level.textureNames.size(); ++t) {
        const Material* material = materials == nullptr ? nullptr : materials->find(level.textureNames[t]);
        seen[t] = SurfaceStyle::of(level.textureFlags[t], material).drawn;
    }
    Builder builder(layout);
    const auto [first, end] = worldFaces(level);
    for (std::size_t f = first; f < end; ++f)
        if (seen[std::size_t(level.faces[f].texture)]) // checked by the loader
            addFace(builder, level, level.faces[f]);

    layout.box = modelBox(level).value_or(boundsOf(layout));
    widen(layout.box.west, layout.box.east);
    widen(layout.box.south, layout.box.north);
    widen(layout.box.low, layout.box.high);
    shadeByHeight(layout.ground);

    layout.starts = playerStarts(level.entities.entities);
    std::vector<std::string> notices; // said when the level is drawn; a map shows what it can
    for (const BrushEntity& entity : BrushEntity::list(level, level.entities.entities, "", notices))
        outline(entity, layout.brushEntities);
    return layout;
}
