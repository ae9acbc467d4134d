#include "BrushModels.h"

namespace {

constexpr float doorThickness = 16.0f;
constexpr float liftShare = 0.75f;  // of the cell's side
constexpr float hubHalf = 6.0f;
constexpr float bladeShare = 0.9f;  // of the cell's side, tip to tip
constexpr float bladeHalfWidth = 5.0f;
constexpr float bladeHalfThickness = 1.5f;

// Which sides of a box get a face: those that can be seen.
enum Side : unsigned { east = 1, west = 2, north = 4, south = 8, top = 16, bottom = 32, everySide = 63 };

void addBoxFaces(const Box& box, unsigned sides, int texture, Geometry& geometry)
{
    const Vector3& l = box.low;
    const Vector3& h = box.high;
    const Vector3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1}, down{0, 0, -1};
    const struct {
        Side side;
        std::vector<Vector3> corners;
        Vector3 normal;
        Geometry::Mapping mapping;
    } faces[] = {
        {east, {{h.x, l.y, l.z}, {h.x, h.y, l.z}, {h.x, h.y, h.z}, {h.x, l.y, h.z}}, x, {y, down}},
        {west, {{l.x, l.y, l.z}, {l.x, l.y, h.z}, {l.x, h.y, h.z}, {l.x, h.y, l.z}}, x * -1.0f, {y * -1.0f, down}},
        {north, {{l.x, h.y, l.z}, {l.x, h.y, h.z}, {h.x, h.y, h.z}, {h.x, h.y, l.z}}, y, {x * -1.0f, down}},
        {south, {{l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, l.y, h.z}, {l.x, l.y, h.z}}, y * -1.0f, {x, down}},
        {top, {{l.x, l.y, h.z}, {h.x, l.y, h.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}}, z, {x, y}},
        {bottom, {{l.x, l.y, l.z}, {l.x, h.y, l.z}, {h.x, h.y, l.z}, {h.x, l.y, l.z}}, down, {x, y * -1.0f}},
    };
    for (const auto& face : faces)
        if ((sides & face.side) != 0)
            geometry.addPolygon(face.corners, face.normal, texture, face.mapping);
}

Box around(Vector3 centre, Vector3 half)
{
    return {centre - half, centre + half};
}

// The door closes the doorway between its two walls from floor to ceiling; only its two broad
// sides can be seen.
BrushModel door(const Plan& plan, GridPosition cell, int texture, Geometry& geometry)
{
    const float size = static_cast<float>(plan.cellSize);
    const float x0 = static_cast<float>(cell.column) * size;
    const float y0 = static_cast<float>(plan.rows - 1 - cell.row) * size;
    const bool wallsEastAndWest = !plan.isOpen(cell.column - 1, cell.row);
    const float half = doorThickness * 0.5f;
    const Box slab = wallsEastAndWest
                       ? Box{{x0, y0 + size * 0.5f - half, 0}, {x0 + size, y0 + size * 0.5f + half, float(plan.height)}}
                       : Box{{x0 + size * 0.5f - half, y0, 0}, {x0 + size * 0.5f + half, y0 + size, float(plan.height)}};
    addBoxFaces(slab, wallsEastAndWest ? north | south : east | west, texture, geometry);
    return {0, 0, {slab}};
}

BrushModel lift(const Plan& plan, GridPosition cell, int texture, Geometry& geometry)
{
    const float size = static_cast<float>(plan.cellSize);
    const float half = size * liftShare * 0.5f;
    const float rise = static_cast<float>(plan.height) / 4;
    const Vector3 centre{(static_cast<float>(cell.column) + 0.5f) * size,
                         (static_cast<float>(plan.rows - 1 - cell.row) + 0.5f) * size, rise * 0.5f};
    const Box platform = around(centre, {half, half, rise * 0.5f});
    addBoxFaces(platform, everySide & ~unsigned(bottom), texture, geometry);
    return {0, 0, {platform}};
}

