#include "level/BrushEntity.h"

#include "files/RelativePath.h"
#include "math/FileAxes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <map>

namespace {

// Model number to the first entity naming it; 0 where none does. Sized by the models, so a
// "model" key naming a model the level lacks is simply never looked at.
std::vector<std::size_t> ownerEntities(std::size_t modelCount, const std::vector<Entity>& entities)
{
    std::vector<std::size_t> owners(modelCount, 0);
    for (std::size_t e = entities.size(); e-- > 0;) // backwards: the first one wins
        if (const auto model = entities[e].inlineModel(); model && *model < modelCount)
            owners[*model] = e + 1;
    return owners;
}

// "entity 7 (func_door)"
std::string describe(std::size_t entity, const std::string& className)
{
    return "entity " + std::to_string(entity)
         + (className.empty() ? "" : " (" + RelativePath::printable(className, 40) + ")");
}

void setBox(BrushEntity& brush, const Model& model)
{
    const float* const corners[2] = {model.mins, model.maxs};
    for (const float* corner : corners)
        for (int axis = 0; axis < 3; ++axis)
            if (!std::isfinite(corner[axis])) {
                const float far = BrushEntity::unreadableExtent;
                brush.low = Vec3(-far, -far, -far);
                brush.high = Vec3(far, far, far);
                return;
            }
    const Vec3& at = brush.origin;
    brush.low = Vec3(std::fmin(model.mins[0], model.maxs[0]) + at.getX(),
                     std::fmin(model.mins[1], model.maxs[1]) + at.getY(),
                     std::fmin(model.mins[2], model.maxs[2]) + at.getZ());
    brush.high = Vec3(std::fmax(model.mins[0], model.maxs[0]) + at.getX(),
                      std::fmax(model.mins[1], model.maxs[1]) + at.getY(),
                      std::fmax(model.mins[2], model.maxs[2]) + at.getZ());
}

} // namespace

std::vector<BrushEntity> BrushEntity::list(const LevelData& level, const std::vector<Entity>& entities,
                                           const std::string& levelName, std::vector<std::string>& notices)
{
    const std::vector<std::size_t> owners = ownerEntities(level.models.size(), entities);
    std::vector<BrushEntity> list;
    // Each face belongs to one model: the face ranges kept so far, first face to (end, model).
    // That keeps the entities' faces, and so every per-entity cost, within the level's faces.
    std::map<int32_t, std::pair<int64_t, std::size_t>> claimed;
    for (std::size_t m = 1; m < level.models.size(); ++m) {
        const Model& model = level.models[m];
        if (model.faceCount == 0)
            continue;
        const int64_t end = int64_t(model.firstFace) + model.faceCount;
        if (model.firstFace < 0 || model.faceCount < 0 || end > int64_t(level.faces.size())) {
            notices.push_back(levelName + ": models[" + std::to_string(m) + "] faces " + std::to_string(model.firstFace)
                              + " + " + std::to_string(model.faceCount) + " lie outside the level's "
                              + std::to_string(level.faces.size()) + " faces; the model is not drawn");
            continue;
        }
        auto after = claimed.lower_bound(model.firstFace);
        const bool overlapsNext = after != claimed.end() && after->first < end;
        const bool overlapsPrevious = after != claimed.begin() && std::prev(after)->second.first > model.firstFace;
        if (overlapsNext || overlapsPrevious) {
            const std::size_t other = overlapsPrevious ? std::prev(after)->second.second : after->second.second;
            notices.push_back(levelName + ": models[" + std::to_string(m) + "] faces " + std::to_string(model.firstFace)
                              + " + " + std::to_string(model.faceCount) + " overlap those of models["
                              + std::to_string(other) + "]; the model is not drawn");
            continue;
        }
        claimed.emplace(model.firstFace, std::make_pair(end, m));
        BrushEntity brush;
        brush.model = m;
        brush.firstFace = model.firstFace;
        brush.faceCount = model.faceCount;
        if (const std::size_t owner = owners[m]) {
            const Entity& entity = entities[owner - 1];
            if (const std::string* className = entity.value("classname"))
                brush.className = *className;
            float at[3];
            if (entity.numbers("origin", at, 3)) {
                const Float3 origin = FileAxes::toWorld(at);
                brush.origin = Vec3(origin.x, origin.y, origin.z);
            }
            else if (const std::string* origin = entity.value("origin"))
                notices.push_back(levelName + ": " + describe(owner - 1, brush.className) + " has the origin \""
                                  + RelativePath::printable(*origin, 40) + "\", not three numbers; its model *" + std::to_string(m)
                                  + " is drawn where it is stored");
        }
        setBox(brush, model);
        list.push_back(std::move(brush));
    }
    return list;
}

void BrushEntity::placeAtRest(LevelData& level, const std::vector<BrushEntity>& entities, const std::string& levelName,
                              std::vector<std::string>& notices)
{
    std::vector<bool> moved;
    std::size_t budget = level.vertices.size(); // vertices the spans may cover in all
    for (const BrushEntity& entity : entities) {
        if (!entity.placed())
            continue;
        int64_t first = INT64_MAX, end = 0;
        for (int32_t f = entity.firstFace; f < entity.firstFace + entity.faceCount; ++f) {
            const Face& face = level.faces[std::size_t(f)];
            if (face.vertexCount <= 0)
                continue;
            first = std::min<int64_t>(first, face.firstVertex);
            end = std::max<int64_t>(end, int64_t(face.firstVertex) + face.vertexCount);
        }
        if (end <= first)
            continue;
        if (std::size_t(end - first) > budget) {
            notices.push_back(levelName + ": the vertices of models[" + std::to_string(entity.model)
                              + "] and the models placed before it come to more than the level's "
                              + std::to_string(level.vertices.size()) + "; it is drawn where it is stored");
            continue;
        }
        budget -= std::size_t(end - first);
        moved.resize(level.vertices.size(), false);
        const float offset[3] = {entity.origin.getX(), entity.origin.getY(), entity.origin.getZ()};
        for (int64_t v = first; v < end; ++v) {
            if (moved[std::size_t(v)])
                continue;
            moved[std::size_t(v)] = true;
            for (int axis = 0; axis < 3; ++axis)
                level.vertices[std::size_t(v)].position[axis] += offset[axis];
        }
    }
}