// A slab as wide as a lift at a third of the room's height, seen from every side.
BrushModel bobbing(const Plan& plan, GridPosition cell, int texture, Geometry& geometry)
{
    const float size = static_cast<float>(plan.cellSize);
    const float half = size * liftShare * 0.5f;
    const Vector3 centre{(static_cast<float>(cell.column) + 0.5f) * size,
                         (static_cast<float>(plan.rows - 1 - cell.row) + 0.5f) * size, static_cast<float>(plan.height) / 3};
    const Box slab = around(centre, {half, half, 8.0f});
    addBoxFaces(slab, everySide, texture, geometry);
    return {0, 0, {slab}};
}

// A block built at its first path corner.
BrushModel train(const Plan& plan, GridPosition cell, int texture, Geometry& geometry)
{
    const Vector3 low = trainCorners(plan, cell).front();
    const Box block{low, low + Vector3{trainBlockSide, trainBlockSide, trainBlockSide}};
    addBoxFaces(block, everySide, texture, geometry);
    return {0, 0, {block}};
}

BrushModel fan(const Plan& plan, Vector3 hub, int texture, Geometry& geometry)
{
    const float reach = static_cast<float>(plan.cellSize) * bladeShare * 0.5f;
    const std::vector<Box> parts = {around(hub, {hubHalf, hubHalf, hubHalf}),
                                    around(hub, {reach, bladeHalfWidth, bladeHalfThickness}),
                                    around(hub, {bladeHalfWidth, reach, bladeHalfThickness})};
    for (const Box& part : parts)
        addBoxFaces(part, everySide, texture, geometry);
    return {0, 0, parts};
}

} // namespace

Box moved(const Box& box, Vector3 offset)
{
    return {box.low + offset, box.high + offset};
}

std::vector<BrushModel> addBrushModelFaces(const Plan& plan, const std::vector<PlanBrushEntity>& entities,
                                           const BrushTextures& textures, Geometry& geometry)
{
    std::vector<BrushModel> models;
    for (const PlanBrushEntity& entity : entities) {
        const int32_t firstFace = geometry.faceCount();
        BrushModel model;
        switch (entity.kind) {
        case BrushKind::door: model = door(plan, entity.cell, textures.door, geometry); break;
        case BrushKind::lift: model = lift(plan, entity.cell, textures.lift, geometry); break;
        case BrushKind::fan: model = fan(plan, entity.origin, textures.fan, geometry); break;
        case BrushKind::bobbing: model = bobbing(plan, entity.cell, textures.lift, geometry); break;
        case BrushKind::train: model = train(plan, entity.cell, textures.fan, geometry); break;
        }
        model.firstFace = firstFace;
        model.faceCount = geometry.faceCount() - firstFace;
        models.push_back(model);
    }
    return models;
}

BrushModel addButtonFaces(const PlanShape& shape, int texture, Geometry& geometry)
{
    const auto corner = [](const std::array<int, 3>& p) {
        return Vector3{static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
    };
    const Box plate{corner(shape.low), corner(shape.high)};
    BrushModel model{geometry.faceCount(), 0, {plate}};
    addBoxFaces(plate, everySide & ~unsigned(bottom), texture, geometry);
    model.faceCount = geometry.faceCount() - model.firstFace;
    return model;
}

void storeAroundOrigins(const std::vector<PlanBrushEntity>& entities, const std::vector<BrushModel>& models,
                        Level& level)
{
    for (size_t m = 0; m < entities.size(); ++m) {
        if (!entities[m].placed)
            continue;
        const Vector3 back = entities[m].origin * -1.0f;
        for (int32_t f = models[m].firstFace; f < models[m].firstFace + models[m].faceCount; ++f) {
            FaceRecord& face = level.faces[static_cast<size_t>(f)];
            face.lightmapOrigin = face.lightmapOrigin + back;
            for (int32_t v = face.firstVertex; v < face.firstVertex + face.vertexCount; ++v)
                level.vertices[static_cast<size_t>(v)].position = level.vertices[static_cast<size_t>(v)].position + back;
        }
    }
}
